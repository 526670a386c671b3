#include "backtest/signal_plan.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>

#include "backtest/expert_run.hpp"
#include "indicators/adx.hpp"
#include "indicators/bollinger_bands.hpp"
#include "indicators/donchian.hpp"
#include "indicators/macd.hpp"
#include "indicators/moving_average.hpp"
#include "indicators/parabolic_sar.hpp"
#include "indicators/rsi.hpp"
#include "indicators/stochastic.hpp"
#include "market/bar_series.hpp"
#include "market/timeframes.hpp"
#include "rules/refusals.hpp"
#include "rules/system_rules.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

using Test = SignalTest;

// The timeframe an indicator reads, as bars of their own. For a higher timeframe every bar of
// the history knows the frame bar it falls in and how that bar stands at the history bar's
// first tick: finished history bars of the bucket plus the new bar's open.
struct Frame {
  const BarSeries* bars = nullptr;
  std::unique_ptr<BarSeries> built;
  std::vector<std::uint32_t> index;  // empty for the history's own timeframe
  std::vector<double> partialHigh;
  std::vector<double> partialLow;
  const BarSeries* history = nullptr;

  bool isChart() const { return index.empty(); }
  std::size_t current(std::size_t i) const { return isChart() ? i : index[i]; }
  Bar partial(std::size_t i) const {
    const double open = history->open[i];
    if (isChart()) return {history->time[i], open, open, open, open, 1};
    const std::size_t h = index[i];
    return {bars->time[h], bars->open[h], partialHigh[i], partialLow[i], open, 1};
  }
};

using Forming = std::function<double(std::size_t, const Bar&)>;

// One operand of a vote: a line of values read at a fixed shift from the bar the system
// runs on. The bar being formed is asked for its value as it stands at the first tick.
struct LineReader {
  const Frame* frame = nullptr;
  const std::vector<double>* series = nullptr;  // null: a constant
  Forming forming;
  int shift = 0;           // the call's shift
  int indicatorShift = 0;  // ma_shift / bands_shift
  double constant = kUndefined;

  double at(std::size_t i) const {
    if (!series) return constant;
    const std::size_t cur = frame->current(i);
    const auto j = barAtShift(cur, shift, indicatorShift);
    if (!j) return kUndefined;
    if (*j == cur) return forming(cur, frame->partial(i));
    return (*series)[*j];
  }

  // The values for the bars [a, b): a view into the series where the operand is a finished
  // bar of the history's own timeframe (the common case), else filled into `buffer`.
  const double* values(std::size_t a, std::size_t b, double* buffer) const {
    if (!series) {
      std::fill(buffer, buffer + (b - a), constant);
      return buffer;
    }
    const long long effective = static_cast<long long>(shift) + indicatorShift;
    if (frame->isChart() && effective >= 1) {
      const std::size_t e = static_cast<std::size_t>(effective);
      if (a >= e) return series->data() + (a - e);
      for (std::size_t i = a; i < b; ++i) buffer[i - a] = i >= e ? (*series)[i - e] : kUndefined;
      return buffer;
    }
    for (std::size_t i = a; i < b; ++i) buffer[i - a] = at(i);
    return buffer;
  }
};

struct IndicatorCheck {
  int position = 0;
  std::string type;
  std::string comment;
  double value = 0;
  Test test = Test::None;
  std::array<LineReader, 4> operands;  // k1, l1, k2, l2
  std::array<bool, 4> used{};
};

struct GroupCheck {
  int threshold = 0;
  std::vector<IndicatorCheck> indicators;
  // An earlier group that always votes as this one does (the same threshold and the same
  // tests of the same lines), whose bits are copied instead of counted again; -1: none.
  int sameAs = -1;
};

