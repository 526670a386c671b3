// Where orders are filled and positions closed, and the list of closed trades.
#include <algorithm>

#include "account/simulated_account.hpp"

namespace zorvik {

std::size_t SimulatedAccount::fill(TradeType type, double lots) {
  const std::int64_t points = type == TradeType::Buy ? ask_ : bid_;
  open_.push_back(Position{nextTicket_++, type, lots, points, fillPrice(points), 0, 0, time_, bar_});
  return open_.size() - 1;
}

void SimulatedAccount::closeAt(std::size_t index, std::int64_t fillPoints, CloseReason reason, bool atStop) {
  const Position p = open_[index];
  open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
  Trade t;
  t.ticket = p.ticket;
  t.type = p.type;
  t.lots = p.lots;
  t.openTime = p.openTime;
  t.openPrice = p.openPrice;
  t.closeTime = time_;
  t.closePrice = atStop ? priceOf(fillPoints) : fillPrice(fillPoints);
  t.stopLoss = p.stopLoss ? priceOf(p.stopLoss) : 0;
  t.takeProfit = p.takeProfit ? priceOf(p.takeProfit) : 0;
  const double move = p.type == TradeType::Buy ? t.closePrice - t.openPrice : t.openPrice - t.closePrice;
  t.profit = move * t.lots * symbol_.contractSize;
  t.reason = reason;
  t.openBar = p.openBar;
  t.closeBar = bar_;
  balance_ += t.profit;
  closed_.push_back(t);
}

namespace {
bool byTicket(const Trade& a, const Trade& b) { return a.ticket < b.ticket; }
}  // namespace

std::vector<Trade> SimulatedAccount::tradesByTicket() const {
  std::vector<Trade> trades = closed_;
  std::sort(trades.begin(), trades.end(), byTicket);
  return trades;
}

std::vector<Trade> SimulatedAccount::takeTradesByTicket() {
  // Closed mostly in the order they were opened; sorted only where they were not.
  if (!std::is_sorted(closed_.begin(), closed_.end(), byTicket)) std::sort(closed_.begin(), closed_.end(), byTicket);
  return std::move(closed_);
}

}  // namespace zorvik
