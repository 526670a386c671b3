// The checks of a system's groups on hand-made histories: which bar an indicator reads, how a
// higher timeframe's bar looks while it is being formed, what a vote explanation shows, and
// what a backtest refuses to run.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <regex>

#include "backtest/backtest.hpp"
#include "backtest/expert_run.hpp"
#include "terminal/expert_source_file.hpp"
#include "market/bar_series.hpp"
#include "market/demo_history.hpp"
#include "model/component_files.hpp"
#include "model/trading_system.hpp"
#include "rules/system_rules.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

constexpr std::int64_t kMonday = 1704067200;  // 2024-01-01 00:00

BarSeries hourlyFromOpens(const std::vector<std::pair<double, double>>& openClose, const std::string& symbol = "EURUSD") {
  BarSeries s;
  s.symbol = symbol;
  s.timeframeMinutes = 60;
  s.digits = 5;
  for (std::size_t i = 0; i < openClose.size(); ++i) {
    const auto [o, c] = openClose[i];
    s.push_back({kMonday + static_cast<std::int64_t>(i) * 3600, o, std::max(o, c), std::min(o, c), c, 10});
  }
  return s;
}

struct SystemOnHistory {
  testing::TestWorkspace t;
  TradingSystem system;

  SystemOnHistory() {
    system.systemFileName = "Probe.hsy.txt";
    system.resetAll(systemDefaults(*t.ws));
    applySystemDefaults(*t.ws, system);
    system.mm.type = "idFixed Lots";
    system.mm.lots = "0.1";
    for (int g = 1; g <= 4; ++g) system.group(g).threshold = "100";
  }
  // A simple average of the closes in the long entry group.
  Indicator& addAverage(const std::string& period, const std::string& timeframe, const std::string& shift,
                        const std::string& action = "idStandard") {
    Indicator ind = testing::sampleIndicator(*t.ws, "Moving Average");
    ind.setRaw("period", period);
    ind.setRaw("ma_method", "idSimple");
    ind.setRaw("pricetype", "idCLOSE");
    ind.setRaw("timeframe", timeframe);
    ind.setRaw("shift", shift);
    ind.setRaw("ma_shift", "0");
    ind.setRaw("value", "1");
    ind.setRaw("actiontyp", action);
    system.group(1).addIndicator(ind);
    return system.group(1).indicators().back();
  }
  std::variant<Backtest, std::string> prepare(const BarSeries& history, const BacktestSettings& settings = {}) {
    return Backtest::prepare(system, t.ws->catalogue, t.ws->definitions, history, settings);
  }
};

std::vector<int> entryLongBits(const Backtest& b, std::size_t bars) {
  std::vector<int> out;
  for (std::size_t i = 0; i < bars; ++i) out.push_back(b.votes(i).groups[0].fires ? 1 : 0);
  return out;
}

// Closes 1.10 1.12 1.08 1.20 1.20 1.00 1.00; the 3-bar average of bars 2..6 is 1.1, 1.1333,
// 1.16, 1.1333, 1.0667. With shift 1 the check at bar i compares bar i-1; before bar 2 the
// average is undefined and nothing fires.
TEST(BacktestSignals, AnAverageOfTheChartReadsTheFinishedBarBeforeAndReversedSwapsTheSide) {
  const BarSeries h =
      hourlyFromOpens({{1.1, 1.1}, {1.12, 1.12}, {1.08, 1.08}, {1.2, 1.2}, {1.2, 1.2}, {1.0, 1.0}, {1.0, 1.0}});
  struct Case {
    const char* action;
    std::vector<int> fires;
  } cases[] = {
      {"idStandard", {0, 0, 0, 0, 1, 1, 0}},  // close above the average at bars 3 and 4
      {"idReverse", {0, 0, 0, 1, 0, 0, 1}},   // the short side's test: close below, bars 2 and 5
  };
  for (const Case& c : cases) {
    SystemOnHistory s;
    s.addAverage("3", "idChart", "1", c.action);
    auto b = s.prepare(h);
    ASSERT_TRUE(std::holds_alternative<Backtest>(b)) << std::get<std::string>(b);
    const Backtest& backtest = std::get<Backtest>(b);
    EXPECT_EQ(entryLongBits(backtest, h.size()), c.fires) << c.action;

    // The run sees the same answers as the explanation.
    const auto bits = SignalPlan::make(readSystemRules(s.system, s.t.ws->catalogue, s.t.ws->definitions), h);
    const auto checks = std::get<SignalPlan>(bits).checks(0, h.size());
    for (std::size_t i = 1; i < h.size(); ++i) EXPECT_EQ((checks[i] & kEntryLongFires) != 0, c.fires[i] == 1) << i;
  }
}

