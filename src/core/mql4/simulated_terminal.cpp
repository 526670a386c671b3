#include "mql4/simulated_terminal.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "market/timeframes.hpp"
#include "text/strings.hpp"

namespace zorvik::mql4 {
namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();
constexpr int kOpBuy = 0;
constexpr int kOpSell = 1;

}  // namespace

SimulatedTerminal::SimulatedTerminal(const BarSeries& history, std::size_t firstBar, std::size_t endBar,
                                     const SymbolProperties& symbol, double deposit, const AccountTerms& terms)
    : history_(history), account_(symbol, deposit, terms) {
  (void)endBar;
  bar_ = firstBar < history.size() ? firstBar : 0;
  if (!history.empty()) {
    // init() may already ask for the prices: those of the first bar's open.
    account_.setBar(bar_, history.time[bar_]);
    const std::int64_t open = pointsOf(history.open[bar_]);
    account_.setBid(open, history.open[bar_]);
    formingHigh_ = formingLow_ = open;
    formingHighPrice_ = formingLowPrice_ = history.open[bar_];
  }
}

SimulatedTerminal::~SimulatedTerminal() = default;

bool SimulatedTerminal::isOurSymbol(std::string_view name) const {
  return name.empty() || iequals(name, history_.symbol);
}

void SimulatedTerminal::beginTick(std::size_t bar, int k, std::int64_t bidPoints, double bidPrice) {
  bar_ = bar;
  tickOfBar_ = k;
  account_.setBar(bar, history_.time[bar]);
  account_.setBid(bidPoints, bidPrice);
  if (k == 1) {
    formingHigh_ = formingLow_ = bidPoints;
    formingHighPrice_ = formingLowPrice_ = bidPrice;
  } else {
    if (bidPoints > formingHigh_) formingHighPrice_ = bidPrice;
    if (bidPoints < formingLow_) formingLowPrice_ = bidPrice;
    formingHigh_ = std::max(formingHigh_, bidPoints);
    formingLow_ = std::min(formingLow_, bidPoints);
  }
  account_.settleTick(k == 1);
}

void SimulatedTerminal::closeAtEnd() { account_.closeAll(CloseReason::EndOfTest); }

double SimulatedTerminal::profitNow(const Order& o) const {
  return account_.floatingProfit(o.type == kOpBuy ? TradeType::Buy : TradeType::Sell, o.openPrice, o.lots);
}

