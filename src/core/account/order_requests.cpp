// The requests an EA sends the broker (OrderSend, OrderModify, OrderClose): prices as doubles,
// checked in the terminal's order, each refusal answered with the terminal's error code.
#include <cmath>

#include "account/simulated_account.hpp"

namespace zorvik {

bool SimulatedAccount::isCurrentPrice(double requested, std::int64_t marketPoints) const {
  return std::isfinite(requested) && std::fabs(requested * scale_ - static_cast<double>(marketPoints)) <= 0.5;
}

bool SimulatedAccount::stopInPoints(double price, std::int64_t& points) const {
  if (!std::isfinite(price)) return false;
  if (price == 0) {
    points = 0;
    return true;
  }
  const double scaled = price * scale_;
  if (!(std::fabs(scaled) < 9e15)) return false;
  const double whole = std::round(scaled);
  if (std::fabs(scaled - whole) > 1e-6) return false;
  points = static_cast<std::int64_t>(whole);
  return true;
}

OrderError SimulatedAccount::sendOrder(TradeType type, double lots, double requestedPrice, double stopLoss,
                                       double takeProfit) {
  if (!std::isfinite(lots) || !volumeAccepted(lots)) return OrderError::InvalidVolume;
  if (!marginAccepted(type, lots)) return OrderError::NotEnoughMoney;
  if (!isCurrentPrice(requestedPrice, type == TradeType::Buy ? ask_ : bid_)) return OrderError::InvalidPrice;
  std::int64_t sl = 0;
  std::int64_t tp = 0;
  if (!stopInPoints(stopLoss, sl) || !stopInPoints(takeProfit, tp) || !stopsAccepted(type, sl, tp))
    return OrderError::InvalidStops;
  Position& p = open_[fill(type, lots)];
  p.stopLoss = sl;
  p.takeProfit = tp;
  return OrderError::None;
}

OrderError SimulatedAccount::modifyOrder(int ticket, double stopLoss, double takeProfit) {
  const std::ptrdiff_t i = indexOf(ticket);
  if (i < 0) return OrderError::UnknownTicket;
  const Position& p = open_[static_cast<std::size_t>(i)];
  std::int64_t sl = 0;
  std::int64_t tp = 0;
  if (!stopInPoints(stopLoss, sl) || !stopInPoints(takeProfit, tp)) return OrderError::InvalidStops;
  if (sl == p.stopLoss && tp == p.takeProfit) return OrderError::NoChange;
  return modify(static_cast<std::size_t>(i), sl, tp) ? OrderError::None : OrderError::InvalidStops;
}

OrderError SimulatedAccount::closeOrder(int ticket, double lots, double requestedPrice) {
  const std::ptrdiff_t i = indexOf(ticket);
  if (i < 0) return OrderError::UnknownTicket;
  const Position& p = open_[static_cast<std::size_t>(i)];
  // Closing part of a position is not simulated: only the whole of it closes.
  if (!std::isfinite(lots) || std::fabs(lots - p.lots) > 1e-6 * symbol_.lotStep) return OrderError::InvalidVolume;
  if (!isCurrentPrice(requestedPrice, p.type == TradeType::Buy ? bid_ : ask_)) return OrderError::InvalidPrice;
  close(static_cast<std::size_t>(i), CloseReason::Signal);
  return OrderError::None;
}

}  // namespace zorvik
