// The backtest engine and the generated Expert Advisor, run by the MQL4 interpreter, make the
// same trades: every system of the demo library and of the golden listings, on the demo
// history and on hand-made histories that provoke gaps, refused stops and other digits.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>
#include <set>

#include "backtest/backtest.hpp"
#include "market/demo_history.hpp"
#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "parity_support.hpp"
#include "test_support.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

// Every system file of the demo library and of the golden folder, read as opening it does.
std::vector<std::pair<std::string, TradingSystem>> allSystems(Workspace& ws) {
  std::vector<std::pair<std::string, TradingSystem>> out;
  const fs::path folders[] = {ws.userFolder(), testing::sourceDir() / "tests" / "fixtures" / "golden"};
  for (const fs::path& folder : folders) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      const std::string name = file.filename().string();
      if (name.size() < 8 || name.substr(name.size() - 8) != ".hsy.txt") continue;
      TradingSystem system;
      system.systemFileName = name;
      system.resetAll(systemDefaults(ws));
      EXPECT_TRUE(readComponent(ws, system, file, componentKindOf(name)->readerCode, 1)) << name;
      out.emplace_back(name, std::move(system));
    }
  }
  return out;
}

struct ParityCase {
  const char* name;
  BarSeries history;
  BacktestSettings settings;
};

std::vector<ParityCase> histories() {
  std::vector<ParityCase> cases;
  cases.push_back({"demo history", makeDemoHistory(), {}});
  BacktestSettings stopLevel;
  stopLevel.symbol.stopLevelPoints = 50;
  stopLevel.symbol.spreadPoints = 7;
  cases.push_back({"EURUSD M15, gaps, stop level 50", testing::walkWithGaps("EURUSD", 5, 7, 6000, 15), stopLevel});
  BacktestSettings window;
  window.deposit = 2500;
  // The account is kept in yen, the quote currency: a lot at 110 takes 11000 of margin even
  // at this leverage, so the larger orders are refused (134) and the small ones go through.
  window.account.leverage = 1000;
  window.fromDay = 1704067200 + 20 * 86400;
  window.toDay = 1704067200 + 80 * 86400;
  cases.push_back({"USDJPY three digits, window, small deposit", testing::walkWithGaps("USDJPY", 3, 11, 2500), window});
  return cases;
}

TEST(ParityOfEngineAndExpert, EverySystemOfTheLibraryAndTheGoldenListings) {
  testing::TestWorkspace t(true);
  const auto systems = allSystems(*t.ws);
  ASSERT_GE(systems.size(), 5u);
  std::set<std::string> ranSomewhere;
  std::map<std::string, std::string> refusals;
  for (const ParityCase& h : histories()) {
    int ran = 0;
    int trades = 0;
    for (const auto& [name, system] : systems) {
      SCOPED_TRACE(std::string(h.name) + ": " + name);
      const testing::ParityOutcome o = testing::compareEngineAndExpert(*t.ws, system, h.history, h.settings);
      if (!o.ran) {  // another symbol or a timeframe below the history's
        refusals[name] += o.refusal + "\n";
        continue;
      }
      ++ran;
      trades += o.trades;
      EXPECT_EQ(o.difference, "");
      ranSomewhere.insert(name);
    }
    EXPECT_GE(ran, 2) << h.name;
    EXPECT_GT(trades, 20) << h.name;
  }
  // Each system met a history it can run on (its symbol, a timeframe at or below its own),
  // unless it reads two symbols at once, which no single history can give.
  for (const auto& [name, system] : systems) {
    if (ranSomewhere.count(name)) continue;
    EXPECT_NE(refusals[name].find("eines anderen Symbols"), std::string::npos) << name << ": " << refusals[name];
  }
}

// Stops refused at the open: a buy's stop loss lies below zero (its target is refused with it;
// the trailing stop then gives it a stop loss), a sell's target lies below zero. The EA asks
// for the missing ones at each new bar: the stop level refuses some, the market has passed
// others. Engine and EA agree on every trade, and each position's refusal is logged once.
TEST(ParityOfEngineAndExpert, StopsRefusedAtTheOpenAreAskedForAtEachNewBar) {
  testing::TestWorkspace t(true);
  std::optional<TradingSystem> found;
  for (auto& [name, system] : allSystems(*t.ws))
    if (name == "trend_fixed_lots.hsy.txt") found = std::move(system);
  ASSERT_TRUE(found);
  TradingSystem& system = *found;
  system.group(2).sl = "200000";
  system.group(2).tp = "100";
  system.group(2).ts = "600";
  system.group(4).sl = "300";
  system.group(4).tp = "200000";
  system.group(4).ts = "0";
  BacktestSettings settings;
  settings.symbol.stopLevelPoints = 50;
  settings.symbol.spreadPoints = 7;
  const BarSeries history = testing::walkWithGaps("EURUSD", 5, 7, 6000, 15);

  std::map<std::string, int> refusalsByTicket;
  const std::regex refusal("(\\d+): missing stops SL .* refused, asked again at each new bar");
  const testing::ParityOutcome o =
      testing::compareEngineAndExpert(*t.ws, system, history, settings, [&](std::string_view line) {
        std::match_results<std::string_view::const_iterator> m;
        if (std::regex_search(line.begin(), line.end(), m, refusal)) ++refusalsByTicket[m[1].str()];
      });
  ASSERT_TRUE(o.ran) << o.refusal;
  EXPECT_EQ(o.difference, "");

  // The run met every turn: closes for a passed missing stop on both sides, and targets the
  // broker took at a later bar.
  auto prepared = Backtest::prepare(system, t.ws->catalogue, t.ws->definitions, history, settings);
  ASSERT_TRUE(std::holds_alternative<Backtest>(prepared));
  int passedStops = 0, passedTargets = 0, targetsSetLater = 0;
  for (const Trade& trade : std::get<Backtest>(prepared).run().trades) {
    if (trade.reason == CloseReason::StopLoss && trade.stopLoss == 0) ++passedStops;
    if (trade.reason == CloseReason::TakeProfit && trade.takeProfit == 0) ++passedTargets;
    if (trade.type == TradeType::Buy && trade.takeProfit != 0) ++targetsSetLater;
  }
  EXPECT_GT(passedStops, 0);
  EXPECT_GT(passedTargets, 0);
  EXPECT_GT(targetsSetLater, 0);

  ASSERT_FALSE(refusalsByTicket.empty());
  for (const auto& [ticket, lines] : refusalsByTicket) EXPECT_EQ(lines, 1) << "ticket " << ticket;
}

}  // namespace
}  // namespace zorvik
