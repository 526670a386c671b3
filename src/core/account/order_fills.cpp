// Where orders are filled and positions closed, what holding them costs (commission, swap),
// the stop out, and the list of closed trades.
#include <algorithm>
#include <cmath>
#include <limits>

#include "account/simulated_account.hpp"

namespace zorvik {

SimulatedAccount::SimulatedAccount(const SymbolProperties& symbol, double deposit, const AccountTerms& terms)
    : symbol_(symbol),
      terms_(terms),
      scale_(pointsPerUnit(symbol.digits)),
      spread_(symbol.spreadPoints),
      balance_(deposit),
      charges_(terms.commissionPerLot != 0 || terms.swapLongPoints != 0 || terms.swapShortPoints != 0),
      swapping_(terms.swapLongPoints != 0 || terms.swapShortPoints != 0) {}

std::size_t SimulatedAccount::fill(TradeType type, double lots) {
  const std::int64_t points = type == TradeType::Buy ? ask_ : bid_;
  const double price = fillPrice(points);
  const double margin = ((lots * symbol_.contractSize) * price) / terms_.leverage;
  // A charge, so negative; none is a plain 0 rather than -0 in the reports.
  const double commission = terms_.commissionPerLot == 0 ? 0.0 : -(terms_.commissionPerLot * lots);
  open_.push_back(Position{nextTicket_++, type, lots, points, price, 0, 0, time_, bar_, margin, commission, 0});
  marginChanged();
  return open_.size() - 1;
}

void SimulatedAccount::marginChanged() {
  double sum = 0;
  for (const Position& p : open_) sum += p.margin;
  margin_ = sum;
  // Margin level = equity / margin x 100 <= level holds only for an equity up to about
  // margin x level / 100; a millionth more keeps every rounding of the exact test inside.
  stopOutBound_ = sum * (terms_.stopOutPercent / 100) * (1 + 1e-6) + 1e-9;
  safeRangeChanged();
}

void SimulatedAccount::safeRangeChanged() {
  constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
  if (open_.empty() && swapNights_ == 0) {
    safeLowBid_ = std::numeric_limits<std::int64_t>::min();
    safeHighBid_ = kNever;
    return;
  }
  // Equity = a + b x Bid in points (a sell closes at Bid plus the spread).
  double a = balance_;
  double b = 0;
  for (const Position& p : open_) {
    const double units = p.lots * symbol_.contractSize;
    a += p.commission + p.swap;
    if (p.type == TradeType::Buy) {
      a -= units * p.openPrice;
      b += units / scale_;
    } else {
      a += units * (p.openPrice - static_cast<double>(spread_) / scale_);
      b -= units / scale_;
    }
  }
  // The line is only near the exact sum: a millionth of its size and two points spare it.
  const double bound = stopOutBound_ + 1e-6 * (std::fabs(a) + std::fabs(stopOutBound_)) + 1e-6;
  auto clamp = [](double v) { return std::max(-9e15, std::min(9e15, v)); };
  safeLowBid_ = std::numeric_limits<std::int64_t>::min();
  safeHighBid_ = kNever;
  if (swapNights_ != 0) {
    safeLowBid_ = kNever;  // a swap is due: no tick is spared until it is charged
  } else if (b > 0) {
    safeLowBid_ = static_cast<std::int64_t>(std::ceil(clamp((bound - a) / b))) + 2;
  } else if (b < 0) {
    safeHighBid_ = static_cast<std::int64_t>(std::floor(clamp((bound - a) / b))) - 2;
  } else if (!(a > bound)) {
    safeLowBid_ = kNever;  // hedged: the equity does not move with the price; test every tick
    safeHighBid_ = std::numeric_limits<std::int64_t>::min();
  }
}

void SimulatedAccount::newDate(std::int64_t time) {
  std::int64_t day = time / 86400;
  if (time % 86400 < 0) --day;
  dayStart_ = day * 86400;
  dayEnd_ = dayStart_ + 86400;
  // Any jump of dates is one rollover; the test's first bar has none before it.
  if (dated_) {
    // 1970-01-01 was a Thursday: the rollover into a Thursday carries the weekend.
    const bool thursday = (day % 7 + 7) % 7 == 0;
    swapNights_ = thursday ? 3 : 1;
    safeRangeChanged();  // closes the range: the next settleTick charges
  }
  dated_ = true;
}

void SimulatedAccount::settleMoney(bool firstOfBar) {
  if (swapNights_ != 0) {
    // Only positions still open after the stops of the new date's first tick are charged.
    if (firstOfBar) {
      const double point = 1.0 / scale_;
      for (Position& p : open_) {
        const double swap = p.type == TradeType::Buy ? terms_.swapLongPoints : terms_.swapShortPoints;
        p.swap += (((swapNights_ * swap) * point) * symbol_.contractSize) * p.lots;
      }
    }
    swapSettled();
  }
  stopOut();
}

bool SimulatedAccount::belowStopOutLevel() const {
  const double level = terms_.stopOutPercent;
  if (level == 0) return equity() <= 0;
  if (level == 100) return equity() - margin_ <= 0;
  return (equity() / margin_) * 100 <= level;
}

void SimulatedAccount::stopOut() {
  while (!open_.empty() && belowStopOutLevel()) {
    std::size_t worst = 0;
    double lowest = result(open_[0]);
    for (std::size_t i = 1; i < open_.size(); ++i) {
      const double r = result(open_[i]);
      // Positions are in ticket order: on a tie the earlier one stays the choice.
      if (r < lowest) {
        lowest = r;
        worst = i;
      }
    }
    close(worst, CloseReason::StopOut);
  }
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
  t.commission = p.commission;
  t.swap = p.swap;
  t.reason = reason;
  t.openBar = p.openBar;
  t.closeBar = bar_;
  balance_ += t.result();
  marginChanged();
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