TEST(BacktestSignals, TheVoteExplanationShowsOperandsPointsSumAndThreshold) {
  const BarSeries h = hourlyFromOpens({{1.1, 1.1}, {1.1, 1.1}, {1.1, 1.1}, {1.1, 1.2}, {1.2, 1.2}});
  SystemOnHistory s;
  s.addAverage("3", "idChart", "1");
  s.addAverage("3", "idChart", "1", "idReverse");
  s.system.group(1).threshold = "50";  // 50 % of 2 points
  auto b = s.prepare(h);
  ASSERT_TRUE(std::holds_alternative<Backtest>(b)) << std::get<std::string>(b);
  const BarVotes v = std::get<Backtest>(b).votes(4);
  const GroupVote& g = v.groups[0];
  ASSERT_EQ(g.indicators.size(), 2u);
  EXPECT_TRUE(g.indicators[0].fired);
  EXPECT_FALSE(g.indicators[1].fired);
  EXPECT_DOUBLE_EQ(g.indicators[0].operands[0], 1.2);           // Close[1]
  EXPECT_NEAR(g.indicators[0].operands[1], 3.4 / 3, 1e-12);      // the average of bar 3
  EXPECT_EQ(g.sum, 1);
  EXPECT_EQ(g.threshold, 1);
  EXPECT_TRUE(g.fires);
  EXPECT_FALSE(v.groups[1].fires);  // an empty group needs 0 points: the EA never lets it fire
  // A bar the history does not have is answered, not read.
  const BarVotes beyond = std::get<Backtest>(b).votes(h.size());
  EXPECT_TRUE(beyond.groups[0].indicators.empty());
  EXPECT_FALSE(beyond.groups[0].fires);
}

// An H4 average read at shift 0 from an H1 history: the H4 bar being formed holds the H1 bars
// of its bucket so far and the open of the current one. SMA(2) at shift 0 is then above the
// close (k1 = the forming close = the current H1 open) exactly when that open is above the
// close of the previous H4 bar (1.1000), whatever the previous H1 bar closed at.
TEST(BacktestSignals, AHigherTimeframeIsBuiltFromTheHistoryAndItsCurrentBarIsTheBucketSoFar) {
  const BarSeries h = hourlyFromOpens({{1.1, 1.1}, {1.1, 1.1}, {1.1, 1.1}, {1.1, 1.1},            // 00:00 - 03:00
                                       {1.1010, 1.0950}, {1.0990, 1.0970}, {1.1005, 1.1030}, {1.0980, 1.0990},
                                       {1.1000, 1.1000}});
  SystemOnHistory s;
  s.addAverage("2", "idH4", "0");
  auto b = s.prepare(h);
  ASSERT_TRUE(std::holds_alternative<Backtest>(b)) << std::get<std::string>(b);
  EXPECT_EQ(entryLongBits(std::get<Backtest>(b), h.size()), (std::vector<int>{0, 0, 0, 0, 1, 0, 1, 0, 1}));
  // Bar 8 opens a new H4 bar: 1.1000 is above the close of the one before, 1.0990.
}

