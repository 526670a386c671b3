#pragma once
// A position once it has closed, as the backtest report and the parity tests compare them:
// which side, how much, where it opened and closed and why.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvik {

enum class TradeType { Buy, Sell };
enum class CloseReason { Signal, StopLoss, TakeProfit, Hedge, EndOfTest, StopOut };

// "buy" / "sell"; "signal", "sl", "tp", "hedge", "end", "stopout".
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
  double profit = 0;      // of the price move, quote currency, not rounded
  double commission = 0;  // charged at the open: 0 or negative
  double swap = 0;        // summed over the nights held; positive is a credit
  CloseReason reason = CloseReason::Signal;
  std::size_t openBar = 0;  // bar index in the history, for charts
  std::size_t closeBar = 0;

  // What the trade brought the account; every statistic counts this, not the price profit.
  double result() const { return (profit + commission) + swap; }
};

}  // namespace zorvik