// The same line at the same bars: one series (and with it one forming value) at one shift, or
// one constant. Constants compare by their bits, so two undefined constants are the same too.
bool sameLine(const LineReader& a, const LineReader& b) {
  if (a.series != b.series) return false;
  if (!a.series) return std::memcmp(&a.constant, &b.constant, sizeof a.constant) == 0;
  return a.frame == b.frame && a.shift == b.shift && a.indicatorShift == b.indicatorShift;
}

bool votesAlike(const GroupCheck& a, const GroupCheck& b) {
  if (a.threshold != b.threshold || a.indicators.size() != b.indicators.size()) return false;
  for (std::size_t i = 0; i < a.indicators.size(); ++i) {
    const IndicatorCheck& x = a.indicators[i];
    const IndicatorCheck& y = b.indicators[i];
    if (x.test != y.test) return false;
    if (x.test == Test::None) continue;
    if (std::memcmp(&x.value, &y.value, sizeof x.value) != 0 || x.used != y.used) return false;
    for (std::size_t o = 0; o < 4; ++o)
      if (x.used[o] && !sameLine(x.operands[o], y.operands[o])) return false;
  }
  return true;
}

// The group's points are an int: each sum is a double that goes back into an int, cut toward
// zero.
int addPoints(int points, double value) {
  const double sum = std::trunc(static_cast<double>(points) + value);
  if (!(sum == sum)) return 0;
  return clampToInt32(sum);
}

// Adds the points of one indicator wherever its test holds, the test chosen once per block.
template <Test T>
void addWherePasses(std::size_t n, const double* k1, const double* l1, const double* k2, const double* l2,
                    double value, bool fewIndicators, int* points) {
  // A whole signal value, as traders give them, adds exactly: no cut, and without a branch the
  // loop runs on vectors. With fewer than 1024 indicators of at most 2^20 points each the sum
  // cannot leave the int range, so the plain addition is the EA's.
  constexpr double kWholeValue = 1 << 20;
  if (fewIndicators && value == std::trunc(value) && std::fabs(value) <= kWholeValue) {
    const int add = static_cast<int>(value);
    for (std::size_t t = 0; t < n; ++t) points[t] += passes(T, k1[t], l1[t], k2[t], l2[t]) ? add : 0;
    return;
  }
  for (std::size_t t = 0; t < n; ++t)
    if (passes(T, k1[t], l1[t], k2[t], l2[t])) points[t] = addPoints(points[t], value);
}

void addWherePasses(Test test, std::size_t n, const double* k1, const double* l1, const double* k2, const double* l2,
                    double value, bool fewIndicators, int* points) {
  switch (test) {
    case Test::None: return;
    case Test::KAboveL: return addWherePasses<Test::KAboveL>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::KBelowL: return addWherePasses<Test::KBelowL>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::CrossAbove: return addWherePasses<Test::CrossAbove>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::CrossBelow: return addWherePasses<Test::CrossBelow>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::AboveRising: return addWherePasses<Test::AboveRising>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::BelowRising: return addWherePasses<Test::BelowRising>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::MainUpOsmaDown: return addWherePasses<Test::MainUpOsmaDown>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::MainDownOsmaUp: return addWherePasses<Test::MainDownOsmaUp>(n, k1, l1, k2, l2, value, fewIndicators, points);
    case Test::KBelowL2: return addWherePasses<Test::KBelowL2>(n, k1, l1, k2, l2, value, fewIndicators, points);
  }
}

// A method or price constant the rule names and no indicator knows; carries the German
// sentence of the refusal, so that it is translated like every other.
struct UnknownConstant : std::invalid_argument {
  explicit UnknownConstant(std::string_view sentence) : std::invalid_argument(std::string(sentence)) {}
};

}  // namespace

struct SignalPlan::Impl {
  const BarSeries* history = nullptr;
  const LanguageTable* language = nullptr;
  std::map<int, std::unique_ptr<Frame>> frames;        // by minutes; 0 the history's own
  std::map<std::string, std::shared_ptr<const void>> indicators;  // computed once per run
  std::array<GroupCheck, 4> groups;

