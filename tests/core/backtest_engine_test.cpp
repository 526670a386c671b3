// The tick loop on hand-made bars: what the broker fills and when, what the EA's start() does
// at each tick, and the money that follows. The four check functions' answers are given per bar,
// so each test pins one rule without an indicator in the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "backtest/expert_run.hpp"
#include "market/bar_series.hpp"

namespace zorvik {
namespace {

constexpr std::int64_t kMonday = 1704067200;  // 2024-01-01 00:00
constexpr std::int64_t kHour = 3600;

struct Ohlc {
  double open, high, low, close;
};

BarSeries hourly(const std::vector<Ohlc>& bars, std::int64_t start = kMonday) {
  BarSeries s;
  s.symbol = "EURUSD";
  s.timeframeMinutes = 60;
  s.digits = 5;
  for (std::size_t i = 0; i < bars.size(); ++i)
    s.push_back({start + static_cast<std::int64_t>(i) * kHour, bars[i].open, bars[i].high, bars[i].low, bars[i].close, 10});
  return s;
}

// A quiet bar around a price.
Ohlc flat(double p) { return {p, p, p, p}; }

struct Fixture {
  BarSeries history;
  std::vector<std::uint8_t> checks;
  ExpertRunInput in;

  explicit Fixture(const std::vector<Ohlc>& bars) : history(hourly(bars)), checks(bars.size(), 0) {
    in.history = &history;
    in.firstBar = 0;
    in.endBar = history.size();
    in.checks = &checks;
    in.symbol.spreadPoints = 0;
    in.rules.lots = 0.1;
    in.rules.maxLots = 0;
  }
  BacktestResult run() { return runExpert(in); }
};

TEST(BacktestTicks, FirstBarNeverChecksAndEntriesFillAtTheNextBarsOpenAsk) {
  Fixture f({flat(1.1), {1.2, 1.2, 1.2, 1.2}, flat(1.3)});
  f.in.symbol.spreadPoints = 20;
  f.checks = {kEntryLongFires, kEntryLongFires, 0};
  const BacktestResult r = f.run();
  ASSERT_EQ(r.trades.size(), 1u);  // the first bar's check never runs
  const Trade& t = r.trades[0];
  EXPECT_EQ(t.ticket, 1);
  EXPECT_EQ(t.type, TradeType::Buy);
  EXPECT_EQ(t.openTime, kMonday + kHour);
  EXPECT_DOUBLE_EQ(t.openPrice, 1.2002);  // Ask of the open tick
  EXPECT_EQ(t.reason, CloseReason::EndOfTest);
  EXPECT_DOUBLE_EQ(t.closePrice, 1.3);  // Bid of the last tick
  EXPECT_NEAR(t.profit, (1.3 - 1.2002) * 0.1 * 100000, 1e-9);
  EXPECT_NEAR(r.balance.back(), 10000 + t.profit, 1e-9);
}

// A buy with SL 1.0990 and TP 1.1010 opened at 1.1000; the next bar reaches both. Low comes
// before high when the bar closes at or above its open, so which stop fills depends on that.
TEST(BacktestTicks, TheBarsDirectionDecidesWhetherStopOrTargetFillsFirst) {
  struct Case {
    Ohlc bar;
    CloseReason reason;
    double fill;
  } cases[] = {
      {{1.1000, 1.1020, 1.0980, 1.1005}, CloseReason::StopLoss, 1.0990},   // rising: low first
      {{1.1000, 1.1020, 1.0980, 1.1000}, CloseReason::StopLoss, 1.0990},   // unchanged: low first
      {{1.1000, 1.1020, 1.0980, 1.0995}, CloseReason::TakeProfit, 1.1010}, // falling: high first
  };
  for (const Case& c : cases) {
    Fixture f({flat(1.1), flat(1.1), c.bar, flat(1.1)});
    f.in.rules.stoplossLong = 10 * 10;
    f.in.rules.takeprofitLong = 10 * 10;
    f.checks[1] = kEntryLongFires;
    const BacktestResult r = f.run();
    ASSERT_EQ(r.trades.size(), 1u);
    EXPECT_EQ(r.trades[0].reason, c.reason) << c.bar.close;
    EXPECT_DOUBLE_EQ(r.trades[0].closePrice, c.fill);
    EXPECT_EQ(r.trades[0].closeBar, 2u);
  }
}

// A bar that opens beyond a stop fills at its open: the stop's price never traded.
TEST(BacktestTicks, AGapThroughTheStopFillsAtTheOpen) {
  struct Case {
    bool isLong;
    Ohlc gapBar;
    CloseReason reason;
    double fill;
  } cases[] = {
      {true, {1.0950, 1.0960, 1.0940, 1.0955}, CloseReason::StopLoss, 1.0950},
      {true, {1.1050, 1.1060, 1.1040, 1.1055}, CloseReason::TakeProfit, 1.1050},
      {false, {1.1050, 1.1060, 1.1040, 1.1055}, CloseReason::StopLoss, 1.1052},  // at Ask
      {false, {1.0950, 1.0960, 1.0940, 1.0955}, CloseReason::TakeProfit, 1.0952},
  };
  for (const Case& c : cases) {
    Fixture f({flat(1.1), flat(1.1), flat(1.1), c.gapBar});
    f.in.symbol.spreadPoints = 20;
    f.in.rules.stoplossLong = f.in.rules.stoplossShort = 300;
    f.in.rules.takeprofitLong = f.in.rules.takeprofitShort = 300;
    f.checks[1] = c.isLong ? kEntryLongFires : kEntryShortFires;
    const BacktestResult r = f.run();
    ASSERT_EQ(r.trades.size(), 1u);
    EXPECT_EQ(r.trades[0].reason, c.reason);
    EXPECT_DOUBLE_EQ(r.trades[0].closePrice, c.fill);
  }
}

TEST(BacktestSignals, ExitBeforeEntryAndTheHedgingClose) {
  // Long open from bar 1; at bar 2 the short entry fires.
  for (const bool hedging : {false, true}) {
    Fixture f({flat(1.1), flat(1.1), flat(1.101), flat(1.102)});
    f.in.rules.hedging = hedging;
    f.checks[1] = kEntryLongFires;
    f.checks[2] = kEntryShortFires;
    const BacktestResult r = f.run();
    ASSERT_EQ(r.trades.size(), 2u) << hedging;
    EXPECT_EQ(r.trades[0].type, TradeType::Buy);
    EXPECT_EQ(r.trades[1].type, TradeType::Sell);
    if (hedging) {
      EXPECT_EQ(r.trades[0].reason, CloseReason::EndOfTest);
    } else {
      EXPECT_EQ(r.trades[0].reason, CloseReason::Hedge);
      EXPECT_EQ(r.trades[0].closeTime, r.trades[1].openTime);  // closed first, then the short opens
    }
  }
  // An exit signal closes with its own reason, and the same bar's entry opens again.
  Fixture f({flat(1.1), flat(1.1), flat(1.101), flat(1.102)});
  f.checks[1] = kEntryLongFires;
  f.checks[2] = kExitLongFires | kEntryLongFires;
  const BacktestResult r = f.run();
  ASSERT_EQ(r.trades.size(), 2u);
  EXPECT_EQ(r.trades[0].reason, CloseReason::Signal);
  EXPECT_EQ(r.trades[1].openBar, 2u);
  // Without hedging no short opens beside a long.
  Fixture g({flat(1.1), flat(1.1), flat(1.1)});
  g.checks[1] = kEntryLongFires | kEntryShortFires;
  EXPECT_EQ(g.run().trades.size(), 1u);
}

TEST(BacktestSignals, TheDayLimitCountsOrdersAndStartsAgainAtANewDay) {
  // Bars at 22:00, 23:00 on Monday and 00:00, 01:00 on Tuesday; every bar closes the long
  // and wants a new one.
  std::vector<Ohlc> bars(4, flat(1.1));
  Fixture f(bars);
  f.history = hourly(bars, kMonday + 22 * kHour);
  f.in.rules.maxTrades = 1;
  f.checks.assign(4, kExitLongFires | kEntryLongFires);
  const BacktestResult r = f.run();
  ASSERT_EQ(r.trades.size(), 2u);
  EXPECT_EQ(r.trades[0].openTime, kMonday + 23 * kHour);
  EXPECT_EQ(r.trades[1].openTime, kMonday + 24 * kHour);  // the first bar of Tuesday
}

TEST(BacktestMoney, LotsOfEachMethodAndTheBrokersVolumeCheck) {
  struct Case {
    const char* what;
    LotMethod method;
    double lots, fraction, base, delta;
    double step, minLot, maxLot;
    double expected;  // 0: refused
  } cases[] = {
      {"fixed lots as written", LotMethod::FixedLots, 0.1, 0, 0, 0, 0.01, 0.01, 100, 0.1},
      {"fixed lots off the step are refused", LotMethod::FixedLots, 0.015, 0, 0, 0, 0.01, 0.01, 100, 0},
      {"fixed lots above the maximum are refused", LotMethod::FixedLots, 5, 0, 0, 0, 0.01, 0.01, 2, 0},
      {"fraction: 0.1 per 1000 of equity", LotMethod::FixedFractional, 0.1, 1000, 0, 0, 0.01, 0.01, 100, 1.0},
      {"fraction capped by the maximum", LotMethod::FixedFractional, 0.1, 1000, 0, 0, 0.01, 0.01, 0.5, 0.5},
      {"fraction below the lots sends nothing", LotMethod::FixedFractional, 0.1, 20000, 0, 0, 0.01, 0.01, 100, 0},
      {"fraction down to the lot step", LotMethod::FixedFractional, 0.025, 1000, 0, 0, 0.1, 0.1, 100, 0.2},
      // sqrt(2 * 5000 / 1000 + 0.25) + 0.5 = 3.70 -> 3 units of 0.1
      {"ratio", LotMethod::FixedRatio, 0.1, 0, 5000, 1000, 0.01, 0.01, 100, 0.3},
      {"ratio below the base sends nothing", LotMethod::FixedRatio, 0.1, 0, 20000, 1000, 0.01, 0.01, 100, 0},
      {"unknown method sends nothing", LotMethod::None, 0.1, 0, 0, 0, 0.01, 0.01, 100, 0},
  };
  for (const Case& c : cases) {
    Fixture f({flat(1.1), flat(1.1), flat(1.1)});
    f.in.rules.lotMethod = c.method;
    f.in.rules.lots = c.lots;
    f.in.rules.fraction = c.fraction;
    f.in.rules.base = c.base;
    f.in.rules.delta = c.delta;
    f.in.symbol.lotStep = c.step;
    f.in.symbol.minimumLot = c.minLot;
    f.in.symbol.maximumLot = c.maxLot;
    f.checks[1] = kEntryLongFires;
    const BacktestResult r = f.run();
    if (c.expected == 0) {
      EXPECT_TRUE(r.trades.empty()) << c.what;
    } else {
      ASSERT_EQ(r.trades.size(), 1u) << c.what;
      EXPECT_NEAR(r.trades[0].lots, c.expected, 1e-12) << c.what;
    }
  }
}

// mmMaxLots is the most a side may hold: no order once it is reached, and an order larger than
// the room left is cut to it. (Before, the limit only stopped new orders: with 0.4 lots and a
// limit of 1 the side came to 1.2, and one order of a grown account went far beyond it.)
TEST(BacktestMoney, MaximumLotsPerSideLimitWhatASideHolds) {
  Fixture f({flat(1.1), flat(1.1), flat(1.1), flat(1.1), flat(1.1)});
  f.in.rules.lots = 0.4;
  f.in.rules.maxLots = 1;
  f.checks = {0, kEntryLongFires, kEntryLongFires, kEntryLongFires, kEntryLongFires};
  auto lotsOf = [](const BacktestResult& r) {
    std::vector<double> lots;
    for (const auto& t : r.trades) lots.push_back(t.lots);
    return lots;
  };
  // 0.4, 0.8, then the room of 0.2 (1 - 0.8 as a double is just below 0.2: not cut to 0.19).
  EXPECT_EQ(lotsOf(f.run()), (std::vector<double>{0.4, 0.4, 0.2}));
  f.in.rules.maxLots = 0.8;
  EXPECT_EQ(lotsOf(f.run()), (std::vector<double>{0.4, 0.4}));
  // A room of 0.2 below the broker's smallest lot of 0.3: no order (the smallest lot would
  // bring the side to 1.1, above the limit).
  f.in.rules.maxLots = 1;
  f.in.symbol.minimumLot = 0.3;
  f.in.symbol.lotStep = 0.1;
  EXPECT_EQ(lotsOf(f.run()), (std::vector<double>{0.4, 0.4}));

  // A fraction of a large account: one order of 10 lots is cut to the limit of 2.
  Fixture big({flat(1.1), flat(1.1), flat(1.1)});
  big.in.rules.lotMethod = LotMethod::FixedFractional;
  big.in.rules.lots = 0.1;
  big.in.rules.fraction = 100;
  big.in.rules.maxLots = 2;
  big.checks[1] = kEntryLongFires;
  EXPECT_EQ(lotsOf(big.run()), (std::vector<double>{2.0}));
}

// Deposit 1000, leverage 100, 0.5 lots: 550 of margin. The third bar falls 200 points below
// the entry: the equity reaches -5 at its low and the position is stopped out there, not at
// the bar's close; the next entry finds no free margin and is refused (134) without a ticket.
TEST(BacktestMoney, AStopOutClosesAtTheTicksPriceAndLaterEntriesAreRefused) {
  Fixture f({flat(1.1), flat(1.1), {1.1, 1.1, 1.08, 1.09}, flat(1.09), flat(1.09)});
  f.in.deposit = 1000;
  f.in.rules.lots = 0.5;
  f.in.account.commissionPerLot = 10;
  f.checks = {0, kEntryLongFires, 0, kEntryLongFires, 0};
  const BacktestResult r = f.run();
  ASSERT_EQ(r.trades.size(), 1u);
  const Trade& t = r.trades[0];
  EXPECT_EQ(t.reason, CloseReason::StopOut);
  EXPECT_DOUBLE_EQ(t.closePrice, 1.08);
  EXPECT_EQ(t.closeBar, 2u);
  EXPECT_DOUBLE_EQ(t.commission, -5);
  EXPECT_EQ(r.statistics.stopOuts, 1);
  EXPECT_EQ(r.statistics.refusedForMoney, 1);
  EXPECT_DOUBLE_EQ(r.statistics.totalCommission, -5);
  EXPECT_DOUBLE_EQ(r.statistics.netProfit, t.result());
  EXPECT_NEAR(r.balance.back(), -5, 1e-9);

  // A deposit too small for the smallest lot: every entry is refused, and the run ends.
  Fixture poor({flat(1.1), flat(1.1), flat(1.1), flat(1.1)});
  poor.in.deposit = 1;
  poor.in.rules.lots = 0.01;
  poor.checks = {0, kEntryLongFires, kEntryShortFires, kEntryLongFires};
  const BacktestResult none = poor.run();
  EXPECT_TRUE(none.trades.empty());
  EXPECT_EQ(none.statistics.refusedForMoney, 3);
  EXPECT_EQ(none.balance.size(), 4u);
}

// The trailing stop follows Bid; near the take profit the broker refuses the move (both stops
// must keep the stop level), and the EA tries again at every tick until it is accepted.
TEST(BacktestStops, TrailingFollowsThePriceAndARefusedMoveIsRetried) {
  Fixture f({flat(1.1), flat(1.1),
             {1.1000, 1.1030, 1.1000, 1.1030},   // ticks 1.1000, 1.1000, 1.1030, 1.1030
             {1.1045, 1.1045, 1.1010, 1.1010}}); // ticks 1.1045, 1.1045 (high), 1.1010, 1.1010
  f.in.rules.stoplossLong = 500;
  f.in.rules.takeprofitLong = 500;
  f.in.rules.trailingLong = 200;
  f.in.symbol.stopLevelPoints = 100;
  f.checks[1] = kEntryLongFires;
  const BacktestResult r = f.run();
  ASSERT_EQ(r.trades.size(), 1u);
  // Bid 1.1030: stop to 1.1010. Bid 1.1045 is 5 points from the target: refused twice.
  // Then Bid falls to 1.1010: the stop at 1.1010 fills.
  EXPECT_EQ(r.trades[0].reason, CloseReason::StopLoss);
  EXPECT_DOUBLE_EQ(r.trades[0].stopLoss, 1.1010);
  EXPECT_DOUBLE_EQ(r.trades[0].closePrice, 1.1010);

  // With room to the target the move at 1.1045 is taken: the stop ends at 1.1025.
  f.in.rules.takeprofitLong = 1000;
  const BacktestResult moved = f.run();
  ASSERT_EQ(moved.trades.size(), 1u);
  EXPECT_DOUBLE_EQ(moved.trades[0].stopLoss, 1.1025);
  EXPECT_DOUBLE_EQ(moved.trades[0].closePrice, 1.1025);
}

TEST(BacktestStops, AShortWithoutStopLossIsTrailedFromItsFirstTick) {
  Fixture f({flat(1.1), flat(1.1), {1.0990, 1.0990, 1.0970, 1.0970}, {1.0990, 1.0990, 1.0990, 1.0990}});
  f.in.rules.trailingShort = 150;
  f.checks[1] = kEntryShortFires;
  const BacktestResult r = f.run();
  ASSERT_EQ(r.trades.size(), 1u);
  EXPECT_EQ(r.trades[0].reason, CloseReason::StopLoss);
  EXPECT_DOUBLE_EQ(r.trades[0].closePrice, 1.0990);  // gap at the open over 1.0985
  EXPECT_DOUBLE_EQ(r.trades[0].stopLoss, 1.0985);
}

TEST(BacktestStatistics, DrawdownIsMeasuredFromTheDepositAsTheFirstPeak) {
  // Long 1 lot at 1.1000; equity falls to -300, recovers to +200, falls back to +100.
  Fixture f({flat(1.1), flat(1.1), {1.1000, 1.1020, 1.0970, 1.1020}, {1.1020, 1.1020, 1.1010, 1.1010}});
  f.in.rules.lots = 1;
  f.checks[1] = kEntryLongFires;
  const BacktestResult r = f.run();
  const BacktestStatistics& s = r.statistics;
  EXPECT_NEAR(s.maxDrawdown, 300, 1e-6);
  EXPECT_NEAR(s.maxDrawdownPercent, 3, 1e-9);  // of the deposit
  EXPECT_NEAR(s.netProfit, 100, 1e-6);
  ASSERT_TRUE(s.recoveryFactor);
  EXPECT_NEAR(*s.recoveryFactor, 100.0 / 300, 1e-9);
  EXPECT_FALSE(s.profitFactor);  // no loss to divide by
  ASSERT_EQ(r.equity.size(), 4u);
  EXPECT_NEAR(r.equity[2], 10200, 1e-6);
  EXPECT_NEAR(r.balance[2], 10000, 1e-6);
  EXPECT_NEAR(r.balance[3], 10100, 1e-6);
}

TEST(BacktestStatistics, RatiosOfTrades) {
  auto trade = [](double profit) {
    Trade t;
    t.profit = profit;
    return t;
  };
  BacktestStatistics s;
  fillTradeStatistics({trade(300), trade(-100), trade(0), trade(-50)}, s);
  EXPECT_DOUBLE_EQ(s.netProfit, 150);
  EXPECT_DOUBLE_EQ(s.grossProfit, 300);
  EXPECT_DOUBLE_EQ(s.grossLoss, -150);
  EXPECT_DOUBLE_EQ(*s.profitFactor, 2);
  EXPECT_EQ(s.trades, 4);
  EXPECT_DOUBLE_EQ(*s.wonPercent, 25);  // a trade of 0 is neither win nor loss
  EXPECT_DOUBLE_EQ(*s.averageLoss, -75);
  EXPECT_DOUBLE_EQ(*s.largestLoss, -100);
  EXPECT_DOUBLE_EQ(*s.expectancy, 37.5);

  BacktestStatistics none;
  fillTradeStatistics({}, none);
  EXPECT_FALSE(none.profitFactor || none.wonPercent || none.expectancy || none.averageWin || none.largestWin);
}

TEST(BacktestRun, CancelStopsEarlyAndTheWindowLimitsTheBars) {
  std::vector<Ohlc> bars(200000, flat(1.1));
  Fixture f(bars);
  std::vector<double> shares;
  f.in.progress = [&](double share) { shares.push_back(share); };
  EXPECT_FALSE(f.run().cancelled);
  ASSERT_GE(shares.size(), 2u);
  EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
  EXPECT_EQ(shares.back(), 1.0);

  std::atomic<bool> cancel{true};
  f.in.cancel = &cancel;
  const BacktestResult stopped = f.run();
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_LT(stopped.equity.size(), bars.size());
  f.in.progress = nullptr;

  f.in.cancel = nullptr;
  f.in.firstBar = 10;
  f.in.endBar = 20;
  f.checks[10] = kEntryLongFires;  // the window's first bar: no check
  f.checks[11] = kEntryLongFires;
  const BacktestResult r = f.run();
  EXPECT_EQ(r.equity.size(), 10u);
  ASSERT_EQ(r.trades.size(), 1u);
  EXPECT_EQ(r.trades[0].openBar, 11u);
  EXPECT_EQ(r.trades[0].closeBar, 19u);
}

// Stops the broker refused at the open are asked for again at the first tick of each later bar,
// from the open price. A stop loss of 2.0 lies below zero at 1.1000 and is refused with the
// target; the trailing stop gives the buy a stop loss of its own, so only its target is missing.
TEST(BacktestStops, MissingStopsAreAskedForAtEachNewBarAndAPassedOneCloses) {
  struct Case {
    const char* what;
    bool isLong;
    std::vector<Ohlc> bars;
    CloseReason reason;
    std::size_t closeBar;
    double closePrice, stopLoss, takeProfit;
  } cases[] = {
      // Bar 2 at 1.1170: the target 1.1200 is 30 pips away, inside the stop level of 50: refused.
      // Bar 3 opens above it: closed at that open, under the target's name, without a target.
      {"buy, target refused by the stop level, then passed", true,
       {flat(1.1), flat(1.1), flat(1.1170), flat(1.1210), flat(1.1210)},
       CloseReason::TakeProfit, 3, 1.1210, 1.1110, 0},
      // Bar 3 at 1.1130 leaves room to both stops: the target is set, the broker fills it.
      {"buy, target refused by the stop level, then set", true,
       {flat(1.1), flat(1.1), flat(1.1170), flat(1.1130), {1.1150, 1.1200, 1.1150, 1.1200}},
       CloseReason::TakeProfit, 4, 1.1200, 1.1070, 1.1200},
      // The sell's target lies below zero: refused at every bar. Bar 2 reaches the stop loss of
      // 1.1100 only inside the bar, which is not looked at; bar 3 opens beyond it.
      {"sell, stop loss passed at a new bar's open only", false,
       {flat(1.1), flat(1.1), {1.1050, 1.1130, 1.1040, 1.1060}, flat(1.1120), flat(1.1120)},
       CloseReason::StopLoss, 3, 1.1120, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f(c.bars);
    f.in.symbol.stopLevelPoints = 500;
    if (c.isLong) {
      f.in.rules.stoplossLong = 200000;
      f.in.rules.takeprofitLong = 2000;
      f.in.rules.trailingLong = 1000;
      f.checks[1] = kEntryLongFires;
    } else {
      f.in.rules.stoplossShort = 1000;
      f.in.rules.takeprofitShort = 200000;
      f.checks[1] = kEntryShortFires;
    }
    const BacktestResult r = f.run();
    ASSERT_EQ(r.trades.size(), 1u);
    const Trade& t = r.trades[0];
    EXPECT_EQ(t.reason, c.reason);
    EXPECT_EQ(t.closeBar, c.closeBar);
    EXPECT_DOUBLE_EQ(t.closePrice, c.closePrice);
    EXPECT_DOUBLE_EQ(t.stopLoss, c.stopLoss);
    EXPECT_DOUBLE_EQ(t.takeProfit, c.takeProfit);
  }
}

}  // namespace
}  // namespace zorvik
