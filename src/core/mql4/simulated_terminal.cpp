#include "mql4/simulated_terminal.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "backtest/expert_run.hpp"
#include "market/timeframes.hpp"
#include "text/strings.hpp"

namespace zorvik::mql4 {
namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();
constexpr int kOpBuy = 0;
constexpr int kOpSell = 1;

double powerOfTen(int digits) {
  double scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  return scale;
}

}  // namespace

SimulatedTerminal::SimulatedTerminal(const BarSeries& history, std::size_t firstBar, std::size_t endBar,
                                     const SymbolProperties& symbol, double deposit)
    : history_(history), symbol_(symbol), scale_(powerOfTen(symbol.digits)), balance_(deposit) {
  (void)endBar;
  bar_ = firstBar < history.size() ? firstBar : 0;
  if (!history.empty()) {
    bid_ = pointsOf(history.open[bar_]);
    ask_ = bid_ + symbol_.spreadPoints;
    formingHigh_ = formingLow_ = bid_;
    bidPrice_ = formingHighPrice_ = formingLowPrice_ = history.open[bar_];
  }
}

SimulatedTerminal::~SimulatedTerminal() = default;

bool SimulatedTerminal::isOurSymbol(std::string_view name) const {
  return name.empty() || iequals(name, history_.symbol);
}