  const Frame& frame(int minutes, std::string& error);
  template <class T, class... Args>
  std::shared_ptr<const T> indicator(const std::string& key, const Frame& f, Args&&... args) {
    auto& slot = indicators[key];
    if (!slot) slot = std::make_shared<const T>(*f.bars, std::forward<Args>(args)...);
    return std::static_pointer_cast<const T>(slot);
  }
  // The check of one indicator, or why it cannot be computed on this history.
  std::variant<IndicatorCheck, std::string> check(const IndicatorRule& rule, int group);
  // The series (or constant) one operand of the rule reads; throws what the indicator refuses.
  LineReader operand(const IndicatorRule& rule, const Frame& f, const Operand& spec);
  void findGroupsVotingAlike();
};

const Frame& SignalPlan::Impl::frame(int minutes, std::string& error) {
  static const Frame kNone;
  if (minutes == history->timeframeMinutes) minutes = 0;
  auto& slot = frames[minutes];
  if (slot) return *slot;
  auto f = std::make_unique<Frame>();
  f->history = history;
  if (minutes == 0) {
    f->bars = history;
  } else {
    if (auto problem = timeframeBuildError(history->timeframeMinutes, minutes)) {
      error = *problem;
      frames.erase(minutes);
      return kNone;
    }
    TimeframeBuild build = buildTimeframe(*history, minutes);
    if (!build.ok()) {
      error = build.error;
      frames.erase(minutes);
      return kNone;
    }
    f->built = std::make_unique<BarSeries>(std::move(build.series));
    f->bars = f->built.get();
    const BarSeries& h = *history;
    const BarSeries& b = *f->bars;
    const std::size_t n = h.size();
    f->index.resize(n);
    f->partialHigh.resize(n);
    f->partialLow.resize(n);
    std::size_t k = 0;
    double high = -std::numeric_limits<double>::infinity();
    double low = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < n; ++i) {
      const std::int64_t start = timeframeBucketStart(h.time[i], minutes);
      std::size_t next = k;
      while (next + 1 < b.size() && b.time[next + 1] <= start) ++next;
      if (next != k || i == 0) {
        high = -std::numeric_limits<double>::infinity();
        low = std::numeric_limits<double>::infinity();
      }
      k = next;
      f->index[i] = static_cast<std::uint32_t>(k);
      f->partialHigh[i] = std::max(high, h.open[i]);
      f->partialLow[i] = std::min(low, h.open[i]);
      high = std::max(high, h.high[i]);
      low = std::min(low, h.low[i]);
    }
  }
  slot = std::move(f);
  return *slot;
}

