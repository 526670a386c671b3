#include "backtest/backtest_result.hpp"

#include <algorithm>

namespace zorvik {

void fillTradeStatistics(const std::vector<Trade>& trades, BacktestStatistics& s) {
  int wins = 0;
  int losses = 0;
  s.grossProfit = 0;
  s.grossLoss = 0;
  for (const Trade& t : trades) {
    if (t.profit > 0) {
      ++wins;
      s.grossProfit += t.profit;
      if (!s.largestWin || t.profit > *s.largestWin) s.largestWin = t.profit;
    } else if (t.profit < 0) {
      ++losses;
      s.grossLoss += t.profit;
      if (!s.largestLoss || t.profit < *s.largestLoss) s.largestLoss = t.profit;
    }
  }
  s.trades = static_cast<int>(trades.size());
  s.netProfit = 0;
  for (const Trade& t : trades) s.netProfit += t.profit;
  if (losses > 0) s.profitFactor = s.grossProfit / -s.grossLoss;
  if (s.trades > 0) {
    s.wonPercent = 100.0 * wins / s.trades;
    s.expectancy = s.netProfit / s.trades;
  }
  if (wins > 0) s.averageWin = s.grossProfit / wins;
  if (losses > 0) s.averageLoss = s.grossLoss / losses;
}

}  // namespace zorvik
