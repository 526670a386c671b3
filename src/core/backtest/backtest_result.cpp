#include "backtest/backtest_result.hpp"

#include <algorithm>

namespace zorvik {

void fillTradeStatistics(const std::vector<Trade>& trades, BacktestStatistics& s) {
  int wins = 0;
  int losses = 0;
  s.grossProfit = 0;
  s.grossLoss = 0;
  s.totalCommission = 0;
  s.totalSwap = 0;
  s.stopOuts = 0;
  s.netProfit = 0;
  // A trade counts with what it brought the account: a price profit below its commission
  // is a loss.
  for (const Trade& t : trades) {
    const double result = t.result();
    if (result > 0) {
      ++wins;
      s.grossProfit += result;
      if (!s.largestWin || result > *s.largestWin) s.largestWin = result;
    } else if (result < 0) {
      ++losses;
      s.grossLoss += result;
      if (!s.largestLoss || result < *s.largestLoss) s.largestLoss = result;
    }
    s.netProfit += result;
    s.totalCommission += t.commission;
    s.totalSwap += t.swap;
    if (t.reason == CloseReason::StopOut) ++s.stopOuts;
  }
  s.trades = static_cast<int>(trades.size());
  if (losses > 0) s.profitFactor = s.grossProfit / -s.grossLoss;
  if (s.trades > 0) {
    s.wonPercent = 100.0 * wins / s.trades;
    s.expectancy = s.netProfit / s.trades;
  }
  if (wins > 0) s.averageWin = s.grossProfit / wins;
  if (losses > 0) s.averageLoss = s.grossLoss / losses;
}

}  // namespace zorvik