SignalPlan::SignalPlan(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SignalPlan::SignalPlan(SignalPlan&&) noexcept = default;
SignalPlan& SignalPlan::operator=(SignalPlan&&) noexcept = default;
SignalPlan::~SignalPlan() = default;

std::variant<SignalPlan, std::string> SignalPlan::make(const SystemRules& rules, const BarSeries& history,
                                                      const LanguageTable* language) {
  auto impl = std::make_unique<Impl>();
  impl->history = &history;
  impl->language = language;
  for (const GroupRules& group : rules.groups) {
    GroupCheck& check = impl->groups[static_cast<std::size_t>(group.group - 1)];
    check.threshold = group.thresholdPoints;
    for (const IndicatorRule& rule : group.indicators) {
      auto indicator = impl->check(rule, group.group);
      if (auto* refusal = std::get_if<std::string>(&indicator)) return std::move(*refusal);
      check.indicators.push_back(std::move(std::get<IndicatorCheck>(indicator)));
    }
  }
  impl->findGroupsVotingAlike();
  return SignalPlan(std::move(impl));
}

std::variant<IndicatorCheck, std::string> SignalPlan::Impl::check(const IndicatorRule& rule, int group) {
  IndicatorCheck c;
  c.position = rule.position;
  c.type = rule.type;
  c.comment = rule.comment;
  c.value = rule.points.value;
  c.test = rule.test;
  if (!rule.votes()) return c;

  const std::string place = indicatorPlace(group, rule.position, rule.type, language);
  if (!rule.symbol.chart && !iequals(rule.symbol.stored, history->symbol))
    return indicatorSymbolRefusal(place, rule.symbol.stored, history->symbol, language);
  std::string error;
  const Frame& f = frame(rule.timeframe.minutes, error);
  if (!error.empty()) return indicatorTimeframeRefusal(place, history->timeframeMinutes, rule.timeframe.minutes, language);
  try {
    if (!rule.method.method || !rule.price.price) throw UnknownConstant(kUnknownMethodOrPrice);
    for (std::size_t slot = 0; slot < rule.operands.size(); ++slot) {
      if (!rule.operands[slot].used()) continue;
      c.operands[slot] = operand(rule, f, rule.operands[slot]);
      c.used[slot] = true;
    }
  } catch (const UnknownConstant& e) {
    return refusalText(e.what(), language, {place});
  } catch (const std::exception& e) {
    return indicatorRefusal(place, e.what(), language);
  }
  return c;
}

LineReader SignalPlan::Impl::operand(const IndicatorRule& rule, const Frame& f, const Operand& spec) {
  const int shift = rule.shift.whole() + spec.barsBack;
  const std::string tf = std::to_string(rule.timeframe.minutes) + "|";
  const MaMethod method = *rule.method.method;
  const AppliedPrice price = *rule.price.price;
  auto line = [&](const std::vector<double>& series, Forming forming, int indicatorShift = 0) {
    LineReader o;
    o.frame = &f;
    o.series = &series;
    o.forming = std::move(forming);
    o.shift = shift;
    o.indicatorShift = indicatorShift;
    return o;
  };
  // Close[], High[] and Low[] of the indicator's timeframe; the bar being formed shows its
  // partial prices.
  auto bars = [&](const std::vector<double> BarSeries::*column, double Bar::*field) {
    return line(f.bars->*column, [field](std::size_t, const Bar& partial) { return partial.*field; });
  };
  auto average = [&](const StoredNumber& period, const StoredNumber& averageShift, const PriceChoice& applied) {
    if (!applied.price) throw UnknownConstant(kUnknownAppliedPrice);
    const int p = period.whole();
    const auto ma = indicator<MovingAverage>(tf + "MA|" + std::to_string(p) + "|" + std::to_string(int(method)) + "|" +
                                                 std::to_string(int(*applied.price)),
                                             f, p, method, *applied.price);
    return line(ma->values(), [ma](std::size_t i, const Bar& b) { return ma->forming(i, b); }, averageShift.whole());
  };
  auto macd = [&] {
    const int fast = rule.fastPeriod.whole(), slow = rule.slowPeriod.whole(), signal = rule.signalPeriod.whole();
    return indicator<Macd>(tf + "MACD|" + std::to_string(fast) + "|" + std::to_string(slow) + "|" +
                               std::to_string(signal) + "|" + std::to_string(int(price)),
                           f, fast, slow, signal, price);
  };
  auto bands = [&] {
    const int period = rule.period.whole();
    return indicator<BollingerBands>(
        tf + "BB|" + std::to_string(period) + "|" + rule.deviation.text + "|" + std::to_string(int(price)), f, period,
        rule.deviation.value, price);
  };
  auto channel = [&] {
    const int period = rule.period.whole();
    return indicator<DonchianChannel>(tf + "DC|" + std::to_string(period), f, period);
  };
  auto adx = [&] {
    const int period = rule.period.whole();
    return indicator<Adx>(tf + "ADX|" + std::to_string(period), f, period);
  };

  switch (spec.line) {
    case OperandLine::None: break;
    case OperandLine::Close: return bars(&BarSeries::close, &Bar::close);
    case OperandLine::High: return bars(&BarSeries::high, &Bar::high);
    case OperandLine::Low: return bars(&BarSeries::low, &Bar::low);
    case OperandLine::Level: {
      LineReader o;
      o.constant = rule.level.value;
      return o;
    }
    case OperandLine::MovingAverage: return average(rule.period, rule.averageShift, rule.price);
    case OperandLine::FastAverage: return average(rule.fastPeriod, rule.fastShift, rule.fastPrice);
    case OperandLine::SlowAverage: return average(rule.slowPeriod, rule.slowShift, rule.slowPrice);
    case OperandLine::Rsi: {
      const int period = rule.period.whole();
      const auto rsi = indicator<Rsi>(tf + "RSI|" + std::to_string(period) + "|" + std::to_string(int(price)), f,
                                      period, price);
      return line(rsi->values(), [rsi](std::size_t i, const Bar& b) { return rsi->forming(i, b); });
    }
    case OperandLine::Sar: {
      const auto sar = indicator<ParabolicSar>(tf + "SAR|" + rule.sarStep.text + "|" + rule.sarMaximum.text, f,
                                               rule.sarStep.value, rule.sarMaximum.value);
      return line(sar->values(), [sar](std::size_t i, const Bar& b) { return sar->forming(i, b); });
    }
    case OperandLine::MacdMain: {
      const auto m = macd();
      return line(m->main(), [m](std::size_t i, const Bar& b) { return m->forming(i, b).main; });
    }
    case OperandLine::MacdOsma: {
      const auto m = macd();
      return line(m->osma(), [m](std::size_t i, const Bar& b) { return m->forming(i, b).osma; });
    }
    case OperandLine::StochasticMain: {
      const int k = rule.kPeriod.whole(), d = rule.dPeriod.whole(), slowing = rule.slowing.whole();
      if (!rule.priceField) throw UnknownConstant(kUnknownPriceField);
      const int field = static_cast<int>(*rule.priceField);
      const auto st = indicator<Stochastic>(tf + "STO|" + std::to_string(k) + "|" + std::to_string(d) + "|" +
                                                std::to_string(slowing) + "|" + std::to_string(int(method)) + "|" +
                                                std::to_string(field),
                                            f, k, d, slowing, method, *rule.priceField);
      return line(st->main(), [st](std::size_t i, const Bar& b) { return st->forming(i, b).main; });
    }
    case OperandLine::BandsUpper: {
      const auto b = bands();
      return line(b->upper(), [b](std::size_t i, const Bar& bar) { return b->forming(i, bar).upper; },
                  rule.bandsShift.whole());
    }
    case OperandLine::BandsLower: {
      const auto b = bands();
      return line(b->lower(), [b](std::size_t i, const Bar& bar) { return b->forming(i, bar).lower; },
                  rule.bandsShift.whole());
    }
    // The channel of the bars before bar s: the channel value of bar s itself.
    case OperandLine::ChannelHighest: {
      const auto dc = channel();
      return line(dc->highest(), [dc](std::size_t i, const Bar& b) { return dc->forming(i, b).highest; });
    }
    case OperandLine::ChannelLowest: {
      const auto dc = channel();
      return line(dc->lowest(), [dc](std::size_t i, const Bar& b) { return dc->forming(i, b).lowest; });
    }
    case OperandLine::PlusDi: {
      const auto a = adx();
      return line(a->plusDi(), [a](std::size_t i, const Bar& b) { return a->forming(i, b).plusDi; });
    }
    case OperandLine::MinusDi: {
      const auto a = adx();
      return line(a->minusDi(), [a](std::size_t i, const Bar& b) { return a->forming(i, b).minusDi; });
    }
    case OperandLine::AdxMain: {
      const auto a = adx();
      return line(a->main(), [a](std::size_t i, const Bar& b) { return a->forming(i, b).main; });
    }
  }
  return {};
}

void SignalPlan::Impl::findGroupsVotingAlike() {
  for (std::size_t g = 0; g < groups.size(); ++g)
    for (std::size_t h = 0; h < g; ++h)
      if (groups[h].sameAs < 0 && votesAlike(groups[h], groups[g])) {
        groups[g].sameAs = static_cast<int>(h);
        break;
      }
}

std::vector<std::uint8_t> SignalPlan::checks(std::size_t first, std::size_t end) const {
  const std::size_t size = impl_->history->size();
  std::vector<std::uint8_t> bits(size, 0);
  end = std::min(end, size);
  if (first >= end) return bits;
  // In blocks, so the operand columns stay small and in cache.
  constexpr std::size_t kBlock = 4096;
  std::array<std::vector<double>, 4> column;
  for (auto& c : column) c.resize(kBlock);
  std::vector<int> points(kBlock);
  for (std::size_t a = first; a < end; a += kBlock) {
    const std::size_t b = std::min(end, a + kBlock);
    const std::size_t n = b - a;
    for (std::size_t g = 0; g < impl_->groups.size(); ++g) {
      const GroupCheck& group = impl_->groups[g];
      if (group.threshold == 0) continue;  // a threshold of 0: the group never fires
      const std::uint8_t bit = static_cast<std::uint8_t>(1u << g);
      if (group.sameAs >= 0) {
        const std::uint8_t from = static_cast<std::uint8_t>(1u << group.sameAs);
        std::uint8_t* out = bits.data();
        for (std::size_t t = a; t < b; ++t) out[t] |= (out[t] & from) ? bit : std::uint8_t{0};
        continue;
      }
      std::fill(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(n), 0);
      for (const IndicatorCheck& c : group.indicators) {
        if (c.test == Test::None) continue;
        std::array<const double*, 4> v{};
        for (std::size_t o = 0; o < 4; ++o)
          if (c.used[o]) v[o] = c.operands[o].values(a, b, column[o].data());
        if (!v[2]) v[2] = v[0];  // unused operands: any defined pointer, the test ignores them
        if (!v[3]) v[3] = v[1];
        addWherePasses(c.test, n, v[0], v[1], v[2], v[3], c.value, group.indicators.size() < 1024, points.data());
      }
      // Without a branch: whether a bar fires is as random as the market.
      std::uint8_t* out = bits.data() + a;
      const int threshold = group.threshold;
      for (std::size_t t = 0; t < n; ++t) out[t] |= points[t] >= threshold ? bit : std::uint8_t{0};
    }
  }
  return bits;
}

BarVotes SignalPlan::votes(std::size_t bar) const {
  BarVotes v;
  v.bar = bar;
  for (std::size_t g = 0; g < impl_->groups.size(); ++g) {
    const GroupCheck& group = impl_->groups[g];
    GroupVote& out = v.groups[g];
    out.group = static_cast<int>(g) + 1;
    out.threshold = group.threshold;
    if (bar >= impl_->history->size()) continue;  // no such bar: nothing voted
    for (const IndicatorCheck& c : group.indicators) {
      IndicatorVote iv;
      iv.position = c.position;
      iv.type = c.type;
      iv.comment = c.comment;
      iv.counts = c.test != Test::None;
      iv.points = c.value;
      for (std::size_t o = 0; o < 4; ++o) iv.operands[o] = c.used[o] ? c.operands[o].at(bar) : kUndefined;
      if (iv.counts) {
        const double k2 = c.used[2] ? iv.operands[2] : iv.operands[0];
        const double l2 = c.used[3] ? iv.operands[3] : iv.operands[1];
        iv.fired = passes(c.test, iv.operands[0], iv.operands[1], k2, l2);
        if (iv.fired) out.sum = addPoints(out.sum, c.value);
      }
      out.indicators.push_back(std::move(iv));
    }
    out.fires = group.threshold != 0 && out.sum >= group.threshold;
  }
  return v;
}

}  // namespace zorvik
