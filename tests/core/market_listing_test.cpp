// Finding history below MetaTrader folders, and the demo history.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "market_fixtures.hpp"
#include "support/test_support.hpp"
#include "terminal/history_listing.hpp"

namespace zorvik {
namespace {

namespace fs = std::filesystem;
using testing::fiveBars;
using testing::kMarch1st2024;

void put(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  testing::writeBytes(file, bytes);
}

TEST(MarketListing, ListsEveryHstBelowEachTerminalWithItsHeaderAndEnds) {
  testing::TempDir dir;
  const fs::path portable = dir.path() / "MetaTrader 4";
  const fs::path data = dir.path() / "Terminal" / "ABCDEF";
  put(portable / "history" / "Broker-Demo" / "EURUSD60.hst", testing::hst401Bytes(fiveBars()));
  put(portable / "history" / "Broker-Demo" / "notes.txt", "x");
  put(portable / "history" / "loose.hst", testing::hst401Bytes(fiveBars()));  // not in a server folder
  // Windows folder names in any case; a v400 file; a damaged one.
  put(data / "HISTORY" / "Other-Live" / "gbpjpy1440.HST", testing::hst400Bytes(fiveBars(), "GBPJPY", 1440, 3));
  put(data / "HISTORY" / "Other-Live" / "USDCHF60.hst", testing::hst401Bytes(fiveBars(), "USDCHF").substr(0, 148 + 130));
  // The demo history of the working folder comes first.
  const fs::path work = dir.path() / "work";
  put(demoHistoryPath(work), *hstBytes(makeDemoHistory(), 401));

  const auto list = listHistoryFiles({data, portable, dir.path() / "missing"}, work);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].server, "demo");
  EXPECT_EQ(list[0].symbol, "DEMO");
  EXPECT_EQ(list[0].bars, 12480u);

  const HistoryFileInfo& eur = list[1];
  EXPECT_EQ(eur.path, portable / "history" / "Broker-Demo" / "EURUSD60.hst");
  EXPECT_EQ(eur.server, "Broker-Demo");
  EXPECT_EQ(eur.symbol, "EURUSD");
  EXPECT_EQ(eur.timeframeMinutes, 60);
  EXPECT_EQ(eur.format, HistoryFormat::Hst401);
  EXPECT_EQ(eur.bars, 5u);
  EXPECT_EQ(eur.firstTime, kMarch1st2024);
  EXPECT_EQ(eur.lastTime, kMarch1st2024 + 4 * 3600);
  EXPECT_TRUE(eur.error.empty());

  // Sorted by path, as bytes: "USDCHF60.hst" before "gbpjpy1440.HST".
  EXPECT_EQ(list[2].path.filename(), "USDCHF60.hst");
  EXPECT_NE(list[2].error.find("record 3: truncated"), std::string::npos) << list[2].error;

  const HistoryFileInfo& gbp = list[3];
  EXPECT_EQ(gbp.server, "Other-Live");
  EXPECT_EQ(gbp.symbol, "GBPJPY");
  EXPECT_EQ(gbp.timeframeMinutes, 1440);
  EXPECT_EQ(gbp.format, HistoryFormat::Hst400);
  EXPECT_EQ(gbp.bars, 5u);
  EXPECT_EQ(gbp.lastTime, kMarch1st2024 + 4 * 3600);
}

TEST(MarketListing, DescribingRefusesHeadersAndEndsThatAreUnsound) {
  testing::TempDir dir;
  auto bars = fiveBars();
  bars[4].time = bars[0].time;  // the last bar is not after the first
  const std::pair<std::string, const char*> cases[] = {
      {testing::hst401Bytes({}).substr(0, 20), "header"},
      {testing::hstHeaderBytes(500, "EURUSD", 60, 5), "version 500"},
      {testing::hst401Bytes({}), "no bars"},
      {testing::hst401Bytes(bars), "record 5"},
      {testing::hst401Bytes(fiveBars(), "\x1b[2J"), "control character"},
  };
  for (const auto& [bytes, reason] : cases) {
    SCOPED_TRACE(reason);
    put(dir.path() / "x.hst", bytes);
    const HistoryFileInfo info = describeHstFile(dir.path() / "x.hst");
    EXPECT_NE(info.error.find(reason), std::string::npos) << info.error;
  }
  // A sparse file claiming a terabyte is not described as billions of bars.
  put(dir.path() / "x.hst", testing::hst401Bytes(fiveBars()));
  fs::resize_file(dir.path() / "x.hst", 148 + 60 * (std::uintmax_t{1} << 34));
  const HistoryFileInfo huge = describeHstFile(dir.path() / "x.hst");
  EXPECT_EQ(huge.bars, 0u);
  EXPECT_NE(huge.error.find("more than the 100000000 bars"), std::string::npos) << huge.error;
  EXPECT_FALSE(describeHstFile(dir.path() / "none.hst").error.empty());
  EXPECT_FALSE(describeHstFile(dir.path()).error.empty());
}

