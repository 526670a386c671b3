#pragma once
// The one simulated account both the backtest engine and the MQL4 interpreter's terminal trade
// on: market orders filled at the tick's prices, stops watched at every tick, tickets, balance,
// equity and the list of closed trades. Whoever drives it sets the tick; the account never
// looks at the history itself.
//
// Prices are kept as whole points: every price of the history, every stop an EA computes
// (NormalizeDouble of a price plus whole points) and every fill is a multiple of the point, so
// comparing points is exact where comparing doubles could tip on the last bit.
//
// The members run at every tick of a backtest (the prices, equity, the stop checks, modify)
// are defined here so that the engine's loop keeps them inline; fills, closes and the requests
// as an EA words them are in order_fills.cpp and order_requests.cpp.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "account/account_terms.hpp"
#include "account/symbol_properties.hpp"
#include "account/trade.hpp"

namespace zorvik {

struct Position {
  int ticket;
  TradeType type;
  double lots;
  std::int64_t openPoints;
  double openPrice;         // the fill as a price: for a fill at Bid the history's own double
  std::int64_t stopLoss;    // points; 0: none
  std::int64_t takeProfit;  // points; 0: none
  std::int64_t openTime;
  std::size_t openBar;
  double margin;      // fixed at the open: lots x contract size x open price / leverage
  double commission;  // charged at the open: 0 or negative
  double swap;        // summed over the nights held; positive is a credit
};

// The broker's answer to a request. The numbers are the terminal's error codes, as an EA reads
// them from GetLastError.
enum class OrderError : int {
  None = 0,
  NoChange = 1,         // a modification that changes nothing
  InvalidPrice = 129,   // not the current price: there are no requotes
  InvalidStops = 130,
  InvalidVolume = 131,
  NotEnoughMoney = 134,  // the order's margin exceeds the free margin
  UnknownTicket = 4108,
};

class SimulatedAccount {
 public:
  SimulatedAccount(const SymbolProperties& symbol, double deposit, const AccountTerms& terms = {});

  const SymbolProperties& symbol() const { return symbol_; }
  const AccountTerms& terms() const { return terms_; }
  double point() const { return 1.0 / scale_; }
  double priceOf(std::int64_t points) const { return static_cast<double>(points) / scale_; }
  std::int64_t pointsOf(double price) const { return static_cast<std::int64_t>(price * scale_ + 0.5); }

  // --- the tick
  // The bar the coming ticks belong to, and its time: what a fill or a close records.
  // A bar on a later date than the bar before makes its first tick charge the swap.
  void setBar(std::size_t bar, std::int64_t time) {
    bar_ = bar;
    time_ = time;
    if (swapNights_ != 0) swapSettled();  // due at one tick only, charged or not
    if (swapping_ && (time < dayStart_ || time >= dayEnd_)) newDate(time);
  }
  // bidPrice is the history's stored price of the tick, bidPoints the same in whole points.
  void setBid(std::int64_t bidPoints, double bidPrice) {
    bid_ = bidPoints;
    ask_ = bidPoints + spread_;
    bidPrice_ = bidPrice;
    askKnown_ = false;
  }
  std::int64_t bidPoints() const { return bid_; }
  std::int64_t askPoints() const { return ask_; }
  double bidPrice() const { return bidPrice_; }
  // Bid plus the spread, rounded to the digits; divided out only when asked for.
  double askPrice() const {
    if (!askKnown_) {
      askPrice_ = priceOf(ask_);
      askKnown_ = true;
    }
    return askPrice_;
  }

  // --- money
  double balance() const { return balance_; }
  // What a position would bring if it closed at this tick's prices.
  double floatingProfit(TradeType type, double openPrice, double lots) const {
    if (type == TradeType::Buy) return (bidPrice_ - openPrice) * lots * symbol_.contractSize;
    return (openPrice - askPrice()) * lots * symbol_.contractSize;
  }
  // What the position brings with its commission and swap: (profit + commission) + swap.
  double result(const Position& p) const {
    return (floatingProfit(p.type, p.openPrice, p.lots) + p.commission) + p.swap;
  }
  // The open positions' price profits, without commission and swap (AccountProfit).
  double openProfit() const {
    double sum = 0;
    for (const Position& p : open_) sum += floatingProfit(p.type, p.openPrice, p.lots);
    return sum;
  }
  // Balance plus the open positions' results in ticket order.
  double equity() const {
    if (open_.empty()) return balance_;
    if (!charges_) return balance_ + openProfit();  // commission and swap are 0: results are profits
    double sum = 0;
    for (const Position& p : open_) sum += result(p);
    return balance_ + sum;
  }
  // The open positions' margins summed in ticket order (AccountMargin).
  double margin() const { return margin_; }
  double freeMargin() const { return equity() - margin_; }
  // The margin an order of these lots would take at this tick's fill price.
  double marginFor(TradeType type, double lots) const {
    return ((lots * symbol_.contractSize) * fillPrice(type == TradeType::Buy ? ask_ : bid_)) / terms_.leverage;
  }
  // Error 134 unless the order's margin fits in the free margin; equal fits. The order's own
  // commission is not counted.
  bool marginAccepted(TradeType type, double lots) const { return !(marginFor(type, lots) > freeMargin()); }