void SimulatedTerminal::beginTick(std::size_t bar, int k, std::int64_t bidPoints, double bidPrice) {
  bar_ = bar;
  tickOfBar_ = k;
  bid_ = bidPoints;
  ask_ = bidPoints + symbol_.spreadPoints;
  bidPrice_ = bidPrice;
  if (k == 1) {
    formingHigh_ = formingLow_ = bidPoints;
    formingHighPrice_ = formingLowPrice_ = bidPrice;
  } else {
    if (bidPoints > formingHigh_) formingHighPrice_ = bidPrice;
    if (bidPoints < formingLow_) formingLowPrice_ = bidPrice;
    formingHigh_ = std::max(formingHigh_, bidPoints);
    formingLow_ = std::min(formingLow_, bidPoints);
  }
  // The broker's side, before the EA sees the tick. A stop that the open of a bar jumped over
  // fills at that open: the price never traded at the stop. The stop loss wins over the take
  // profit when both are hit.
  const bool gap = k == 1;
  for (std::size_t i = 0; i < open_.size();) {
    const Order& p = open_[i];
    if (p.type == kOpBuy) {
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

void SimulatedTerminal::closeAtEnd() {
  while (!open_.empty()) close(0, open_.front().type == kOpBuy ? bid_ : ask_, CloseReason::EndOfTest);
}

void SimulatedTerminal::close(std::size_t index, std::int64_t fillPoints, CloseReason reason, bool atStop) {
  Order p = open_[index];
  open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
  Trade t;
  t.ticket = p.ticket;
  t.type = p.type == kOpBuy ? TradeType::Buy : TradeType::Sell;
  t.lots = p.lots;
  t.openTime = p.openTime;
  t.openPrice = p.openPrice;
  t.closeTime = time();
  t.closePrice = atStop ? price(fillPoints) : fillPrice(fillPoints);
  t.stopLoss = priceOfPoints(p.stopLoss);
  t.takeProfit = priceOfPoints(p.takeProfit);
  const double move = p.type == kOpBuy ? t.closePrice - t.openPrice : t.openPrice - t.closePrice;
  t.profit = move * t.lots * symbol_.contractSize;
  t.reason = reason;
  t.openBar = p.openBar;
  t.closeBar = bar_;
  balance_ += t.profit;
  trades_.push_back(t);
  p.closePrice = t.closePrice;
  p.closeTime = t.closeTime;
  p.profit = t.profit;
  closed_.push_back(std::move(p));
}

std::vector<Trade> SimulatedTerminal::trades() const {
  std::vector<Trade> t = trades_;
  std::sort(t.begin(), t.end(), [](const Trade& a, const Trade& b) { return a.ticket < b.ticket; });
  return t;
}

double SimulatedTerminal::profitNow(const Order& o) const {
  if (o.type == kOpBuy) return (bidPrice_ - o.openPrice) * o.lots * symbol_.contractSize;
  return (o.openPrice - price(ask_)) * o.lots * symbol_.contractSize;
}

double SimulatedTerminal::openProfit() const {
  double sum = 0;
  for (const Order& o : open_) sum += profitNow(o);
  return sum;
}

double SimulatedTerminal::equity() const { return open_.empty() ? balance_ : balance_ + openProfit(); }

double SimulatedTerminal::marketInfo(std::string_view symbolName, int mode) {
  if (!isOurSymbol(symbolName)) {
    lastError_ = kErrUnknownSymbol;
    return 0;
  }
  switch (mode) {
    case 1: return formingLowPrice_;   // MODE_LOW: of the day in the terminal; the bar here
    case 2: return formingHighPrice_;  // MODE_HIGH
    case 5: return static_cast<double>(time());
    case 9: return bid();
    case 10: return ask();
    case 11: return point();
    case 12: return symbol_.digits;
    case 13: return symbol_.spreadPoints;
    case 14: return symbol_.stopLevelPoints;
    case 15: return symbol_.contractSize;
    case 16: return symbol_.contractSize * point();  // quote currency per point and lot
    case 17: return point();
    case 18:
    case 19: return 0;  // no swap
    case 22: return 1;  // trade allowed
    case 23: return symbol_.minimumLot;
    case 24: return symbol_.lotStep;
    case 25: return symbol_.maximumLot;
    case 33: return 0;  // freeze level
    default: lastError_ = kErrInvalidFunctionParameter; return 0;
  }
}

const SimulatedTerminal::Frame& SimulatedTerminal::frame(int minutes) {
  if (minutes == 0) minutes = history_.timeframeMinutes;
  FrameCache* cache;
  if (minutes == lastFrameMinutes_) {
    cache = lastFrame_;
  } else {
    auto it = frames_.find(minutes);
    if (it == frames_.end()) {
      FrameCache c;
      if (minutes != history_.timeframeMinutes) {
        TimeframeBuild built = buildTimeframe(history_, minutes);
        if (!built.ok()) throw std::runtime_error(built.error);
        c.own = std::make_unique<BarSeries>(std::move(built.series));
        c.frame.bars = c.own.get();
      } else {
        c.frame.bars = &history_;
      }
      it = frames_.emplace(minutes, std::move(c)).first;
    }
    cache = &it->second;
    lastFrame_ = cache;
    lastFrameMinutes_ = minutes;
  }
  if (cache->builtForBar == bar_ && cache->builtForTick == tickOfBar_) return cache->frame;
  Frame& f = cache->frame;
  const double bidPrice = bidPrice_;
  if (!cache->own) {
    f.current = bar_;
    f.forming = {history_.time[bar_], history_.open[bar_], formingHighPrice_, formingLowPrice_, bidPrice,
                 static_cast<double>(tickOfBar_)};
  } else {
    const BarSeries& s = *cache->own;
    if (cache->builtForBar != bar_) {
      const std::int64_t start = timeframeBucketStart(history_.time[bar_], minutes);
      f.current = static_cast<std::size_t>(std::lower_bound(s.time.begin(), s.time.end(), start) - s.time.begin());
    }
    // The higher bar as it stands: its finished chart bars plus the chart's forming one.
    const std::int64_t start = s.time[f.current];
    Bar b{start, history_.open[bar_], formingHighPrice_, formingLowPrice_, bidPrice, static_cast<double>(tickOfBar_)};
    for (std::size_t i = bar_; i-- > 0 && history_.time[i] >= start;) {
      b.open = history_.open[i];
      b.high = std::max(b.high, history_.high[i]);
      b.low = std::min(b.low, history_.low[i]);
      b.volume += history_.volume[i];
    }
    f.forming = b;
  }
  cache->builtForBar = bar_;
  cache->builtForTick = tickOfBar_;
  return f;
}

double SimulatedTerminal::seriesValue(int minutes, int field, long long shift) {
  const Frame& f = frame(minutes);
  if (shift < 0 || static_cast<unsigned long long>(shift) > f.current) return kUndefined;
  if (shift == 0) {
    const Bar& b = f.forming;
    switch (field) {
      case 0: return b.open;
      case 1: return b.low;
      case 2: return b.high;
      case 3: return b.close;
      case 4: return b.volume;
      default: return static_cast<double>(b.time);
    }
  }
  const std::size_t i = f.current - static_cast<std::size_t>(shift);
  const BarSeries& s = *f.bars;
  switch (field) {
    case 0: return s.open[i];
    case 1: return s.low[i];
    case 2: return s.high[i];
    case 3: return s.close[i];
    case 4: return s.volume[i];
    default: return static_cast<double>(s.time[i]);
  }
}

int SimulatedTerminal::seriesBars(int minutes) { return static_cast<int>(frame(minutes).current) + 1; }

int SimulatedTerminal::extremeShift(int minutes, int field, int count, int start, bool highest) {
  const Frame& f = frame(minutes);
  if (start < 0) start = 0;
  if (count <= 0) count = static_cast<int>(f.current) + 1 - start;  // WHOLE_ARRAY: to the oldest bar
  if (count <= 0 || static_cast<std::size_t>(start) + static_cast<std::size_t>(count) - 1 > f.current) return -1;
  int best = start;
  double bestValue = seriesValue(minutes, field, start);
  for (int s = start + 1; s < start + count; ++s) {
    const double v = seriesValue(minutes, field, s);
    if (highest ? v > bestValue : v < bestValue) {
      best = s;
      bestValue = v;
    }
  }
  return best;
}

bool SimulatedTerminal::stopsAccepted(int type, std::int64_t stopLoss, std::int64_t takeProfit) const {
  const std::int64_t level = symbol_.stopLevelPoints;
  if (type == kOpBuy) {
    if (stopLoss != 0 && (stopLoss < 0 || bid_ - stopLoss < level)) return false;
    if (takeProfit != 0 && (takeProfit < 0 || takeProfit - bid_ < level)) return false;
  } else {
    if (stopLoss != 0 && (stopLoss < 0 || stopLoss - ask_ < level)) return false;
    if (takeProfit != 0 && (takeProfit < 0 || ask_ - takeProfit < level)) return false;
  }
  return true;
}

namespace {
// A price the EA passes as a stop: whole points, or refused as the terminal refuses a price
// that is not a multiple of the tick size. 0 is none.
bool stopPoints(double price, double scale, std::int64_t& out) {
  if (!std::isfinite(price)) return false;
  if (price == 0) {
    out = 0;
    return true;
  }
  const double scaled = price * scale;
  if (!(std::fabs(scaled) < 9e15)) return false;
  const double whole = std::round(scaled);
  if (std::fabs(scaled - whole) > 1e-6) return false;
  out = static_cast<std::int64_t>(whole);
  return true;
}
}  // namespace

int SimulatedTerminal::orderSend(std::string_view symbolName, int cmd, double lots, double requested, double stopLoss,
                                 double takeProfit, std::string_view comment, int magic) {
  if (!isOurSymbol(symbolName)) {
    lastError_ = kErrUnknownSymbol;
    return -1;
  }
  if (cmd != kOpBuy && cmd != kOpSell) {  // pending orders are not simulated
    lastError_ = kErrInvalidTradeParameters;
    return -1;
  }
  if (!std::isfinite(lots) || !lotsAccepted(lots, symbol_)) {
    lastError_ = kErrInvalidTradeVolume;
    return -1;
  }
  const std::int64_t fill = cmd == kOpBuy ? ask_ : bid_;
  // No requotes: the price asked for must be the current one (within half a point).
  if (!std::isfinite(requested) || std::fabs(requested * scale_ - static_cast<double>(fill)) > 0.5) {
    lastError_ = kErrInvalidPrice;
    return -1;
  }
  std::int64_t sl = 0;
  std::int64_t tp = 0;
  if (!stopPoints(stopLoss, scale_, sl) || !stopPoints(takeProfit, scale_, tp) || !stopsAccepted(cmd, sl, tp)) {
    lastError_ = kErrInvalidStops;
    return -1;
  }
  Order o;
  o.ticket = nextTicket_++;
  o.type = cmd;
  o.lots = lots;
  o.openPoints = fill;
  o.openPrice = fillPrice(fill);
  o.stopLoss = sl;
  o.takeProfit = tp;
  o.openTime = time();
  o.openBar = bar_;
  o.magic = magic;
  o.comment = std::string(comment);
  open_.push_back(std::move(o));
  return open_.back().ticket;
}

SimulatedTerminal::Order* SimulatedTerminal::findOpen(int ticket) {
  for (Order& o : open_)
    if (o.ticket == ticket) return &o;
  return nullptr;
}

bool SimulatedTerminal::orderModify(int ticket, double stopLoss, double takeProfit) {
  Order* o = findOpen(ticket);
  if (!o) {
    lastError_ = kErrInvalidTicket;
    return false;
  }
  std::int64_t sl = 0;
  std::int64_t tp = 0;
  if (!stopPoints(stopLoss, scale_, sl) || !stopPoints(takeProfit, scale_, tp)) {
    lastError_ = kErrInvalidStops;
    return false;
  }
  if (sl == o->stopLoss && tp == o->takeProfit) {
    lastError_ = kErrNoResult;
    return false;
  }
  if (!stopsAccepted(o->type, sl, tp)) {
    lastError_ = kErrInvalidStops;
    return false;
  }
  o->stopLoss = sl;
  o->takeProfit = tp;
  return true;
}

bool SimulatedTerminal::orderClose(int ticket, double lots, double requested) {
  for (std::size_t i = 0; i < open_.size(); ++i) {
    if (open_[i].ticket != ticket) continue;
    // Closing part of a position is not simulated: only the whole of it closes.
    if (!std::isfinite(lots) || std::fabs(lots - open_[i].lots) > 1e-6 * symbol_.lotStep) {
      lastError_ = kErrInvalidTradeVolume;
      return false;
    }
    const std::int64_t fill = open_[i].type == kOpBuy ? bid_ : ask_;
    if (!std::isfinite(requested) || std::fabs(requested * scale_ - static_cast<double>(fill)) > 0.5) {
      lastError_ = kErrInvalidPrice;
      return false;
    }
    close(i, fill, CloseReason::Signal);
    return true;
  }
  lastError_ = kErrInvalidTicket;
  return false;
}

bool SimulatedTerminal::orderSelect(long long index, int select, int pool) {
  if (select == 1) {  // SELECT_BY_TICKET: open or closed, whatever the pool
    for (std::size_t i = 0; i < open_.size(); ++i)
      if (open_[i].ticket == index) {
        selectedTicket_ = open_[i].ticket;
        selectedIndex_ = i;
        selectedFromHistory_ = false;
        return true;
      }
    for (std::size_t i = 0; i < closed_.size(); ++i)
      if (closed_[i].ticket == index) {
        selectedTicket_ = closed_[i].ticket;
        selectedIndex_ = i;
        selectedFromHistory_ = true;
        return true;
      }
    lastError_ = kErrInvalidTicket;
    return false;
  }
  const std::vector<Order>& list = pool == 1 ? closed_ : open_;
  if (index < 0 || static_cast<unsigned long long>(index) >= list.size()) {
    lastError_ = kErrInvalidTicket;
    return false;
  }
  selectedIndex_ = static_cast<std::size_t>(index);
  selectedTicket_ = list[selectedIndex_].ticket;
  selectedFromHistory_ = pool == 1;
  return true;
}

const SimulatedTerminal::Order* SimulatedTerminal::selected() const {
  if (selectedTicket_ == 0) return nullptr;
  // The position where it was selected, unless closes have moved it since.
  const std::vector<Order>& pool = selectedFromHistory_ ? closed_ : open_;
  if (selectedIndex_ < pool.size() && pool[selectedIndex_].ticket == selectedTicket_) return &pool[selectedIndex_];
  // A selected position that has closed since is found among the closed ones.
  for (const Order& o : open_)
    if (o.ticket == selectedTicket_) return &o;
  for (const Order& o : closed_)
    if (o.ticket == selectedTicket_) return &o;
  return nullptr;
}

}  // namespace zorvik::mql4