TEST(MarketListing, SearchesTheSettingsFolderAndTheWinePrefixOnce) {
  testing::TempDir dir;
  const fs::path home = dir.path() / "home";
  const fs::path data = home / ".wine" / "drive_c" / "users" / "trader" / "AppData" / "Roaming" / "MetaQuotes" / "Terminal" / "F00";
  fs::create_directories(data / "MQL4");
  const auto folders = metatraderFoldersToSearch("/opt/mt4", home);
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0], fs::path("/opt/mt4"));
  EXPECT_EQ(folders[1], data);
  EXPECT_EQ(metatraderFoldersToSearch(data.string(), home).size(), 1u);
  EXPECT_TRUE(metatraderFoldersToSearch("", dir.path() / "nohome").empty());
}

TEST(MarketDemoHistory, TwoYearsOfSoundWeekdayBarsTheSameEverywhere) {
  const BarSeries demo = makeDemoHistory();
  EXPECT_EQ(demo.symbol, "DEMO");
  EXPECT_EQ(demo.timeframeMinutes, 60);
  EXPECT_EQ(demo.digits, 5);
  ASSERT_EQ(demo.size(), 104u * 5 * 24);
  // Every bar passes the reader's checks and is a whole number of points.
  const auto bytes = hstBytes(demo, 401);
  ASSERT_TRUE(bytes);
  ASSERT_TRUE(readHst(*bytes, "DEMO60.hst").ok());
  double rangeSum = 0;
  std::set<double> distinctRanges;
  for (std::size_t i = 0; i < demo.size(); ++i) {
    const std::int64_t weekday = (demo.time[i] / 86400 + 4) % 7;  // 0 = Sunday
    ASSERT_TRUE(weekday >= 1 && weekday <= 5) << "weekend bar at " << historyTimeText(demo.time[i]);
    for (double p : {demo.open[i], demo.high[i], demo.low[i], demo.close[i]}) {
      ASSERT_EQ(p, std::round(p * 100000) / 100000);
      ASSERT_GT(p, 0.5);
      ASSERT_LT(p, 2.0);
    }
    rangeSum += demo.high[i] - demo.low[i];
    distinctRanges.insert(std::round((demo.high[i] - demo.low[i]) * 1e5));
  }
  const double meanRangePips = rangeSum / double(demo.size()) * 10000;
  EXPECT_GT(meanRangePips, 5);
  EXPECT_LT(meanRangePips, 40);
  EXPECT_GT(distinctRanges.size(), 200u);
  // Volatility clusters: the calmest and the liveliest of the 104 weeks differ clearly.
  double calm = 1e9, lively = 0;
  for (std::size_t w = 0; w < 104; ++w) {
    double sum = 0;
    for (std::size_t i = w * 120; i < (w + 1) * 120; ++i) sum += demo.high[i] - demo.low[i];
    calm = std::min(calm, sum);
    lively = std::max(lively, sum);
  }
  EXPECT_GT(lively, 1.8 * calm);

  // The same seed gives the same bytes (pinned, so that another machine or compiler that
  // computes a different history is noticed); another seed gives another history.
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : *bytes) hash = (hash ^ c) * 1099511628211ull;
  EXPECT_EQ(hash, 854833845745849390ull) << "demo history bytes changed";
  EXPECT_NE(makeDemoHistory(7).close, demo.close);
}

}  // namespace
}  // namespace zorvik