TEST(BacktestSignals, WhatCannotRunIsRefusedWithItsReason) {
  const BarSeries h = hourlyFromOpens({{1.1, 1.1}, {1.1, 1.1}, {1.1, 1.1}});
  struct Case {
    const char* what;
    std::function<void(SystemOnHistory&)> change;
    BacktestSettings settings;
    const char* reason;
  } cases[] = {
      {"indicator of another symbol", [](SystemOnHistory& s) { s.addAverage("3", "idChart", "1").setRaw("symbol", "GBPUSD"); },
       {}, "eines anderen Symbols"},
      {"lower timeframe", [](SystemOnHistory& s) { s.addAverage("3", "idM30", "1"); }, {}, "M30-Bars lassen sich nicht"},
      {"system of another symbol", [](SystemOnHistory& s) { s.system.mm.symbol = "GBPUSD"; }, {}, "handelt GBPUSD"},
      {"fraction of zero", [](SystemOnHistory& s) {
         s.system.mm.type = "idFixed Fractional";
         s.system.mm.fraction = "0";
       }, {}, "Fraction ist 0"},
      {"window without bars", [](SystemOnHistory&) {}, [] {
         BacktestSettings w;
         w.fromDay = kMonday + 86400;
         return w;
       }(), "keine Bar"},
      {"no deposit", [](SystemOnHistory&) {}, [] {
         BacktestSettings w;
         w.deposit = 0;
         return w;
       }(), "Einlage"},
  };
  for (const Case& c : cases) {
    SystemOnHistory s;
    c.change(s);
    auto b = s.prepare(h, c.settings);
    ASSERT_TRUE(std::holds_alternative<std::string>(b)) << c.what;
    EXPECT_NE(std::get<std::string>(b).find(c.reason), std::string::npos) << c.what << ": " << std::get<std::string>(b);
  }
  // The same symbol in another case is the same symbol.
  SystemOnHistory s;
  s.addAverage("3", "idChart", "1").setRaw("symbol", "eurusd");
  EXPECT_TRUE(std::holds_alternative<Backtest>(s.prepare(h)));
}

// Every refusal a trader can meet before a test, in German and in English: each is in the
// language chosen, with no word of the other, and every English sentence is in the table. A
// system the generator refuses is refused by the backtest in the generator's very words.
TEST(BacktestSignals, RefusalsSpeakTheChosenLanguageOnly) {
  const BarSeries h = hourlyFromOpens({{1.1, 1.1}, {1.1, 1.1}, {1.1, 1.1}});
  const std::regex english(R"(\b(the|must|not|cannot|is|of|be|no|reads|trades|divides|which|number|amount|between|ends)\b)", std::regex::icase);
  const std::regex german(R"(\b(ist|nicht|darf|keine?|Zahl|muss|Historie|handelt|liest|der|die|das|und|eine?|sein|wurde|Werte|liegen|teilt|endet)\b)", std::regex::icase);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::function<void(BacktestSettings&)>> badSettings = {
      [](BacktestSettings& b) { b.symbol.spreadPoints = -1; },
      [&](BacktestSettings& b) { b.deposit = nan; },
      [](BacktestSettings& b) { b.symbol.contractSize = 0; },
      [](BacktestSettings& b) { b.symbol.lotStep = -0.01; },
      [](BacktestSettings& b) { b.symbol.minimumLot = 0; },
      [](BacktestSettings& b) { b.symbol.maximumLot = b.symbol.minimumLot / 2; },
      [](BacktestSettings& b) { b.symbol.stopLevelPoints = -5; },
      [](BacktestSettings& b) { b.account.leverage = 0; },
      [&](BacktestSettings& b) { b.account.leverage = nan; },
      [&](BacktestSettings& b) { b.account.leverage = inf; },
      [](BacktestSettings& b) { b.account.stopOutPercent = 100.5; },
      [](BacktestSettings& b) { b.account.stopOutPercent = -1; },
      [&](BacktestSettings& b) { b.account.stopOutPercent = nan; },
      [](BacktestSettings& b) { b.account.commissionPerLot = -7; },
      [&](BacktestSettings& b) { b.account.commissionPerLot = nan; },
      [&](BacktestSettings& b) { b.account.swapLongPoints = nan; },
      [&](BacktestSettings& b) { b.account.swapShortPoints = -inf; },
      [](BacktestSettings& b) {
        b.fromDay = kMonday + 86400;
        b.toDay = kMonday;
      },
  };
  // Systems the generator refuses (a value the listing cannot take, a signal value that is
  // not a number) and systems only the backtest refuses.
  struct SystemCase {
    std::function<void(SystemOnHistory&)> change;
    bool generatorRefuses;
    BacktestSettings settings = {};
  };
  const SystemCase systems[] = {
      {[](SystemOnHistory& s) { s.addAverage("72,5", "idChart", "1"); s.system.group(2).sl = "-50"; }, true},
      {[](SystemOnHistory& s) { s.addAverage("3", "idChart", "1").setRaw("value", "drei"); }, true},
      {[](SystemOnHistory& s) { s.addAverage("3", "idChart", "1").setRaw("symbol", "GBPUSD"); }, false},
      {[](SystemOnHistory& s) { s.addAverage("3", "idM30", "1"); }, false},
      {[](SystemOnHistory& s) { s.addAverage("0", "idChart", "1"); }, false},
      {[](SystemOnHistory& s) { s.system.mm.symbol = "GBPUSD"; }, false},
      {[](SystemOnHistory& s) {
         s.system.mm.type = "idFixed Ratio";
         s.system.mm.delta = "0";
       }, false},
      {[](SystemOnHistory&) {}, false, [] {
         BacktestSettings w;
         w.fromDay = kMonday + 7 * 86400;
         return w;
       }()},
  };
  for (const bool inEnglish : {false, true}) {
    SCOPED_TRACE(inEnglish ? "English" : "German");
    const std::regex& foreign = inEnglish ? german : english;
    std::vector<std::string> said;
    for (std::size_t i = 0; i < badSettings.size(); ++i) {
      BacktestSettings settings;
      badSettings[i](settings);
      SystemOnHistory s;
      if (inEnglish) s.t.ws->language.switchLanguage("ENGLISCH", s.t.ws->resFolder());
      const auto problem = settingsProblem(settings, &s.t.ws->language);
      ASSERT_TRUE(problem) << "setting " << i;
      auto b = Backtest::prepare(s.system, s.t.ws->catalogue, s.t.ws->definitions, h, settings, &s.t.ws->language);
      ASSERT_TRUE(std::holds_alternative<std::string>(b));
      EXPECT_EQ(std::get<std::string>(b), *problem);
      said.push_back(*problem);
      EXPECT_TRUE(s.t.ws->language.missingTexts().empty()) << *problem;
    }
    for (const SystemCase& c : systems) {
      SystemOnHistory s;
      Workspace& ws = *s.t.ws;
      if (inEnglish) ws.language.switchLanguage("ENGLISCH", ws.resFolder());
      c.change(s);
      auto b = Backtest::prepare(s.system, ws.catalogue, ws.definitions, h, c.settings, &ws.language);
      ASSERT_TRUE(std::holds_alternative<std::string>(b)) << said.size();
      const std::string refusal = std::get<std::string>(b);
      said.push_back(refusal);
      s.t.host.messages.clear();
      EXPECT_EQ(writeExpertSource(ws, s.system, s.system.general.magic), !c.generatorRefuses) << refusal;
      if (c.generatorRefuses) {
        ASSERT_EQ(s.t.host.messages.size(), 1u);
        EXPECT_EQ(s.t.host.messages[0], refusal);
      }
      EXPECT_TRUE(ws.language.missingTexts().empty()) << refusal;
    }
    // An empty history.
    SystemOnHistory s;
    if (inEnglish) s.t.ws->language.switchLanguage("ENGLISCH", s.t.ws->resFolder());
    auto b = Backtest::prepare(s.system, s.t.ws->catalogue, s.t.ws->definitions, BarSeries{}, {}, &s.t.ws->language);
    ASSERT_TRUE(std::holds_alternative<std::string>(b));
    said.push_back(std::get<std::string>(b));
    for (const std::string& text : said) {
      SCOPED_TRACE(text);
      EXPECT_FALSE(std::regex_search(text, foreign));
      EXPECT_EQ(std::regex_search(text, inEnglish ? english : german), true);
    }
  }
}