  // --- positions
  // Open positions in the order they were opened; closes move the later ones down.
  const std::vector<Position>& positions() const { return open_; }
  bool hasPositions() const { return !open_.empty(); }
  bool holds(TradeType type) const {
    for (const Position& p : open_)
      if (p.type == type) return true;
    return false;
  }
  double lotsOf(TradeType type) const {
    double lots = 0;
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
      if (it->type == type) lots += it->lots;
    return lots;
  }
  // The index of the open position with this ticket; -1 when none is open.
  std::ptrdiff_t indexOf(int ticket) const {
    for (std::size_t i = 0; i < open_.size(); ++i)
      if (open_[i].ticket == ticket) return static_cast<std::ptrdiff_t>(i);
    return -1;
  }

  // --- orders in points, as the backtest engine gives them
  bool volumeAccepted(double lots) const { return lotsAccepted(lots, symbol_); }
  // A stop must lie on the far side of the price it closes at, at least the stop level away;
  // a stop at or below zero is no price at all.
  bool stopsAccepted(TradeType type, std::int64_t stopLoss, std::int64_t takeProfit) const {
    const std::int64_t level = symbol_.stopLevelPoints;
    if (type == TradeType::Buy) {
      if (stopLoss != 0 && (stopLoss < 0 || bid_ - stopLoss < level)) return false;
      if (takeProfit != 0 && (takeProfit < 0 || takeProfit - bid_ < level)) return false;
    } else {
      if (stopLoss != 0 && (stopLoss < 0 || stopLoss - ask_ < level)) return false;
      if (takeProfit != 0 && (takeProfit < 0 || ask_ - takeProfit < level)) return false;
    }
    return true;
  }
  // The stops of the open position at index; refused (error 130) when they are not accepted,
  // and the position keeps its old ones.
  bool modify(std::size_t index, std::int64_t stopLoss, std::int64_t takeProfit) {
    Position& p = open_[index];
    if (!stopsAccepted(p.type, stopLoss, takeProfit)) return false;
    p.stopLoss = stopLoss;
    p.takeProfit = takeProfit;
    return true;
  }
  // A market order without stops, filled at once: a buy at Ask, a sell at Bid. The lots must
  // have passed volumeAccepted. Returns the index of the new position, the last one.
  std::size_t fill(TradeType type, double lots);
  // Closes an open position at the market: a buy at Bid, a sell at Ask.
  void close(std::size_t index, CloseReason reason) {
    closeAt(index, open_[index].type == TradeType::Buy ? bid_ : ask_, reason, false);
  }
  // Closes every open position at the market, the first opened first.
  void closeAll(CloseReason reason) {
    while (!open_.empty()) close(0, reason);
  }

  // The broker's whole side of a tick, before the EA sees it (firstOfBar: the bar's open):
  // the stops, then the swap at a new date, then the stop out.
  void settleTick(bool firstOfBar) {
    checkStops(firstOfBar);
    // Inside the range of Bid where the equity is surely above the stop-out level the exact
    // test is not needed, and a swap due closes the range: the common tick costs two
    // comparisons, not a sum over the positions.
    if (bid_ < safeLowBid_ || bid_ > safeHighBid_) settleMoney(firstOfBar);
  }

