#pragma once
// What a backtest run reports: every trade with the reason it closed, the statistics of the
// trades and of the equity, and the equity and balance at the end of every bar of the test.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "account/trade.hpp"

namespace zorvik {

// Ratios that are undefined (nothing to divide by) are empty.
struct BacktestStatistics {
  double netProfit = 0;
  double grossProfit = 0;
  double grossLoss = 0;  // negative or 0
  std::optional<double> profitFactor;
  int trades = 0;
  std::optional<double> wonPercent;
  std::optional<double> averageWin;
  std::optional<double> averageLoss;
  std::optional<double> largestWin;
  std::optional<double> largestLoss;
  double maxDrawdown = 0;         // money, from a peak of equity down
  double maxDrawdownPercent = 0;  // of the peak that drawdown fell from
  std::optional<double> recoveryFactor;
  std::optional<double> expectancy;  // net profit per trade
  double totalCommission = 0;  // 0 or negative
  double totalSwap = 0;
  int stopOuts = 0;  // trades the stop out closed
  int refusedForMoney = 0;  // entries refused with error 134: the free margin was too small
};

struct BacktestResult {
  std::vector<Trade> trades;  // by ticket
  BacktestStatistics statistics;
  double deposit = 0;
  int digits = 5;
  // One entry per bar of the test, after the work of its last tick.
  std::size_t firstBar = 0;  // history index of the test's first bar
  std::vector<std::int64_t> barTime;
  std::vector<double> equity;
  std::vector<double> balance;
  bool cancelled = false;  // stopped on request: trades and curves so far, no end-of-test closes
};

// Profit figures of a list of trades; the drawdown figures are filled in by the run, which
// sees the equity at every tick.
void fillTradeStatistics(const std::vector<Trade>& trades, BacktestStatistics& statistics);

}  // namespace zorvik
