// The Expert Advisor source: whole files of reviewed systems against reviewed listings, the
// threshold points, the side mapping, the header's time stamp, and what happens when
// generation must not go on.
//
// Golden listings: every tests/fixtures/golden/<case>.hsy.txt is a system file; the test reads
// it as the program opens a system and compares the generated source byte for byte with
// <case>.mq4 beside it. A new case is a new system file there. After a deliberate change of
// the generated source, rewrite the expected listings with
//   ZORVIK_UPDATE_GOLDEN=1 ctest -R <the core tests>
// (or ZORVIK_UPDATE_GOLDEN=1 zorvik_core_tests --gtest_filter='*GoldenExpert*') and review
// the diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

#include "backtest/backtest.hpp"
#include "backtest/backtest_report.hpp"
#include "generator/expert_generator.hpp"
#include "market/demo_history.hpp"
#include "terminal/expert_source_file.hpp"
#include "model/component_files.hpp"
#include "model/trading_system.hpp"
#include "rules/signal_points.hpp"
#include "test_support.hpp"
#include "text/text_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

// The reviewed listings carry this placeholder where the time of generation goes, so one
// listing holds for every run.
constexpr std::string_view kListingStamp = "MM-DD-YYYY/hh:mm:ss";

fs::path goldenFolder() { return testing::sourceDir() / "tests" / "fixtures" / "golden"; }

