#pragma once
// What a backtest run reports: every trade with the reason it closed, the statistics of the
// trades and of the equity, and the equity and balance at the end of every bar of the test.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

enum class TradeType { Buy, Sell };
enum class CloseReason { Signal, StopLoss, TakeProfit, Hedge, EndOfTest };

// "buy" / "sell"; "signal", "sl", "tp", "hedge", "end".
std::string_view tradeTypeName(TradeType type);
std::string_view closeReasonName(CloseReason reason);

struct Trade {
  int ticket = 0;
  TradeType type = TradeType::Buy;
  double lots = 0;
  std::int64_t openTime = 0;  // seconds since 1970, the history's time
  double openPrice = 0;
  std::int64_t closeTime = 0;
  double closePrice = 0;
  double stopLoss = 0;    // as it stood at the close; 0: none
  double takeProfit = 0;  // likewise
  double profit = 0;      // quote currency, not rounded
  CloseReason reason = CloseReason::Signal;
  std::size_t openBar = 0;  // bar index in the history, for charts
  std::size_t closeBar = 0;
};

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
