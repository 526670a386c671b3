// The engine's trades and statistics for every system of the demo library on the demo history,
// against reviewed files: tests/fixtures/golden/trades/<system>.trades.csv and .stats.json,
// written by the same writers as `zorvik-cli backtest --trades --json` and the window's saved
// trades. They pin the engine's results to the last bit of every trade, so that a change made
// for structure alone that moves one price, stop or profit is seen at once.
//
// After a deliberate change of the engine's results, rewrite them with
//   ZORVIK_UPDATE_GOLDEN=1 ctest --preset dev -R GoldenExpert
// and review the diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "backtest/backtest.hpp"
#include "backtest/backtest_report.hpp"
#include "market/demo_history.hpp"
#include "workspace/current_system.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

constexpr std::string_view kSystemEnding = ".hsy.txt";

fs::path goldenTradesFolder() { return testing::sourceDir() / "tests" / "fixtures" / "golden" / "trades"; }

// The demo library's system files as they are shipped, sorted.
std::vector<std::string> demoSystemFiles() {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(testing::sourceDir() / "examples" / "user", ec)) {
    const std::string file = entry.path().filename().string();
    if (file.size() > kSystemEnding.size() && file.ends_with(kSystemEnding)) files.push_back(file);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string systemName(const std::string& file) { return file.substr(0, file.size() - kSystemEnding.size()); }

// A test name may hold letters, digits and "_" only; the systems' names hold spaces.
std::string testName(const std::string& file) {
  std::string name = systemName(file);
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

// "line N" and both lines where the texts first part, for a failure that says where to look.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool hasE = static_cast<bool>(std::getline(e, el));
    const bool hasA = static_cast<bool>(std::getline(a, al));
    if (!hasE && !hasA) return "the same lines, other line endings";
    if (hasE != hasA || el != al) {
      return "line " + std::to_string(line) + ": expected \"" + (hasE ? el : "<end of file>") + "\", got \"" +
             (hasA ? al : "<end of file>") + "\"";
    }
  }
}

bool updating() {
  const char* update = std::getenv("ZORVIK_UPDATE_GOLDEN");
  return update && std::string_view(update) == "1";
}

// Compares with the reviewed file, or rewrites it when asked to.
void expectGolden(const std::string& system, const fs::path& file, const std::string& actual) {
  if (updating()) {
    fs::create_directories(file.parent_path());
    testing::writeBytes(file, actual);
    return;
  }
  ASSERT_TRUE(fs::exists(file)) << system << ": no reviewed file " << file;
  const std::string expected = testing::readBytes(file);
  if (actual == expected) return;
  // Left beside the build for a whole diff; never copied over the reviewed file.
  const fs::path dump = fs::path(ZORVIK_BINARY_DIR) / (file.filename().string() + ".actual");
  testing::writeBytes(dump, actual);
  ADD_FAILURE() << system << ": " << file.filename().string() << " differs at " << firstDifference(expected, actual)
                << "; whole result in " << dump;
}

TEST(GoldenExpertTradesFolder, HoldsEveryDemoSystem) {
  const std::vector<std::string> files = demoSystemFiles();
  EXPECT_GE(files.size(), 3u);
  if (updating()) return;
  for (const std::string& file : files) {
    for (const char* ending : {".trades.csv", ".stats.json"}) {
      EXPECT_TRUE(fs::exists(goldenTradesFolder() / (systemName(file) + ending))) << systemName(file) << ending;
    }
  }
}

class GoldenExpertTrades : public ::testing::TestWithParam<std::string> {};

// The system is opened as the program opens it and run with the settings a backtest starts
// with, on the demo history the window and `history --demo` offer.
TEST_P(GoldenExpertTrades, TradesAndStatisticsEqualTheReviewedFiles) {
  const std::string& file = GetParam();
  const std::string system = systemName(file);
  TestWorkspace t(true);
  ASSERT_TRUE(openSystem(*t.ws, file)) << system;
  EXPECT_TRUE(t.host.messages.empty()) << system;

  const BarSeries history = makeDemoHistory();
  auto prepared = Backtest::prepare(t.ws->system(), t.ws->catalogue, t.ws->definitions, history, BacktestSettings{});
  if (const auto* fault = std::get_if<std::string>(&prepared)) FAIL() << system << ": " << *fault;
  const BacktestResult result = std::get<Backtest>(prepared).run();
  EXPECT_FALSE(result.trades.empty()) << system << " makes no trade on the demo history";

  expectGolden(system, goldenTradesFolder() / (system + ".trades.csv"), tradesCsv(result));
  expectGolden(system, goldenTradesFolder() / (system + ".stats.json"), statisticsJson(result.statistics));
}

INSTANTIATE_TEST_SUITE_P(DemoSystems, GoldenExpertTrades, ::testing::ValuesIn(demoSystemFiles()),
                         [](const auto& info) { return testName(info.param); });

}  // namespace
}  // namespace zorvik