// The case names: every system file of the golden folder, without ".hsy.txt", sorted.
std::vector<std::string> goldenCases() {
  constexpr std::string_view kSystem = ".hsy.txt";
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(goldenFolder(), ec)) {
    const std::string file = entry.path().filename().string();
    if (file.size() > kSystem.size() && file.ends_with(kSystem)) names.push_back(file.substr(0, file.size() - kSystem.size()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Reads a golden system into the workspace's system as opening it would: a reset, the
// defaults, then the file.
TradingSystem& loadGoldenSystem(Workspace& ws, const std::string& name) {
  TradingSystem& system = ws.system();
  system.systemFileName = name + ".hsy.txt";
  system.resetAll(systemDefaults(ws));
  applySystemDefaults(ws, system, false);
  EXPECT_TRUE(readComponent(ws, system, goldenFolder() / system.systemFileName, "", 0)) << name;
  return system;
}

ExpertSource generate(const Workspace& ws, const TradingSystem& system, std::string_view stamp) {
  return expertSourceLines(system, ws.catalogue, ws.definitions,
                           ExpertOptions{system.general.magic, std::string(stamp), &ws.language});
}

std::string withoutFirstLine(const std::string& bytes) { return bytes.substr(std::min(bytes.find("\r\n"), bytes.size())); }

TEST(GoldenExpertFolder, HoldsTheReviewedSystems) {
  const std::vector<std::string> names = goldenCases();
  EXPECT_GE(names.size(), 4u);
  for (const std::string& name : names) EXPECT_TRUE(fs::exists(goldenFolder() / (name + ".mq4"))) << name;
}

class GoldenExpert : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenExpert, SourceEqualsTheReviewedListing) {
  const std::string& name = GetParam();
  TestWorkspace t;
  const TradingSystem& system = loadGoldenSystem(*t.ws, name);
  EXPECT_TRUE(t.host.messages.empty());

  const ExpertSource source = generate(*t.ws, system, kListingStamp);
  ASSERT_TRUE(source.ok()) << source.fault;
  const std::string actual = toFileText(source.lines);
  const fs::path expectedFile = goldenFolder() / (name + ".mq4");
  const char* update = std::getenv("ZORVIK_UPDATE_GOLDEN");
  if (update && std::string_view(update) == "1") {
    testing::writeBytes(expectedFile, actual);
    return;
  }
  const std::string expected = testing::readBytes(expectedFile);
  if (actual != expected) {
    // Left beside the build for a line-by-line diff; never copied over the reviewed file.
    const fs::path dump = fs::path(ZORVIK_BINARY_DIR) / (name + ".actual.mq4");
    testing::writeBytes(dump, actual);
    ADD_FAILURE() << "generated source differs from " << expectedFile << "; see " << dump;
  }

  // Written straight as the file's bytes, the listing is the same.
  const ExpertSource asFile = expertSourceFileText(system, t.ws->catalogue, t.ws->definitions,
                                                   ExpertOptions{system.general.magic, std::string(kListingStamp), &t.ws->language});
  EXPECT_EQ(asFile.fileText, actual);

  // The written file is the same listing, stamped with the time of writing.
  ASSERT_TRUE(writeExpertSource(*t.ws, system, system.general.magic));
  EXPECT_TRUE(t.host.messages.empty());
  const std::string written = testing::readBytes(t.ws->userFile("_Zorvik.mq4"));
  EXPECT_TRUE(std::regex_search(written, std::regex("^#property copyright \"Copyright \xA9 2026, Zorvik "
                                                    "\\d{2}-\\d{2}-\\d{4}/\\d{2}:\\d{2}:\\d{2}\"\r\n")));
  EXPECT_EQ(withoutFirstLine(written), withoutFirstLine(expected));
}

// Texts beyond ASCII (a title, a symbol's comment) reach the file in the terminal's code page,
// whether the listing is kept as lines or written straight as bytes.
TEST(ExpertGenerator, FileTextConvertsTextsBeyondAsciiLikeTheLines) {
  TestWorkspace t;
  TradingSystem& system = loadGoldenSystem(*t.ws, goldenCases().front());
  system.general.title = "Größe € \"Trend\"";
  const ExpertOptions options{system.general.magic, std::string(kListingStamp), &t.ws->language};
  const ExpertSource lines = expertSourceLines(system, t.ws->catalogue, t.ws->definitions, options);
  const ExpertSource file = expertSourceFileText(system, t.ws->catalogue, t.ws->definitions, options);
  ASSERT_TRUE(lines.ok() && file.ok()) << lines.fault;
  EXPECT_TRUE(file.lines.empty());
  EXPECT_EQ(file.fileText, toFileText(lines.lines));
  EXPECT_NE(file.fileText.find("Gr\xF6\xDF" "e \x80"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Systems, GoldenExpert, ::testing::ValuesIn(goldenCases()),
                         [](const auto& info) { return info.param; });

// A shared file whose indicators lack "shift" and "actiontyp" opens with their defaults: its
// Expert Advisor and its backtest are those of the file that spells the defaults out.
TEST(ExpertGenerator, IndicatorKeysMissingFromTheFileAreGeneratedAndTestedWithTheirDefaults) {
  const std::string file = testing::readBytes(testing::sourceDir() / "examples" / "user" / "MA Trendfolger.hsy.txt");
  std::string lacking, spelledOut;
  std::size_t dropped = 0;
  for (std::size_t at = 0; at < file.size();) {
    const std::size_t end = std::min(file.find('\n', at), file.size() - 1) + 1;
    const std::string line = file.substr(at, end - at);
    at = end;
    const bool shift = line.starts_with("shift="), action = line.starts_with("actiontyp=");
    if (!shift && !action) {
      lacking += line;
      spelledOut += line;
      continue;
    }
    ++dropped;
    spelledOut += shift ? "shift=\"1\"\r\n" : "actiontyp=\"idStandard\"\r\n";
  }
  ASSERT_GE(dropped, 2u);

  TestWorkspace t;
  const BarSeries history = makeDemoHistory();
  auto open = [&](const std::string& text) {
    TradingSystem system;
    system.systemFileName = "Geteilt.hsy.txt";
    system.resetAll(systemDefaults(*t.ws));
    applySystemDefaults(*t.ws, system, false);
    readComponentText(*t.ws, system, text, "", 0);
    return system;
  };
  const TradingSystem a = open(lacking), b = open(spelledOut);
  const ExpertSource sourceA = generate(*t.ws, a, kListingStamp), sourceB = generate(*t.ws, b, kListingStamp);
  ASSERT_TRUE(sourceA.ok()) << sourceA.fault;
  EXPECT_EQ(toFileText(sourceA.lines), toFileText(sourceB.lines));

  auto trades = [&](const TradingSystem& system) {
    auto prepared = Backtest::prepare(system, t.ws->catalogue, t.ws->definitions, history, {});
    if (auto* why = std::get_if<std::string>(&prepared)) return "refused: " + *why;
    return tradesCsv(std::get<Backtest>(prepared).run());
  };
  const std::string tradesA = trades(a);
  EXPECT_EQ(tradesA, trades(b));
  EXPECT_GT(std::count(tradesA.begin(), tradesA.end(), '\n'), 1) << tradesA;
}

TEST(ExpertGenerator, HeaderTimeStamp) {
  const struct {
    DateTime time;
    const char* stamp;
  } cases[] = {
      {{2026, 3, 7, 9, 5, 1}, "03-07-2026/09:05:01"},  // month first, every field two digits
      {{2031, 12, 31, 23, 59, 59}, "12-31-2031/23:59:59"},
      {{999, 1, 2, 0, 0, 0}, "01-02-0999/00:00:00"},   // the year four digits
  };
  for (const auto& c : cases) EXPECT_EQ(expertTimeStamp(c.time), c.stamp);

  TestWorkspace t;
  const TradingSystem& system = loadGoldenSystem(*t.ws, "trend_fixed_lots");
  const ExpertSource source = generate(*t.ws, system, expertTimeStamp(cases[0].time));
  ASSERT_FALSE(source.lines.empty());
  EXPECT_EQ(source.lines.front(), "#property copyright \"Copyright © 2026, Zorvik 03-07-2026/09:05:01\"");
}

TEST(ExpertGenerator, HedgingIsTheMeta4TextOfItsId) {
  // An index that never went through the definition table loses its "#"; any other text that
  // is no id is written as it stands when it is a boolean constant, and refused otherwise
  // (an empty one once left "extern bool Hedging = ;").
  const std::pair<const char*, const char*> cases[] = {
      {"idno Hedging", "false"}, {"idHedging", "true"}, {"#0", "0"}, {"0", "0"}, {"", nullptr}, {"vielleicht", nullptr},
  };
  TestWorkspace t;
  TradingSystem& system = loadGoldenSystem(*t.ws, "trend_fixed_lots");
  for (const auto& [hedging, meta4] : cases) {
    system.mm.hedging = hedging;
    const ExpertSource source = generate(*t.ws, system, kListingStamp);
    if (!meta4) {
      ASSERT_EQ(source.problems.size(), 1u) << hedging;
      EXPECT_EQ(source.problems[0].key, "mm_hedging");
      continue;
    }
    const auto line = std::find_if(source.lines.begin(), source.lines.end(),
                                   [](const std::string& l) { return l.starts_with("extern bool Hedging = "); });
    ASSERT_NE(line, source.lines.end()) << hedging;
    EXPECT_EQ(*line, "extern bool Hedging = " + std::string(meta4) + ";") << hedging;
  }
}

TEST(ExpertGenerator, ThresholdPoints) {
  struct Case {
    std::vector<const char*> values;
    const char* threshold;
    std::int32_t points;
  };
  const Case cases[] = {
      {{}, "100", 0},                  // empty group
      {{"1"}, "50", 0},                // rounds down to nothing: the group never signals
      {{"1"}, "100", 1},
      {{"1", "2"}, "50", 1},           // floor(50 * 3 / 100)
      {{"1000", "1000"}, "100", 2000},
      {{"2.5"}, "100", 2},             // the sum is rounded half to even after each addition
      {{"0.5", "0.5", "0.5"}, "100", 0},  // 0.5 -> 0, 0.5 -> 0, 0.5 -> 0
      {{"1.5", "1"}, "33.5", 1},       // 1.5 -> 2, +1 -> 3; 33.5 -> 34; floor(102 / 100)
      {{"3"}, "66.5abc", 1},           // the leading number of the threshold: 66
      {{"3"}, "", 0},                  // no number: 0 %
      {{" 7 "}, "100", 7},
      {{"-3"}, "50", -2},              // floor, not truncation
      {{"1000", "1000"}, "2147483647", 2147483647 / 100},  // the product saturates at 32 bits
  };
  for (const Case& c : cases) {
    SignalGroup g("L");
    for (const char* v : c.values) {
      Indicator ind("RSI");
      ind.setRaw("value", v);
      g.addIndicator(ind);
    }
    const auto sum = signalSum(g);
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(thresholdPoints(c.threshold, *sum), c.points) << c.threshold << " / " << *sum;
  }

  for (const char* bad : {"", "abc", "5abc", "1,5", ".", "e3", "1e", "--1"}) {
    EXPECT_FALSE(isSignalNumber(bad)) << bad;
  }
  for (const char* good : {"1", " 12 ", "+3", "-4", ".5", "5.", "1e3", "2.5E-1"}) {
    EXPECT_TRUE(isSignalNumber(good)) << good;
  }
}

TEST(ExpertGenerator, SideCodes) {
  const std::tuple<const char*, const char*, const char*> sides[] = {
      {"idStandard", "L", "L"},  {"idStandard", "XS", "XS"}, {"idReverse", "L", "S"},  {"idReverse", "S", "L"},
      {"idReverse", "XL", "XS"}, {"idReverse", "XS", "XL"},  {"", "L", ""},             {"idreverse", "L", ""},
      {"Standard", "XL", ""},
  };
  for (const auto& [action, group, side] : sides) EXPECT_EQ(sideCodeFor(action, group), side) << action << group;
}

TEST(ExpertGenerator, ASignalValueThatIsNoNumberWritesNothing) {
  TestWorkspace t;
  TradingSystem& system = loadGoldenSystem(*t.ws, "trend_fixed_lots");
  system.group(3).indicator(1).setRaw("value", "drei");

  const ExpertSource source =
      expertSourceLines(system, t.ws->catalogue, t.ws->definitions, ExpertOptions{"1", "", &t.ws->language});
  EXPECT_FALSE(source.ok());
  EXPECT_TRUE(source.lines.empty());
  EXPECT_EQ(source.fault, "SHORT 1 (2 Moving Averages): \"drei\"");

  // An earlier source stays as it was, and nothing is compiled.
  testing::writeBytes(t.ws->userFile("_Zorvik.mq4"), "earlier");
  int compiled = 0;
  EXPECT_EQ(generateExpertSource(*t.ws, system, "1", "Trend", [&](Workspace&, std::string_view) { return ++compiled; }), 0);
  EXPECT_EQ(compiled, 0);
  EXPECT_EQ(testing::readBytes(t.ws->userFile("_Zorvik.mq4")), "earlier");
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0],
            "Der Expert Advisor wurde nicht erzeugt - dieser Signalwert ist keine Zahl: SHORT 1 (2 Moving Averages): "
            "\"drei\"");

  // An indicator without a value at all is refused the same way, in English too.
  system.group(3).indicator(1).setRaw("value", "3");
  Indicator bare("ADX");
  system.group(2).addIndicator(bare);
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  EXPECT_EQ(generateExpertSource(*t.ws, system, "1", "Trend", {}), 0);
  ASSERT_EQ(t.host.messages.size(), 2u);
  EXPECT_EQ(t.host.messages[1], "The Expert Advisor was not generated - this signal value is not a number: EXIT LONG 2 (ADX): \"\"");
}

TEST(ExpertGenerator, GenerationRefusesAnEmptyNameAndReportsAFailedWrite) {
  TestWorkspace t;
  TradingSystem& system = loadGoldenSystem(*t.ws, "trend_fixed_lots");
  std::vector<std::string> compiled;
  auto compile = [&](Workspace&, std::string_view name) {
    compiled.emplace_back(name);
    return 1;
  };

  EXPECT_EQ(generateExpertSource(*t.ws, system, "1", "", compile), 0);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Diese Aktion kann derzeit nicht ausgeführt werden - leeres System ..."});
  EXPECT_FALSE(fs::exists(t.ws->userFile("_Zorvik.mq4")));

  setWriteFaultHook([](std::string_view step) { return step != "rename"; });
  EXPECT_EQ(generateExpertSource(*t.ws, system, "1", "Trend", compile), 0);
  setWriteFaultHook({});
  ASSERT_EQ(t.host.messages.size(), 2u);
  EXPECT_TRUE(t.host.messages[1].starts_with("Der Quelltext des Expert Advisors konnte nicht geschrieben werden: "))
      << t.host.messages[1];
  EXPECT_FALSE(fs::exists(t.ws->userFile("_Zorvik.mq4")));
  EXPECT_TRUE(compiled.empty());

  EXPECT_EQ(generateExpertSource(*t.ws, system, "1", "Trend", compile), 1);
  EXPECT_EQ(compiled, std::vector<std::string>{"Trend"});
  EXPECT_TRUE(fs::exists(t.ws->userFile("_Zorvik.mq4")));
  EXPECT_EQ(t.host.messages.size(), 2u);
}

}  // namespace
}  // namespace zorvik