// Every indicator type with the catalogue's defaults, read at the forming bar (shift 0) and at
// finished bars, on the chart and on H4: each can be prepared, and each fires on some bars of
// the demo history and not on all of them. Two defaults never fire and are set otherwise: a
// MACD signal period of 1 makes OsMA 0 on every bar, and a stochastic %K of one bar is 100 on
// a bar that has only its open, which the trigger 100 never exceeds.
// Groups that vote alike are counted once and their answers shared: with the long exit and
// the short entry the same test of the same average, and the short exit the long entry's test
// or one that differs in a single setting, every group's bits must still be its own vote.
TEST(BacktestSignals, GroupsThatVoteAlikeShareTheirAnswersAndNoOthers) {
  const BarSeries history = makeDemoHistory();
  struct Case {
    const char* key;
    const char* value;
  } cases[] = {{"period", "10"}, {"period", "11"}, {"shift", "2"}, {"value", "2"}, {"ma_shift", "1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    SystemOnHistory s;
    for (int g = 1; g <= 4; ++g) {
      Indicator ind = testing::sampleIndicator(*s.t.ws, "Moving Average Cross");
      ind.setRaw("period", "10");
      ind.setRaw("ma_method", "idExponential");
      ind.setRaw("pricetype", "idCLOSE");
      ind.setRaw("timeframe", "idChart");
      ind.setRaw("shift", "1");
      ind.setRaw("ma_shift", "0");
      ind.setRaw("value", "1");
      ind.setRaw("actiontyp", "idStandard");
      if (g == 4) ind.setRaw(c.key, c.value);
      s.system.group(g).addIndicator(ind);
    }
    auto b = s.prepare(history);
    ASSERT_TRUE(std::holds_alternative<Backtest>(b)) << std::get<std::string>(b);
    const Backtest& backtest = std::get<Backtest>(b);
    const auto plan =
        SignalPlan::make(readSystemRules(s.system, s.t.ws->catalogue, s.t.ws->definitions), history);
    const auto checks = std::get<SignalPlan>(plan).checks(0, history.size());
    std::array<std::size_t, 4> fired{};
    for (std::size_t i = 0; i < history.size(); ++i) {
      const BarVotes v = backtest.votes(i);
      for (std::size_t g = 0; g < 4; ++g) {
        const bool bit = (checks[i] >> g) & 1u;
        ASSERT_EQ(bit, v.groups[g].fires) << "bar " << i << " group " << g + 1;
        fired[g] += bit;
      }
    }
    for (std::size_t g = 0; g < 4; ++g) EXPECT_GT(fired[g], 0u) << "group " << g + 1;
  }
}

TEST(BacktestSignals, EveryIndicatorTypeFiresSometimes) {
  const BarSeries history = makeDemoHistory();
  const char* types[] = {"Moving Average", "Moving Average Cross", "2 Moving Averages", "2 Moving Averages Cross",
                         "RSI", "RSI Cross", "Parabolic SAR", "MACD", "Stochastik", "Bollinger Bands",
                         "Donchian Channel", "ADX"};
  for (const char* type : types) {
    for (const char* shift : {"0", "1"}) {
      for (const char* timeframe : {"idChart", "idH4"}) {
        SCOPED_TRACE(std::string(type) + " shift " + shift + " " + timeframe);
        SystemOnHistory s;
        Indicator ind = testing::sampleIndicator(*s.t.ws, type);
        ind.setRaw("shift", shift);
        ind.setRaw("timeframe", timeframe);
        ind.setRaw("value", "1");
        ind.setRaw("actiontyp", "idStandard");
        if (std::string(type) == "MACD") ind.setRaw("periodsignal", "9");
        if (std::string(type) == "Stochastik") {
          ind.setRaw("st_pk", "14");
          ind.setRaw("st_slow", "3");
          ind.setRaw("st_trigger", "30");
        }
        s.system.group(1).addIndicator(ind);
        auto b = s.prepare(history);
        ASSERT_TRUE(std::holds_alternative<Backtest>(b)) << std::get<std::string>(b);
        const auto plan = SignalPlan::make(readSystemRules(s.system, s.t.ws->catalogue, s.t.ws->definitions), history);
        const auto checks = std::get<SignalPlan>(plan).checks(0, history.size());
        std::size_t fired = 0;
        for (std::uint8_t c : checks) fired += (c & kEntryLongFires) != 0;
        EXPECT_GT(fired, 0u);

        EXPECT_LT(fired, history.size() - 1);
      }
    }
  }
}

// Odd parameters and tiny histories: whatever the mix, a backtest either refuses with a reason
// or runs to the end with balanced books; it never crashes or reads outside a series.
TEST(BacktestRun, OddParametersOnTinyHistoriesRefuseOrRunCleanly) {
  const char* types[] = {"Moving Average", "Moving Average Cross", "2 Moving Averages", "2 Moving Averages Cross",
                         "RSI", "RSI Cross", "Parabolic SAR", "MACD", "Stochastik", "Bollinger Bands",
                         "Donchian Channel", "ADX", "Unbekannt"};
  const char* numbers[] = {"0", "1", "2", "3", "50", "200", "-1"};
  const char* timeframes[] = {"idChart", "idH1", "idH4", "idD1", "idW1", "idMN1", "idM5"};
  std::uint64_t state = 7;
  auto pick = [&](std::size_t n) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::size_t>((state >> 33) % n);
  };
  int ran = 0, refused = 0;
  SystemOnHistory s;
  const TradingSystem blank = s.system;
  for (int round = 0; round < 300; ++round) {
    std::vector<std::pair<double, double>> bars;
    double price = 1.1;
    for (std::size_t i = 0, n = 1 + pick(40); i < n; ++i) {
      const double next = price + (static_cast<double>(pick(41)) - 20) / 1e4;
      bars.emplace_back(price, next);
      price = next;
    }
    const BarSeries h = hourlyFromOpens(bars);
    s.system = blank;
    for (int g = 1; g <= 4; ++g) {
      s.system.group(g).threshold = numbers[pick(6)];
      if (g == 2 || g == 4) {
        s.system.group(g).sl = numbers[pick(6)];
        s.system.group(g).tp = numbers[pick(6)];
        s.system.group(g).ts = numbers[pick(6)];
      }
      const std::string type = types[pick(std::size(types))];
      Indicator ind = type == "Unbekannt" ? Indicator(type) : testing::sampleIndicator(*s.t.ws, type);
      for (const char* key : {"period", "periodfast", "periodslow", "periodsignal", "st_pk", "st_pd", "st_slow",
                              "ma_shift", "bo_shift"})
        if (ind.hasParameter(key)) ind.setRaw(key, numbers[pick(std::size(numbers))]);
      ind.setRaw("shift", numbers[pick(4)]);
      ind.setRaw("timeframe", timeframes[pick(std::size(timeframes))]);
      ind.setRaw("value", numbers[1 + pick(3)]);
      s.system.group(g).addIndicator(ind);
    }
    s.system.mm.type = pick(2) ? "idFixed Ratio" : "idFixed Fractional";
    auto b = s.prepare(h);
    if (auto* why = std::get_if<std::string>(&b)) {
      EXPECT_FALSE(why->empty());
      ++refused;
      continue;
    }
    const BacktestResult r = std::get<Backtest>(b).run();
    double sum = 0;
    for (const Trade& t : r.trades) sum += t.profit;
    ASSERT_EQ(r.balance.size(), h.size());
    EXPECT_NEAR(r.balance.back(), r.deposit + sum, 1e-6);
    for (std::size_t i = 0; i < h.size(); ++i) (void)std::get<Backtest>(b).votes(i);
    ++ran;
  }
  EXPECT_GT(ran, 30);
  EXPECT_GT(refused, 30);
}

