#include "backtest/expert_run.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "market/bar_series.hpp"

namespace zorvik {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kOrderTries = 10;  // the EA's laufMax

std::int64_t dayOf(std::int64_t time) {
  std::int64_t d = time / kSecondsPerDay;
  if (time % kSecondsPerDay < 0) --d;
  return d;
}

// The curves of a long test are tens of megabytes written once from front to back. Asking for
// large pages where the system hands them out on request spares the kernel a fault for every
// 4 KiB; it is only advice, and nothing changes where it is not taken.
template <class T>
void preferLargePages(const std::vector<T>& v) {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(v.data());
  const std::uintptr_t end = begin + v.capacity() * sizeof(T);
  const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t last = end & ~(kLarge - 1);
  if (v.data() && first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)v;
#endif
}

double powerOfTen(int digits) {
  double scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  return scale;
}

// Prices are kept as whole points inside the loop: every price of the history, every stop the
// EA computes (NormalizeDouble of a price plus whole points) and every fill is a multiple of
// the point, so comparing points is exact where comparing doubles could tip on the last bit.
struct Position {
  int ticket;
  TradeType type;
  double lots;
  std::int64_t openPoints;
  double openPrice;
  std::int64_t stopLoss;    // points; 0: none
  std::int64_t takeProfit;  // points; 0: none
  std::int64_t openTime;
  std::size_t openBar;
};

class Run {
 public:
  explicit Run(const ExpertRunInput& in)
      : in_(in),
        bars_(*in.history),
        rules_(in.rules),
        sym_(in.symbol),
        scale_(powerOfTen(in.symbol.digits)),
        spread_(in.symbol.spreadPoints),
        balance_(in.deposit),
        peak_(in.deposit) {
    raiseToStopLevel(rules_, sym_.stopLevelPoints);
  }

  BacktestResult run();

 private:
  double price(std::int64_t points) const { return static_cast<double>(points) / scale_; }
  std::int64_t points(double price) const { return static_cast<std::int64_t>(price * scale_ + 0.5); }

  void tick(std::size_t bar, int k, std::int64_t bidPoints, double bidPrice);
  // Ask as a price: Bid plus the spread, rounded to the digits; divided out only when needed.
  double askPrice() {
    if (!askKnown_) {
      askPrice_ = price(ask_);
      askKnown_ = true;
    }
    return askPrice_;
  }
  double fillPrice(std::int64_t points) {
    if (points == bid_) return bidPrice_;
    if (points == ask_) return askPrice();
    return price(points);
  }
  void checkStops(bool gap);
  void setMissingStops();
  void trail();
  void checkSignals(std::uint8_t checks);
  void enter(TradeType type);
  void closeAll(TradeType type, CloseReason reason);
  void close(std::size_t index, std::int64_t fillPoints, CloseReason reason, bool atStop = false);
  bool stopsAccepted(TradeType type, std::int64_t stopLoss, std::int64_t takeProfit) const;
  bool modify(Position& p, std::int64_t stopLoss, std::int64_t takeProfit);
  double openProfit();
  double equity() { return balance_ + openProfit(); }
  bool holds(TradeType type) const;
  double lotsOf(TradeType type) const;
  void noteEquity();
  void startDay(std::int64_t time);

  const ExpertRunInput& in_;
  const BarSeries& bars_;
  TradeRules rules_;
  SymbolProperties sym_;
  double scale_;
  std::int64_t spread_;
  double balance_;
  double peak_;
  double maxDrawdown_ = 0;
  double maxDrawdownPercent_ = 0;

  std::vector<Position> open_;
  std::vector<Trade> closed_;
  int nextTicket_ = 1;

  // The EA's globals.
  int merkVol_ = 0;
  int tradesToday_ = 0;  // istTrades; dayTrades stays 0, no orders are older than the run
  std::int64_t tradeDay_ = 0;
  // The seconds [dayStart_, dayEnd_) of tradeDay_: most bars fall in the day of the bar
  // before, and a comparison is cheaper than the division that names the day.
  std::int64_t dayStart_ = 0;
  std::int64_t dayEnd_ = 0;

