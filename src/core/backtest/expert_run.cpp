#include "backtest/expert_run.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "account/simulated_account.hpp"
#include "market/bar_series.hpp"

namespace zorvik {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kOrderTries = 10;  // the Expert Advisor tries an order this often

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

class Run {
 public:
  explicit Run(const ExpertRunInput& in)
      : in_(in), bars_(*in.history), rules_(in.rules), account_(in.symbol, in.deposit, in.account), peak_(in.deposit) {
    raiseToStopLevel(rules_, in.symbol.stopLevelPoints);
  }

  BacktestResult run();

 private:
  void tick(std::size_t bar, int k, std::int64_t bidPoints, double bidPrice);
  void setMissingStops();
  void trail();
  void checkSignals(std::uint8_t checks);
  void enter(TradeType type);
  void closeAll(TradeType type, CloseReason reason);
  // At every tick: kept inline, a call here costs the loop more than the work.
  void noteEquity() {
    const double e = account_.equity();
    noted_ = e;
    if (e > peak_) {
      peak_ = e;
    } else if (peak_ - e > maxDrawdown_) {
      maxDrawdown_ = peak_ - e;
      maxDrawdownPercent_ = maxDrawdown_ / peak_ * 100;
    }
  }
  void startDay(std::int64_t time);

  const ExpertRunInput& in_;
  const BarSeries& bars_;
  TradeRules rules_;
  SimulatedAccount account_;
  double peak_;
  double maxDrawdown_ = 0;
  double maxDrawdownPercent_ = 0;
  int refusedForMoney_ = 0;  // entries refused with error 134

  // The EA's globals.
  int merkVol_ = 0;
  int tradesToday_ = 0;  // istTrades; dayTrades stays 0, no orders are older than the run
  std::int64_t tradeDay_ = 0;
  // The seconds [dayStart_, dayEnd_) of tradeDay_: most bars fall in the day of the bar
  // before, and a comparison is cheaper than the division that names the day.
  std::int64_t dayStart_ = 0;
  std::int64_t dayEnd_ = 0;

