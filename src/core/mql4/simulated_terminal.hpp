#pragma once
// The terminal an interpreted Expert Advisor trades on: one symbol's history played as four
// ticks per bar, the chart's series, MarketInfo, the order pools as MQL4 selects from them and
// GetLastError. The broker behind it is the simulated account the backtest engine trades on
// too, so that the trades of both can be compared one by one.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "account/simulated_account.hpp"
#include "market/bar_series.hpp"

namespace zorvik::mql4 {

// The terminal's error codes the interpreter sets (GetLastError).
enum TerminalError : int {
  kErrNone = 0,
  kErrNoResult = static_cast<int>(OrderError::NoChange),
  kErrInvalidTradeParameters = 3,
  kErrInvalidPrice = static_cast<int>(OrderError::InvalidPrice),
  kErrInvalidStops = static_cast<int>(OrderError::InvalidStops),
  kErrInvalidTradeVolume = static_cast<int>(OrderError::InvalidVolume),
  kErrNotEnoughMoney = static_cast<int>(OrderError::NotEnoughMoney),
  kErrInvalidFunctionParameter = 4051,
  kErrUnknownSymbol = 4106,
  kErrInvalidTicket = static_cast<int>(OrderError::UnknownTicket),
  kErrNoOrderSelected = 4105,
  kErrHistoryWillUpdated = 4066,
};

class SimulatedTerminal {
 public:
  // The history must outlive the terminal. Bars [firstBar, endBar) are played.
  SimulatedTerminal(const BarSeries& history, std::size_t firstBar, std::size_t endBar, const SymbolProperties& symbol,
                    double deposit, const AccountTerms& terms = {});
  ~SimulatedTerminal();
  SimulatedTerminal(const SimulatedTerminal&) = delete;
  SimulatedTerminal& operator=(const SimulatedTerminal&) = delete;

  // --- the tick loop
  // Makes tick k (1..4) of `bar` the current one and lets the broker do its part: the stops,
  // the swap at a new date, the stop out.
  // bidPrice is the history's stored price of the tick, bidPoints the same in whole points.
  void beginTick(std::size_t bar, int k, std::int64_t bidPoints, double bidPrice);
  // After the last tick: what is still open closes at the last prices, "end of test".
  void closeAtEnd();
  std::int64_t pointsOf(double price) const { return account_.pointsOf(price); }

  // --- market
  const std::string& symbol() const { return history_.symbol; }
  bool isOurSymbol(std::string_view name) const;  // also "" and NULL: the chart's
  int period() const { return history_.timeframeMinutes; }
  int digits() const { return account_.symbol().digits; }
  double point() const { return account_.point(); }
  double bid() const { return account_.bidPrice(); }
  double ask() const { return account_.askPrice(); }
  std::int64_t time() const { return history_.time[bar_]; }
  int bars() const { return static_cast<int>(bar_) + 1; }
  // MarketInfo(symbol, mode); 0 with the error set for an unknown symbol or mode.
  double marketInfo(std::string_view symbolName, int mode);

  // --- series of the chart's timeframe (minutes 0) or another one built from it. Shift 0 is
  // the bar being formed as it stands at this tick. Undefined (NaN) before the history.
  // field: 0 open, 1 low, 2 high, 3 close, 4 volume, 5 time (MODE_OPEN .. MODE_TIME).
  double seriesValue(int minutes, int field, long long shift);
  int seriesBars(int minutes);
  // iHighest/iLowest: the shift of the extreme among count bars from start; -1 when the bars
  // reach before the history.
  int extremeShift(int minutes, int field, int count, int start, bool highest);
  // The timeframe's bars and the index of the bar at shift 0, plus that bar as formed so far;
  // throws std::runtime_error for a timeframe that cannot be built from the history's.
  struct Frame {
    const BarSeries* bars = nullptr;
    std::size_t current = 0;  // index of the forming bar in *bars
    Bar forming;
  };
  const Frame& frame(int minutes);

  // --- account
  double balance() const { return account_.balance(); }
  double equity() const { return account_.equity(); }
  double openProfit() const { return account_.openProfit(); }
  double margin() const { return account_.margin(); }
  double freeMargin() const { return account_.freeMargin(); }
  const AccountTerms& terms() const { return account_.terms(); }

  // --- orders
  int orderSend(std::string_view symbolName, int cmd, double lots, double price, double stopLoss, double takeProfit,
                std::string_view comment, int magic);
  bool orderModify(int ticket, double stopLoss, double takeProfit);
  bool orderClose(int ticket, double lots, double price);
  bool orderSelect(long long index, int select, int pool);
  int ordersTotal() const { return static_cast<int>(account_.positions().size()); }
  int ordersHistoryTotal() const { return static_cast<int>(account_.trades().size()); }

  // The selected order's fields (OrderTicket() ...); 0 / "" when none is selected.
  struct Order {
    int ticket = 0;
    int type = 0;  // OP_BUY / OP_SELL
    double lots = 0;
    std::int64_t openPoints = 0;
    double openPrice = 0;
    std::int64_t stopLoss = 0;    // points; 0: none
    std::int64_t takeProfit = 0;  // points; 0: none
    std::int64_t openTime = 0;
    std::size_t openBar = 0;
    int magic = 0;
    std::string comment;
    // Once closed
    double closePrice = 0;
    std::int64_t closeTime = 0;
    double profit = 0;
    double commission = 0;  // open or closed
    double swap = 0;
  };
  // A view made anew at each call from the account: valid until the next call.
  const Order* selected() const;
  double priceOfPoints(std::int64_t points) const { return points ? account_.priceOf(points) : 0; }
  double profitNow(const Order& o) const;

  // OrderSend calls refused with error 134: an EA retrying counts each try.
  int refusedForMoney() const { return refusedForMoney_; }

  int lastError() const { return lastError_; }
  int takeLastError() {
    const int e = lastError_;
    lastError_ = 0;
    return e;
  }
  void setLastError(int e) { lastError_ = e; }

  // The trades closed so far, by ticket once the run has ended.
  std::vector<Trade> trades() const { return account_.tradesByTicket(); }

 private:
  // What the EA wrote on an order besides the broker's fields.
  struct OrderLabel {
    int magic = 0;
    std::string comment;
  };
  const OrderLabel& labelOf(int ticket) const;
  // The selected order's view, filled in from an open position or a closed trade.
  const Order* view(const Position& p) const;
  const Order* view(const Trade& t) const;

  const BarSeries& history_;
  SimulatedAccount account_;
  std::size_t bar_ = 0;
  int tickOfBar_ = 1;
  double formingHighPrice_ = 0;
  double formingLowPrice_ = 0;
  std::int64_t formingHigh_ = 0;
  std::int64_t formingLow_ = 0;
  int lastError_ = 0;
  int refusedForMoney_ = 0;

  std::vector<OrderLabel> labels_;  // by ticket - 1: the account numbers its orders from 1
  // The selection: a ticket, looked up again at every access, as the terminal's copy would go
  // stale when the position closes.
  int selectedTicket_ = 0;
  bool selectedFromHistory_ = false;
  std::size_t selectedIndex_ = 0;
  mutable Order selectedView_;

  struct FrameCache {
    std::unique_ptr<BarSeries> own;  // built from the history; null for the chart's own
    Frame frame;
    std::size_t builtForBar = static_cast<std::size_t>(-1);
    int builtForTick = 0;
  };
  std::map<int, FrameCache> frames_;
  FrameCache* lastFrame_ = nullptr;
  int lastFrameMinutes_ = -1;
};

}  // namespace zorvik::mql4