  // The broker's side of a tick, before the EA sees it: closes what the stops hit. At the open
  // of a bar (gap) a stop the price jumped over fills at that open, not at the stop: the price
  // never traded at the stop. The stop loss wins over the take profit when both are hit.
  void checkStops(bool gap) {
    for (std::size_t i = 0; i < open_.size();) {
      const Position& p = open_[i];
      if (p.type == TradeType::Buy) {
        if (p.stopLoss && bid_ <= p.stopLoss) {
          closeAt(i, gap ? bid_ : p.stopLoss, CloseReason::StopLoss, !gap);
          continue;
        }
        if (p.takeProfit && bid_ >= p.takeProfit) {
          closeAt(i, gap ? bid_ : p.takeProfit, CloseReason::TakeProfit, !gap);
          continue;
        }
      } else {
        if (p.stopLoss && ask_ >= p.stopLoss) {
          closeAt(i, gap ? ask_ : p.stopLoss, CloseReason::StopLoss, !gap);
          continue;
        }
        if (p.takeProfit && ask_ <= p.takeProfit) {
          closeAt(i, gap ? ask_ : p.takeProfit, CloseReason::TakeProfit, !gap);
          continue;
        }
      }
      ++i;
    }
  }

  // --- orders as an EA words them: prices as doubles, refusals as the terminal's codes
  // OrderSend of a market order with its stops; the new position is the last one.
  OrderError sendOrder(TradeType type, double lots, double requestedPrice, double stopLoss, double takeProfit);
  // OrderModify of an open position's stops.
  OrderError modifyOrder(int ticket, double stopLoss, double takeProfit);
  // OrderClose of a whole open position at the market, CloseReason::Signal.
  OrderError closeOrder(int ticket, double lots, double requestedPrice);

  // --- the trade list
  // Closed trades in the order they closed.
  const std::vector<Trade>& trades() const { return closed_; }
  std::vector<Trade> tradesByTicket() const;
  // The same, handing the list over: the account has no trades afterwards.
  std::vector<Trade> takeTradesByTicket();

 private:
  void newDate(std::int64_t time);
  // The swap and the stop out of settleTick, when the safe range does not spare them.
  void settleMoney(bool firstOfBar);
  void swapSettled() {
    swapNights_ = 0;
    safeRangeChanged();
  }
  // Closes the position with the lowest result (ties: the lowest ticket) at the market while
  // the margin level is at or below the stop-out level.
  void stopOut();
  bool belowStopOutLevel() const;
  // After every fill and close: the margin summed anew in ticket order, so that it never
  // drifts from the sum by what adding and taking away would leave behind.
  void marginChanged();
  // After every change of the positions or their swap: the range of Bid (points) in which the
  // stop out surely cannot happen.
  void safeRangeChanged();

  // A market fill at Bid is the tick's stored price; at Ask, Bid plus the spread in points.
  double fillPrice(std::int64_t points) const {
    if (points == bid_) return bidPrice_;
    if (points == ask_) return askPrice();
    return priceOf(points);
  }
  // A stop fills at its own price (atStop) even when the tick's stored price has the same
  // points: that stored double may differ from the stop's in the last bits.
  void closeAt(std::size_t index, std::int64_t fillPoints, CloseReason reason, bool atStop);
  // The market price a request names must be the current one, within half a point.
  bool isCurrentPrice(double requested, std::int64_t marketPoints) const;
  // A price an EA passes as a stop in whole points; false for one that is not a multiple of
  // the point, as the terminal refuses it. 0 is none.
  bool stopInPoints(double price, std::int64_t& points) const;

  SymbolProperties symbol_;
  AccountTerms terms_;
  double scale_;
  std::int64_t spread_;
  double balance_;
  bool charges_;  // commission or a swap is set: results differ from profits
  bool swapping_;  // a swap is set
  double margin_ = 0;
  double stopOutBound_ = 0;  // equity above which the stop out cannot be reached
  std::int64_t safeLowBid_ = 0;   // [safeLowBid_, safeHighBid_]: no stop out at these Bids
  std::int64_t safeHighBid_ = 0;
  // The date of the bar being worked as [dayStart_, dayEnd_) seconds; the first bar only sets it.
  std::int64_t dayStart_ = 0;
  std::int64_t dayEnd_ = 0;
  bool dated_ = false;
  int swapNights_ = 0;  // charged at this bar's first tick
  std::vector<Position> open_;
  std::vector<Trade> closed_;
  int nextTicket_ = 1;

  std::size_t bar_ = 0;
  std::int64_t time_ = 0;
  std::int64_t bid_ = 0;
  std::int64_t ask_ = 0;
  double bidPrice_ = 0;
  mutable double askPrice_ = 0;
  mutable bool askKnown_ = false;
};

}  // namespace zorvik