  std::int64_t time_ = 0;  // of the bar being worked
  double noted_ = 0;  // the equity noteEquity saw last
};

void Run::startDay(std::int64_t time) {
  tradeDay_ = dayOf(time);
  dayStart_ = tradeDay_ * kSecondsPerDay;
  dayEnd_ = dayStart_ + kSecondsPerDay;
}

// Stops the broker refused when the position opened are asked for again at the first tick of
// each later bar, measured from the open price, not from the price the first attempt used. A
// missing stop the market has already passed is never set: the EA closes the position at the
// tick's price under that stop's name, and the trade keeps the stops the broker had.
void Run::setMissingStops() {
  const std::vector<Position>& open = account_.positions();
  for (std::size_t i = open.size(); i-- > 0;) {
    const Position& p = open[i];
    std::int64_t sl = p.stopLoss;
    std::int64_t tp = p.takeProfit;
    bool slPassed = false;
    bool tpPassed = false;
    if (p.type == TradeType::Buy) {
      if (sl == 0 && rules_.stoplossLong > 0) sl = p.openPoints - rules_.stoplossLong;
      if (tp == 0 && rules_.takeprofitLong > 0) tp = p.openPoints + rules_.takeprofitLong;
      slPassed = sl != p.stopLoss && account_.bidPoints() <= sl;
      tpPassed = tp != p.takeProfit && account_.bidPoints() >= tp;
    } else {
      if (sl == 0 && rules_.stoplossShort > 0) sl = p.openPoints + rules_.stoplossShort;
      if (tp == 0 && rules_.takeprofitShort > 0) tp = p.openPoints - rules_.takeprofitShort;
      slPassed = sl != p.stopLoss && account_.askPoints() >= sl;
      tpPassed = tp != p.takeProfit && account_.askPoints() <= tp;
    }
    if (slPassed || tpPassed) {
      account_.close(i, slPassed ? CloseReason::StopLoss : CloseReason::TakeProfit);
      continue;
    }
    if (sl == p.stopLoss && tp == p.takeProfit) continue;
    account_.modify(i, sl, tp);
  }
}

// trail_sl(): a long stop follows Bid up, a short stop follows Ask down; a position without a
// stop gets one at the first tick.
void Run::trail() {
  const std::vector<Position>& open = account_.positions();
  for (std::size_t i = open.size(); i-- > 0;) {
    const Position& p = open[i];
    if (rules_.trailingLong > 0 && p.type == TradeType::Buy) {
      const std::int64_t newStop = account_.bidPoints() - rules_.trailingLong;
      if (newStop > p.stopLoss) account_.modify(i, newStop, p.takeProfit);
    } else if (rules_.trailingShort > 0 && p.type == TradeType::Sell) {
      const std::int64_t newStop = account_.askPoints() + rules_.trailingShort;
      if (p.stopLoss == 0 || newStop < p.stopLoss) account_.modify(i, newStop, p.takeProfit);
    }
  }
}

void Run::closeAll(TradeType type, CloseReason reason) {
  const std::vector<Position>& open = account_.positions();
  for (std::size_t i = open.size(); i-- > 0;)
    if (open[i].type == type) account_.close(i, reason);
}

void Run::enter(TradeType type) {
  const bool isLong = type == TradeType::Buy;
  if (!(account_.lotsOf(type) < rules_.maxLots || rules_.maxLots == 0)) return;
  if (!rules_.hedging && account_.holds(isLong ? TradeType::Sell : TradeType::Buy)) return;

  double lots = 0;  // an unknown money management never sets it: every order is refused
  bool lotTest = false;
  switch (rules_.lotMethod) {
    case LotMethod::FixedLots:
      lots = rules_.lots;
      break;
    case LotMethod::FixedFractional:
      lots = normalizeLots(rules_.lots * std::floor(account_.equity() / rules_.fraction), account_.symbol());
      lotTest = true;
      break;
    case LotMethod::FixedRatio: {
      const double e = account_.equity();
      if (e < rules_.base)
        lots = 0.0;
      else
        lots = normalizeLots(rules_.lots * std::floor(std::sqrt(2.0 * (e - rules_.base) / rules_.delta + 0.25) + 0.5),
                             account_.symbol());
      lotTest = true;
      break;
    }
    case LotMethod::None:
      break;
  }
  // The maximum lots are the most a side may hold: a larger order is cut to the room left (plus the
  // EA's 0.0000001, so that 1 - 0.8 does not lose a lot step to the floor). A room below the
  // smallest lot sends no order at all: the smallest lot would already pass the limit.
  if (rules_.lotMethod != LotMethod::None && rules_.maxLots != 0 && lots > rules_.maxLots - account_.lotsOf(type)) {
    const double room = rules_.maxLots - account_.lotsOf(type) + 0.0000001;
    if (room < account_.symbol().minimumLot) return;
    lots = normalizeLots(room, account_.symbol());
  }
  if (lotTest && !(lots >= rules_.lots)) return;

  // The EA tries ten times; nothing changes between the tries here, so one refusal is all ten.
  if (!account_.volumeAccepted(lots)) return;  // error 131
  if (!account_.marginAccepted(type, lots)) {  // error 134: no ticket, nothing counted for the day
    ++refusedForMoney_;
    return;
  }
  std::int64_t stopLoss = 0;
  std::int64_t takeProfit = 0;
  if (isLong) {
    if (rules_.stoplossLong > 0) stopLoss = account_.bidPoints() - rules_.stoplossLong;
    if (rules_.takeprofitLong > 0) takeProfit = account_.bidPoints() + rules_.takeprofitLong;
  } else {
    if (rules_.stoplossShort > 0) stopLoss = account_.askPoints() + rules_.stoplossShort;
    if (rules_.takeprofitShort > 0) takeProfit = account_.askPoints() - rules_.takeprofitShort;
  }
  const std::size_t index = account_.fill(type, lots);
  ++tradesToday_;
  // Sent without stops, then modified; a refused modification leaves the position without
  // them until setMissingStops gets them accepted at a later bar.
  if (stopLoss != 0 || takeProfit != 0) account_.modify(index, stopLoss, takeProfit);
}

void Run::checkSignals(std::uint8_t checks) {
  bool exitLong = checks & kExitLongFires;
  bool exitShort = checks & kExitShortFires;
  CloseReason longReason = CloseReason::Signal;
  CloseReason shortReason = CloseReason::Signal;
  if (!exitLong && !rules_.hedging && account_.holds(TradeType::Buy) && (checks & kEntryShortFires)) {
    exitLong = true;
    longReason = CloseReason::Hedge;
  }
  if (!exitShort && !rules_.hedging && account_.holds(TradeType::Sell) && (checks & kEntryLongFires)) {
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
  account_.setBid(bidPoints, bidPrice);
  if (account_.hasPositions()) account_.settleTick(k == 1);

  // The Expert Advisor's own work at each tick. At a new day it recounts its orders opened
  // that day; at the day's first tick, before its entries, a backtest has none yet.
  if (k == 1 && (time_ < dayStart_ || time_ >= dayEnd_)) {
    const std::int64_t day = dayOf(time_);
    if (day != tradeDay_) tradesToday_ = 0;
    startDay(time_);
  }
  if (account_.hasPositions() && (rules_.trailingLong > 0 || rules_.trailingShort > 0)) trail();
  // Volume[0] of tick k is k: it falls below the remembered volume only at a new bar's first
  // tick, and never at the very first tick (merkVol starts at 0).
  // A bar where no group fires has nothing to close or open.
  if (k < merkVol_) {
    if (account_.hasPositions()) setMissingStops();
    if (const std::uint8_t checks = (*in_.checks)[bar]) checkSignals(checks);
  }
  merkVol_ = k;
  noteEquity();
}

BacktestResult Run::run() {
  BacktestResult result;
  result.deposit = in_.deposit;
  result.digits = in_.symbol.digits;
  result.firstBar = in_.firstBar;
  const std::size_t count = in_.endBar > in_.firstBar ? in_.endBar - in_.firstBar : 0;
  result.barTime.reserve(count);
  result.equity.reserve(count);
  result.balance.reserve(count);
  preferLargePages(result.barTime);
  preferLargePages(result.equity);
  preferLargePages(result.balance);

  constexpr std::size_t kReportEvery = 1 << 16;
  if (count > 0) startDay(bars_.time[in_.firstBar]);  // at the start: count today's trades
  for (std::size_t b = in_.firstBar; b < in_.endBar; ++b) {
    if ((b - in_.firstBar) % kReportEvery == 0 && b != in_.firstBar) {
      if (in_.cancel && in_.cancel->load(std::memory_order_relaxed)) {
        result.cancelled = true;
        break;
      }
      if (in_.progress) in_.progress(static_cast<double>(b - in_.firstBar) / static_cast<double>(count));
    }
    time_ = bars_.time[b];
    account_.setBar(b, time_);
    const std::int64_t openPts = account_.pointsOf(bars_.open[b]);
    const std::int64_t highPts = account_.pointsOf(bars_.high[b]);
    const std::int64_t lowPts = account_.pointsOf(bars_.low[b]);
    const std::int64_t closePts = account_.pointsOf(bars_.close[b]);
    const bool lowFirst = bars_.close[b] >= bars_.open[b];
    tick(b, 1, openPts, bars_.open[b]);
    if (!account_.hasPositions()) {
      // Nothing is open and no signal is due before the next bar: the other three ticks
      // change nothing but the volume the EA remembers.
      merkVol_ = 4;
      account_.setBid(closePts, bars_.close[b]);
    } else {
      tick(b, 2, lowFirst ? lowPts : highPts, lowFirst ? bars_.low[b] : bars_.high[b]);
      tick(b, 3, lowFirst ? highPts : lowPts, lowFirst ? bars_.high[b] : bars_.low[b]);
      tick(b, 4, closePts, bars_.close[b]);
    }
    // The equity the bar's last tick noted, unless the end of the test closes what is open.
    double barEquity = account_.hasPositions() ? noted_ : account_.balance();
    if (b + 1 == in_.endBar && account_.hasPositions()) {
      account_.closeAll(CloseReason::EndOfTest);
      barEquity = account_.balance();
    }
    result.barTime.push_back(time_);
    result.equity.push_back(barEquity);
    result.balance.push_back(account_.balance());
  }
  if (in_.progress && !result.cancelled) in_.progress(1.0);

  result.trades = account_.takeTradesByTicket();
  fillTradeStatistics(result.trades, result.statistics);
  result.statistics.maxDrawdown = maxDrawdown_;
  result.statistics.maxDrawdownPercent = maxDrawdownPercent_;
  result.statistics.refusedForMoney = refusedForMoney_;
  if (maxDrawdown_ > 0) result.statistics.recoveryFactor = result.statistics.netProfit / maxDrawdown_;
  return result;
}

}  // namespace

double normalizeLots(double lots, const SymbolProperties& symbol) {
  if (lots > symbol.maximumLot) return symbol.maximumLot;
  if (lots < symbol.minimumLot) return symbol.minimumLot;
  return std::floor(lots / symbol.lotStep) * symbol.lotStep;
}

BacktestResult runExpert(const ExpertRunInput& input) { return Run(input).run(); }

}  // namespace zorvik