// Every system of the demo library on the demo history: the books balance, and two runs agree
// bit for bit.
TEST(BacktestRun, TheDemoSystemsRunOnTheDemoHistoryAndTheBooksBalance) {
  testing::TestWorkspace t(true);
  Workspace& ws = *t.ws;
  BarSeries history = makeDemoHistory();
  int ran = 0;
  for (const auto& entry : fs::directory_iterator(ws.userFolder())) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 8 || name.substr(name.size() - 8) != ".hsy.txt") continue;
    SCOPED_TRACE(name);
    TradingSystem system;
    system.resetAll(systemDefaults(ws));
    ASSERT_TRUE(readComponent(ws, system, entry.path(), componentKindOf(name)->readerCode, 1));
    auto b = Backtest::prepare(system, ws.catalogue, ws.definitions, history, {});
    if (auto* why = std::get_if<std::string>(&b)) {
      // A system reading a lower timeframe than the demo history's H1 cannot run on it.
      EXPECT_NE(why->find("lassen sich nicht"), std::string::npos) << *why;
      continue;
    }
    const BacktestResult r = std::get<Backtest>(b).run();
    ++ran;
    EXPECT_GT(r.trades.size(), 0u);
    double sum = 0;
    for (std::size_t i = 0; i < r.trades.size(); ++i) {
      EXPECT_EQ(r.trades[i].ticket, static_cast<int>(i) + 1);
      EXPECT_LE(r.trades[i].openTime, r.trades[i].closeTime);
      sum += r.trades[i].profit;
    }
    ASSERT_EQ(r.balance.size(), history.size());
    EXPECT_NEAR(r.balance.back(), r.deposit + sum, 1e-6);
    EXPECT_DOUBLE_EQ(r.equity.back(), r.balance.back());
    const BacktestResult again = std::get<Backtest>(b).run();
    ASSERT_EQ(again.trades.size(), r.trades.size());
    EXPECT_EQ(again.balance, r.balance);
  }
  EXPECT_GE(ran, 2);
}

}  // namespace
}  // namespace zorvik