  // The tick being worked.
  std::size_t bar_ = 0;
  std::int64_t time_ = 0;
  std::int64_t bid_ = 0;
  std::int64_t ask_ = 0;
  double bidPrice_ = 0;  // the tick's price as the history holds it
  double askPrice_ = 0;
  bool askKnown_ = false;
  double noted_ = 0;  // the equity noteEquity saw last
};

void Run::startDay(std::int64_t time) {
  tradeDay_ = dayOf(time);
  dayStart_ = tradeDay_ * kSecondsPerDay;
  dayEnd_ = dayStart_ + kSecondsPerDay;
}

double Run::openProfit() {
  double sum = 0;
  for (const Position& p : open_) {
    if (p.type == TradeType::Buy)
      sum += (bidPrice_ - p.openPrice) * p.lots * sym_.contractSize;
    else
      sum += (p.openPrice - askPrice()) * p.lots * sym_.contractSize;
  }
  return sum;
}

bool Run::holds(TradeType type) const {
  for (const Position& p : open_)
    if (p.type == type) return true;
  return false;
}

double Run::lotsOf(TradeType type) const {
  double lots = 0;
  for (auto it = open_.rbegin(); it != open_.rend(); ++it)
    if (it->type == type) lots += it->lots;
  return lots;
}

void Run::noteEquity() {
  const double e = open_.empty() ? balance_ : equity();
  noted_ = e;
  if (e > peak_) {
    peak_ = e;
  } else if (peak_ - e > maxDrawdown_) {
    maxDrawdown_ = peak_ - e;
    maxDrawdownPercent_ = maxDrawdown_ / peak_ * 100;
  }
}

void Run::close(std::size_t index, std::int64_t fillPoints, CloseReason reason, bool atStop) {
  const Position p = open_[index];
  open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
  Trade t;
  t.ticket = p.ticket;
  t.type = p.type;
  t.lots = p.lots;
  t.openTime = p.openTime;
  t.openPrice = p.openPrice;
  t.closeTime = time_;
  // A stop fills at its own price even when the tick's stored price has the same points:
  // that stored double may differ from the stop's in the last bits.
  t.closePrice = atStop ? price(fillPoints) : fillPrice(fillPoints);
  t.stopLoss = p.stopLoss ? price(p.stopLoss) : 0;
  t.takeProfit = p.takeProfit ? price(p.takeProfit) : 0;
  const double move = p.type == TradeType::Buy ? t.closePrice - t.openPrice : t.openPrice - t.closePrice;
  t.profit = move * t.lots * sym_.contractSize;
  t.reason = reason;
  t.openBar = p.openBar;
  t.closeBar = bar_;
  balance_ += t.profit;
  closed_.push_back(t);
}

// The broker's side, before the EA sees the tick. A stop that the open of a bar jumped over
// fills at that open, not at the stop: the price never traded at the stop.
void Run::checkStops(bool gap) {
  for (std::size_t i = 0; i < open_.size();) {
    const Position& p = open_[i];
    if (p.type == TradeType::Buy) {
      if (p.stopLoss && bid_ <= p.stopLoss) {
        close(i, gap ? bid_ : p.stopLoss, CloseReason::StopLoss, !gap);
        continue;
      }
      if (p.takeProfit && bid_ >= p.takeProfit) {
        close(i, gap ? bid_ : p.takeProfit, CloseReason::TakeProfit, !gap);
        continue;
      }
    } else {
      if (p.stopLoss && ask_ >= p.stopLoss) {
        close(i, gap ? ask_ : p.stopLoss, CloseReason::StopLoss, !gap);
        continue;
      }
      if (p.takeProfit && ask_ <= p.takeProfit) {
        close(i, gap ? ask_ : p.takeProfit, CloseReason::TakeProfit, !gap);
        continue;
      }
    }
    ++i;
  }
}

// A stop must lie on the far side of the price it closes at, at least the stop level away;
// a stop at or below zero is no price at all.
bool Run::stopsAccepted(TradeType type, std::int64_t stopLoss, std::int64_t takeProfit) const {
  const std::int64_t level = sym_.stopLevelPoints;
  if (type == TradeType::Buy) {
    if (stopLoss != 0 && (stopLoss < 0 || bid_ - stopLoss < level)) return false;
    if (takeProfit != 0 && (takeProfit < 0 || takeProfit - bid_ < level)) return false;
  } else {
    if (stopLoss != 0 && (stopLoss < 0 || stopLoss - ask_ < level)) return false;
    if (takeProfit != 0 && (takeProfit < 0 || ask_ - takeProfit < level)) return false;
  }
  return true;
}

bool Run::modify(Position& p, std::int64_t stopLoss, std::int64_t takeProfit) {
  if (!stopsAccepted(p.type, stopLoss, takeProfit)) return false;  // error 130
  p.stopLoss = stopLoss;
  p.takeProfit = takeProfit;
  return true;
}

// set_missing_stops(): from the open price, not from the price the first attempt used.
void Run::setMissingStops() {
  for (std::size_t i = open_.size(); i-- > 0;) {
    Position& p = open_[i];
    std::int64_t sl = p.stopLoss;
    std::int64_t tp = p.takeProfit;
    if (p.type == TradeType::Buy) {
      if (sl == 0 && rules_.stoplossLong > 0) sl = p.openPoints - rules_.stoplossLong;
      if (tp == 0 && rules_.takeprofitLong > 0) tp = p.openPoints + rules_.takeprofitLong;
    } else {
      if (sl == 0 && rules_.stoplossShort > 0) sl = p.openPoints + rules_.stoplossShort;
      if (tp == 0 && rules_.takeprofitShort > 0) tp = p.openPoints - rules_.takeprofitShort;
    }
    if (sl == p.stopLoss && tp == p.takeProfit) continue;
    modify(p, sl, tp);
  }
}

// trail_sl(): a long stop follows Bid up, a short stop follows Ask down; a position without a
// stop gets one at the first tick.
void Run::trail() {
  for (std::size_t i = open_.size(); i-- > 0;) {
    Position& p = open_[i];
    if (rules_.trailingLong > 0 && p.type == TradeType::Buy) {
      const std::int64_t newStop = bid_ - rules_.trailingLong;
      if (newStop > p.stopLoss) modify(p, newStop, p.takeProfit);
    } else if (rules_.trailingShort > 0 && p.type == TradeType::Sell) {
      const std::int64_t newStop = ask_ + rules_.trailingShort;
      if (p.stopLoss == 0 || newStop < p.stopLoss) modify(p, newStop, p.takeProfit);
    }
  }
}

void Run::closeAll(TradeType type, CloseReason reason) {
  for (std::size_t i = open_.size(); i-- > 0;)
    if (open_[i].type == type) close(i, type == TradeType::Buy ? bid_ : ask_, reason);
}

void Run::enter(TradeType type) {
  const bool isLong = type == TradeType::Buy;
  if (!(lotsOf(type) < rules_.maxLots || rules_.maxLots == 0)) return;
  if (!rules_.hedging && holds(isLong ? TradeType::Sell : TradeType::Buy)) return;

  double lots = 0;  // an unknown money management never sets it: every order is refused
  bool lotTest = false;
  switch (rules_.lotMethod) {
    case LotMethod::FixedLots:
      lots = rules_.lots;
      break;
    case LotMethod::FixedFractional:
      lots = normalizeLots(rules_.lots * std::floor(equity() / rules_.fraction), sym_);
      lotTest = true;
      break;
    case LotMethod::FixedRatio: {
      const double e = equity();
      if (e < rules_.base)
        lots = 0.0;
      else
        lots = normalizeLots(rules_.lots * std::floor(std::sqrt(2.0 * (e - rules_.base) / rules_.delta + 0.25) + 0.5),
                             sym_);
      lotTest = true;
      break;
    }
    case LotMethod::None:
      break;
  }
  // mmMaxLots is the most a side may hold: a larger order is cut to the room left (plus the
  // EA's 0.0000001, so that 1 - 0.8 does not lose a lot step to the floor).
  if (rules_.lotMethod != LotMethod::None && rules_.maxLots != 0 && lots > rules_.maxLots - lotsOf(type))
    lots = normalizeLots(rules_.maxLots - lotsOf(type) + 0.0000001, sym_);
  if (lotTest && !(lots >= rules_.lots)) return;

  // The EA tries ten times; nothing changes between the tries here, so one refusal is all ten.
  if (!lotsAccepted(lots, sym_)) return;  // error 131
  std::int64_t stopLoss = 0;
  std::int64_t takeProfit = 0;
  if (isLong) {
    if (rules_.stoplossLong > 0) stopLoss = bid_ - rules_.stoplossLong;
    if (rules_.takeprofitLong > 0) takeProfit = bid_ + rules_.takeprofitLong;
  } else {
    if (rules_.stoplossShort > 0) stopLoss = ask_ + rules_.stoplossShort;
    if (rules_.takeprofitShort > 0) takeProfit = ask_ - rules_.takeprofitShort;
  }
  const std::int64_t fill = isLong ? ask_ : bid_;
  Position p{nextTicket_++, type, lots, fill, fillPrice(fill), 0, 0, time_, bar_};
  ++tradesToday_;
  // Sent without stops, then modified; a refused modification leaves the position without
  // them until setMissingStops gets them accepted.
  if (stopLoss != 0 || takeProfit != 0) modify(p, stopLoss, takeProfit);
  open_.push_back(p);
}

void Run::checkSignals(std::uint8_t checks) {
  bool exitLong = checks & kExitLongFires;
  bool exitShort = checks & kExitShortFires;
  CloseReason longReason = CloseReason::Signal;
  CloseReason shortReason = CloseReason::Signal;
  if (!exitLong && !rules_.hedging && holds(TradeType::Buy) && (checks & kEntryShortFires)) {
    exitLong = true;
    longReason = CloseReason::Hedge;
  }
  if (!exitShort && !rules_.hedging && holds(TradeType::Sell) && (checks & kEntryLongFires)) {
    exitShort = true;
    shortReason = CloseReason::Hedge;
  }
  if (exitLong) closeAll(TradeType::Buy, longReason);
  if (exitShort) closeAll(TradeType::Sell, shortReason);
  if (rules_.maxTrades != 0 && tradesToday_ >= rules_.maxTrades) return;
  if (checks & kEntryLongFires) enter(TradeType::Buy);
  if (checks & kEntryShortFires) enter(TradeType::Sell);
}

void Run::tick(std::size_t bar, int k, std::int64_t bidPoints, double bidPrice) {
  bid_ = bidPoints;
  ask_ = bidPoints + spread_;
  bidPrice_ = bidPrice;
  askKnown_ = false;
  if (!open_.empty()) checkStops(k == 1);

  // start()
  if (k == 1 && (time_ < dayStart_ || time_ >= dayEnd_)) {
    const std::int64_t day = dayOf(time_);
    if (day != tradeDay_) tradesToday_ = 0;
    startDay(time_);
  }
  if (!open_.empty()) {
    setMissingStops();
    if (rules_.trailingLong > 0 || rules_.trailingShort > 0) trail();
  }
  // Volume[0] of tick k is k: it falls below the remembered volume only at a new bar's first
  // tick, and never at the very first tick (merkVol starts at 0).
  // A bar where no group fires has nothing to close or open.
  if (k < merkVol_) {
    if (const std::uint8_t checks = (*in_.checks)[bar]) checkSignals(checks);
  }
  merkVol_ = k;
  noteEquity();
}

BacktestResult Run::run() {
  BacktestResult result;
  result.deposit = in_.deposit;
  result.digits = sym_.digits;
  result.firstBar = in_.firstBar;
  const std::size_t count = in_.endBar > in_.firstBar ? in_.endBar - in_.firstBar : 0;
  result.barTime.reserve(count);
  result.equity.reserve(count);
  result.balance.reserve(count);
  preferLargePages(result.barTime);
  preferLargePages(result.equity);
  preferLargePages(result.balance);

  constexpr std::size_t kReportEvery = 1 << 16;
  if (count > 0) startDay(bars_.time[in_.firstBar]);  // init(): showHistory
  for (std::size_t b = in_.firstBar; b < in_.endBar; ++b) {
    if ((b - in_.firstBar) % kReportEvery == 0 && b != in_.firstBar) {
      if (in_.cancel && in_.cancel->load(std::memory_order_relaxed)) {
        result.cancelled = true;
        break;
      }
      if (in_.progress) in_.progress(static_cast<double>(b - in_.firstBar) / static_cast<double>(count));
    }
    bar_ = b;
    time_ = bars_.time[b];
    const std::int64_t openPts = points(bars_.open[b]);
    const std::int64_t highPts = points(bars_.high[b]);
    const std::int64_t lowPts = points(bars_.low[b]);
    const std::int64_t closePts = points(bars_.close[b]);
    const bool lowFirst = bars_.close[b] >= bars_.open[b];
    tick(b, 1, openPts, bars_.open[b]);
    if (open_.empty()) {
      // Nothing is open and no signal is due before the next bar: the other three ticks
      // change nothing but the volume the EA remembers.
      merkVol_ = 4;
      bid_ = closePts;
      ask_ = closePts + spread_;
      bidPrice_ = bars_.close[b];
      askKnown_ = false;
    } else {
      tick(b, 2, lowFirst ? lowPts : highPts, lowFirst ? bars_.low[b] : bars_.high[b]);
      tick(b, 3, lowFirst ? highPts : lowPts, lowFirst ? bars_.high[b] : bars_.low[b]);
      tick(b, 4, closePts, bars_.close[b]);
    }
    // The equity the bar's last tick noted, unless the end of the test closes what is open.
    double barEquity = open_.empty() ? balance_ : noted_;
    if (b + 1 == in_.endBar && !open_.empty()) {
      while (!open_.empty())
        close(0, open_.front().type == TradeType::Buy ? bid_ : ask_, CloseReason::EndOfTest);
      barEquity = balance_;
    }
    result.barTime.push_back(time_);
    result.equity.push_back(barEquity);
    result.balance.push_back(balance_);
  }
  if (in_.progress && !result.cancelled) in_.progress(1.0);

  // Closed mostly in the order they were opened; sorted only where they were not.
  const auto byTicket = [](const Trade& a, const Trade& b) { return a.ticket < b.ticket; };
  if (!std::is_sorted(closed_.begin(), closed_.end(), byTicket)) std::sort(closed_.begin(), closed_.end(), byTicket);
  result.trades = std::move(closed_);
  fillTradeStatistics(result.trades, result.statistics);
  result.statistics.maxDrawdown = maxDrawdown_;
  result.statistics.maxDrawdownPercent = maxDrawdownPercent_;
  if (maxDrawdown_ > 0) result.statistics.recoveryFactor = result.statistics.netProfit / maxDrawdown_;
  return result;
}

}  // namespace

double normalizePrice(double value, int digits) {
  const double scale = powerOfTen(digits);
  return std::round(value * scale) / scale;
}

double normalizeLots(double lots, const SymbolProperties& symbol) {
  if (lots > symbol.maximumLot) return symbol.maximumLot;
  if (lots < symbol.minimumLot) return symbol.minimumLot;
  return std::floor(lots / symbol.lotStep) * symbol.lotStep;
}

bool lotsAccepted(double lots, const SymbolProperties& symbol) {
  const double tolerance = 1e-6 * symbol.lotStep;
  if (!(lots >= symbol.minimumLot - tolerance) || lots > symbol.maximumLot + tolerance) return false;
  const double steps = lots / symbol.lotStep;
  return std::fabs(steps - std::round(steps)) <= 1e-6;
}

BacktestResult runExpert(const ExpertRunInput& input) { return Run(input).run(); }

}  // namespace zorvik