double SimulatedTerminal::marketInfo(std::string_view symbolName, int mode) {
  if (!isOurSymbol(symbolName)) {
    lastError_ = kErrUnknownSymbol;
    return 0;
  }
  const SymbolProperties& symbol = account_.symbol();
  switch (mode) {
    case 1: return formingLowPrice_;   // MODE_LOW: of the day in the terminal; the bar here
    case 2: return formingHighPrice_;  // MODE_HIGH
    case 5: return static_cast<double>(time());
    case 9: return bid();
    case 10: return ask();
    case 11: return point();
    case 12: return symbol.digits;
    case 13: return symbol.spreadPoints;
    case 14: return symbol.stopLevelPoints;
    case 15: return symbol.contractSize;
    case 16: return symbol.contractSize * point();  // quote currency per point and lot
    case 17: return point();
    case 18: return account_.terms().swapLongPoints;   // MODE_SWAPLONG, in points (MODE_SWAPTYPE 0)
    case 19: return account_.terms().swapShortPoints;  // MODE_SWAPSHORT
    case 26: return 0;                                 // MODE_SWAPTYPE: points
    case 22: return 1;  // trade allowed
    case 23: return symbol.minimumLot;
    case 24: return symbol.lotStep;
    case 25: return symbol.maximumLot;
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
  const double bidPrice = account_.bidPrice();
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

namespace {

TradeType typeOf(int cmd) { return cmd == kOpBuy ? TradeType::Buy : TradeType::Sell; }

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
  if (const OrderError e = account_.sendOrder(typeOf(cmd), lots, requested, stopLoss, takeProfit);
      e != OrderError::None) {
    if (e == OrderError::NotEnoughMoney) ++refusedForMoney_;
    lastError_ = static_cast<int>(e);
    return -1;
  }
  const int ticket = account_.positions().back().ticket;
  labels_.resize(static_cast<std::size_t>(ticket));
  labels_.back() = {magic, std::string(comment)};
  return ticket;
}

bool SimulatedTerminal::orderModify(int ticket, double stopLoss, double takeProfit) {
  const OrderError e = account_.modifyOrder(ticket, stopLoss, takeProfit);
  if (e == OrderError::None) return true;
  lastError_ = static_cast<int>(e);
  return false;
}

bool SimulatedTerminal::orderClose(int ticket, double lots, double requested) {
  const OrderError e = account_.closeOrder(ticket, lots, requested);
  if (e == OrderError::None) return true;
  lastError_ = static_cast<int>(e);
  return false;
}

bool SimulatedTerminal::orderSelect(long long index, int select, int pool) {
  const std::vector<Position>& open = account_.positions();
  const std::vector<Trade>& closed = account_.trades();
  if (select == 1) {  // SELECT_BY_TICKET: open or closed, whatever the pool
    for (std::size_t i = 0; i < open.size(); ++i)
      if (open[i].ticket == index) {
        selectedTicket_ = open[i].ticket;
        selectedIndex_ = i;
        selectedFromHistory_ = false;
        return true;
      }
    for (std::size_t i = 0; i < closed.size(); ++i)
      if (closed[i].ticket == index) {
        selectedTicket_ = closed[i].ticket;
        selectedIndex_ = i;
        selectedFromHistory_ = true;
        return true;
      }
    lastError_ = kErrInvalidTicket;
    return false;
  }
  const std::size_t size = pool == 1 ? closed.size() : open.size();
  if (index < 0 || static_cast<unsigned long long>(index) >= size) {
    lastError_ = kErrInvalidTicket;
    return false;
  }
  selectedIndex_ = static_cast<std::size_t>(index);
  selectedTicket_ = pool == 1 ? closed[selectedIndex_].ticket : open[selectedIndex_].ticket;
  selectedFromHistory_ = pool == 1;
  return true;
}

const SimulatedTerminal::OrderLabel& SimulatedTerminal::labelOf(int ticket) const {
  static const OrderLabel kNone;
  if (ticket < 1 || static_cast<std::size_t>(ticket) > labels_.size()) return kNone;
  return labels_[static_cast<std::size_t>(ticket) - 1];
}

const SimulatedTerminal::Order* SimulatedTerminal::view(const Position& p) const {
  Order& o = selectedView_;
  // The comment is copied only when another order is viewed: it never changes.
  if (o.ticket != p.ticket) o.comment = labelOf(p.ticket).comment;
  o.ticket = p.ticket;
  o.type = p.type == TradeType::Buy ? kOpBuy : kOpSell;
  o.lots = p.lots;
  o.openPoints = p.openPoints;
  o.openPrice = p.openPrice;
  o.stopLoss = p.stopLoss;
  o.takeProfit = p.takeProfit;
  o.openTime = p.openTime;
  o.openBar = p.openBar;
  o.magic = labelOf(p.ticket).magic;
  o.closePrice = 0;
  o.closeTime = 0;
  o.profit = 0;
  o.commission = p.commission;
  o.swap = p.swap;
  return &o;
}

// The trade holds its stops as prices, each the division of whole points by 10^digits; they
// are turned back into the same points exactly (far less than half a point is lost).
const SimulatedTerminal::Order* SimulatedTerminal::view(const Trade& t) const {
  Order& o = selectedView_;
  if (o.ticket != t.ticket) o.comment = labelOf(t.ticket).comment;
  o.ticket = t.ticket;
  o.type = t.type == TradeType::Buy ? kOpBuy : kOpSell;
  o.lots = t.lots;
  o.openPoints = pointsOf(t.openPrice);
  o.openPrice = t.openPrice;
  o.stopLoss = t.stopLoss != 0 ? pointsOf(t.stopLoss) : 0;
  o.takeProfit = t.takeProfit != 0 ? pointsOf(t.takeProfit) : 0;
  o.openTime = t.openTime;
  o.openBar = t.openBar;
  o.magic = labelOf(t.ticket).magic;
  o.closePrice = t.closePrice;
  o.closeTime = t.closeTime;
  o.profit = t.profit;
  o.commission = t.commission;
  o.swap = t.swap;
  return &o;
}

const SimulatedTerminal::Order* SimulatedTerminal::selected() const {
  if (selectedTicket_ == 0) return nullptr;
  const std::vector<Position>& open = account_.positions();
  const std::vector<Trade>& closed = account_.trades();
  // The position where it was selected, unless closes have moved it since.
  if (selectedFromHistory_) {
    if (selectedIndex_ < closed.size() && closed[selectedIndex_].ticket == selectedTicket_)
      return view(closed[selectedIndex_]);
  } else if (selectedIndex_ < open.size() && open[selectedIndex_].ticket == selectedTicket_) {
    return view(open[selectedIndex_]);
  }
  // A selected position that has closed since is found among the closed ones.
  for (const Position& p : open)
    if (p.ticket == selectedTicket_) return view(p);
  for (const Trade& t : closed)
    if (t.ticket == selectedTicket_) return view(t);
  return nullptr;
}

}  // namespace zorvik::mql4
