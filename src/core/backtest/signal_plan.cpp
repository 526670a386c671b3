#include "backtest/signal_plan.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>

#include "backtest/expert_run.hpp"
#include "generator/expert_generator.hpp"
#include "generator/indicator_code.hpp"
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
#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "model/group_roles.hpp"
#include "model/indicator_kind.hpp"
#include "model/trading_system.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

using Kind = IndicatorKind;

// The comparisons of the listing's signal lines, by the operands k1, l1, k2, l2.
enum class Test {
  None,
  KAboveL,        // k1>l1
  KBelowL,        // k1<l1
  CrossAbove,     // (k1>l1) && (k2<=l2)
  CrossBelow,     // (k1<l1) && (k2>=l2)
  AboveRising,    // (k1>l1) && (k2>l2)
  BelowRising,    // (k1<l1) && (k2>l2)
  MainUpOsmaDown, // (k1>0) && (l1<0)
  MainDownOsmaUp, // (k1<0) && (l1>0)
  KBelowL2,       // k1<l2
};

Test testOf(Kind kind, bool bullish) {
  switch (kind) {
    case Kind::MovingAverage:
    case Kind::TwoMovingAverages:
    case Kind::DonchianChannel:
      return bullish ? Test::KAboveL : Test::KBelowL;
    case Kind::MovingAverageCross:
    case Kind::TwoMovingAveragesCross:
      return bullish ? Test::CrossAbove : Test::CrossBelow;
    case Kind::ParabolicSar:
    case Kind::RsiCross:
      return bullish ? Test::CrossBelow : Test::CrossAbove;
    case Kind::Adx:
      return bullish ? Test::AboveRising : Test::BelowRising;
    case Kind::Rsi:
    case Kind::Stochastik:
      return bullish ? Test::KBelowL : Test::KAboveL;
    case Kind::Macd:
      return bullish ? Test::MainUpOsmaDown : Test::MainDownOsmaUp;
    case Kind::BollingerBands:
      return bullish ? Test::KAboveL : Test::KBelowL2;
    case Kind::Other:
      break;
  }
  return Test::None;
}

bool passes(Test t, double k1, double l1, double k2, double l2) {
  switch (t) {
    case Test::None: return false;
    case Test::KAboveL: return k1 > l1;
    case Test::KBelowL: return k1 < l1;
    case Test::CrossAbove: return (k1 > l1) && (k2 <= l2);
    case Test::CrossBelow: return (k1 < l1) && (k2 >= l2);
    case Test::AboveRising: return (k1 > l1) && (k2 > l2);
    case Test::BelowRising: return (k1 < l1) && (k2 > l2);
    case Test::MainUpOsmaDown: return (k1 > 0) && (l1 < 0);
    case Test::MainDownOsmaUp: return (k1 < 0) && (l1 > 0);
    case Test::KBelowL2: return k1 < l2;
  }
  return false;
}

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

// One operand of a signal line: a line of values read at a fixed shift from the bar the EA
// runs on. The bar being formed is asked for its value as it stands at the first tick.
struct Operand {
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
  std::array<Operand, 4> operands;  // k1, l1, k2, l2
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
bool sameOperand(const Operand& a, const Operand& b) {
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
      if (x.used[o] && !sameOperand(x.operands[o], y.operands[o])) return false;
  }
  return true;
}

// ic=ic+value with an int ic: the sum is a double that goes back into an int, cut toward zero.
int addPoints(int ic, double value) {
  const double sum = std::trunc(static_cast<double>(ic) + value);
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

std::optional<AppliedPrice> appliedPriceOf(std::string_view constant) {
  static constexpr std::pair<std::string_view, AppliedPrice> kPrices[] = {
      {"PRICE_CLOSE", AppliedPrice::Close},     {"PRICE_OPEN", AppliedPrice::Open},
      {"PRICE_HIGH", AppliedPrice::High},       {"PRICE_LOW", AppliedPrice::Low},
      {"PRICE_MEDIAN", AppliedPrice::Median},   {"PRICE_TYPICAL", AppliedPrice::Typical},
      {"PRICE_WEIGHTED", AppliedPrice::Weighted},
  };
  for (const auto& [name, price] : kPrices)
    if (name == constant) return price;
  return appliedPriceFromNumber(toInt32(constant));
}

std::optional<MaMethod> maMethodOf(std::string_view constant) {
  static constexpr std::pair<std::string_view, MaMethod> kMethods[] = {
      {"MODE_SMA", MaMethod::Simple},
      {"MODE_EMA", MaMethod::Exponential},
      {"MODE_SMMA", MaMethod::Smoothed},
      {"MODE_LWMA", MaMethod::LinearWeighted},
  };
  for (const auto& [name, method] : kMethods)
    if (name == constant) return method;
  return maMethodFromNumber(toInt32(constant));
}

}  // namespace

struct SignalPlan::Impl {
  const BarSeries* history = nullptr;
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

std::variant<SignalPlan, std::string> SignalPlan::make(const TradingSystem& system, const Catalogue& cat,
                                                       const DefinitionTable& definitions, const BarSeries& history,
                                                       const std::array<std::int32_t, 4>& thresholds) {
  auto impl = std::make_unique<Impl>();
  impl->history = &history;

  for (int g = 1; g <= kGroupCount; ++g) {
    const SignalGroup& group = system.group(g);
    const GroupRoleInfo& role = kGroupRoles[static_cast<std::size_t>(g - 1)];
    GroupCheck& check = impl->groups[static_cast<std::size_t>(g - 1)];
    check.threshold = thresholds[static_cast<std::size_t>(g - 1)];
    int position = 0;
    for (const Indicator& ind : group.indicators()) {
      ++position;
      auto p = [&](std::string_view key) { return ind.parameter(key); };
      // "LONG 2 (RSI)", as the trader numbers the indicators of a group.
      const std::string where = std::string(role.caption.substr(0, role.caption.find('@'))) + " " +
                                std::to_string(position) + " (" + ind.type() + ")";
      IndicatorCheck c;
      c.position = position;
      c.type = ind.type();
      c.comment = p("comment");
      c.value = leadingNumber(p("value"));
      const Kind kind = indicatorKindOf(ind.type());
      const std::string side = sideCodeFor(p("actiontyp"), role.name);
      if (kind == Kind::Other || !writesSignalLine(ind.type(), side)) {
        check.indicators.push_back(std::move(c));
        continue;
      }
      // Unknown sides fall back to the bearish test in the types that have one.
      const auto sideRole = groupRoleNamed(side);
      const bool bullish = sideRole && signalsOnRisingMarket(*sideRole);
      c.test = testOf(kind, bullish);

      if (symbolArgument(cat, p("symbol")) != "tSymbol" && !iequals(p("symbol"), history.symbol))
        return where + " reads " + p("symbol") + ", the history is " + history.symbol +
               ": an indicator of another symbol cannot be tested";
      const int minutes = toInt32(cat.timeframes.valueOf(p("timeframe")));
      std::string error;
      const Frame& f = impl->frame(minutes, error);
      if (!error.empty()) return where + ": " + error;

      const int shift = toInt32(p("shift"));
      auto integer = [&](std::string_view key) { return toInt32(p(key)); };
      auto number = [&](std::string_view key) { return leadingNumber(p(key)); };
      const auto method = maMethodOf(cat.maMethods.valueOf(p("ma_method")));
      const auto price = appliedPriceOf(cat.pricetypes.valueOf(p("pricetype")));
      const std::string tf = std::to_string(minutes) + "|";

      auto constant = [](double v) {
        Operand o;
        o.constant = v;
        return o;
      };
      auto line = [&](const std::vector<double>& series, Forming forming, int s, int indicatorShift = 0) {
        Operand o;
        o.frame = &f;
        o.series = &series;
        o.forming = std::move(forming);
        o.shift = s;
        o.indicatorShift = indicatorShift;
        return o;
      };
      // Close[], High[] and Low[] of the indicator's timeframe; the bar being formed shows
      // its partial prices.
      auto bars = [&](const std::vector<double> BarSeries::*column, double Bar::*field, int s) {
        return line(f.bars->*column, [field](std::size_t, const Bar& partial) { return partial.*field; }, s);
      };
      auto set = [&](int slot, Operand o) {
        c.operands[static_cast<std::size_t>(slot)] = std::move(o);
        c.used[static_cast<std::size_t>(slot)] = true;
      };
      enum { K1, L1, K2, L2 };

      try {
        if (!method || !price) throw std::invalid_argument("unknown averaging method or applied price");
        switch (kind) {
          case Kind::MovingAverage:
          case Kind::MovingAverageCross: {
            const int period = integer("period");
            const auto ma = impl->indicator<MovingAverage>(
                tf + "MA|" + std::to_string(period) + "|" + std::to_string(int(*method)) + "|" + std::to_string(int(*price)),
                f, period, *method, *price);
            Forming formingMa = [ma](std::size_t i, const Bar& b) { return ma->forming(i, b); };
            const int maShift = integer("ma_shift");
            set(K1, bars(&BarSeries::close, &Bar::close, shift));
            set(L1, line(ma->values(), formingMa, shift, maShift));
            if (kind == Kind::MovingAverageCross) {
              set(K2, bars(&BarSeries::close, &Bar::close, shift + 1));
              set(L2, line(ma->values(), formingMa, shift + 1, maShift));
            }
            break;
          }
          case Kind::TwoMovingAverages:
          case Kind::TwoMovingAveragesCross: {
            auto average = [&](const char* periodKey, const char* shiftKey, const char* priceKey, int s) {
              const int period = integer(periodKey);
              const auto ap = appliedPriceOf(appliedPriceArgument(cat, definitions, priceKey, p(priceKey)));
              if (!ap) throw std::invalid_argument("unknown applied price");
              const auto ma = impl->indicator<MovingAverage>(
                  tf + "MA|" + std::to_string(period) + "|" + std::to_string(int(*method)) + "|" + std::to_string(int(*ap)),
                  f, period, *method, *ap);
              return line(ma->values(), [ma](std::size_t i, const Bar& b) { return ma->forming(i, b); }, s,
                          integer(shiftKey));
            };
            set(K1, average("periodfast", "ma_shiftfast", "apricefast", shift));
            set(L1, average("periodslow", "ma_shiftslow", "apriceslow", shift));
            if (kind == Kind::TwoMovingAveragesCross) {
              set(K2, average("periodfast", "ma_shiftfast", "apricefast", shift + 1));
              set(L2, average("periodslow", "ma_shiftslow", "apriceslow", shift + 1));
            }
            break;
          }
          case Kind::Rsi:
          case Kind::RsiCross: {
            const int period = integer("period");
            const auto rsi = impl->indicator<Rsi>(tf + "RSI|" + std::to_string(period) + "|" + std::to_string(int(*price)),
                                                  f, period, *price);
            Forming forming = [rsi](std::size_t i, const Bar& b) { return rsi->forming(i, b); };
            set(K1, line(rsi->values(), forming, shift));
            set(L1, constant(number("actionline")));
            if (kind == Kind::RsiCross) {
              set(K2, line(rsi->values(), forming, shift + 1));
              set(L2, constant(number("actionline")));
            }
            break;
          }
          case Kind::ParabolicSar: {
            const double step = number("pa_step");
            const double maximum = number("pa_maximum");
            const auto sar = impl->indicator<ParabolicSar>(tf + "SAR|" + p("pa_step") + "|" + p("pa_maximum"), f, step,
                                                           maximum);
            Forming forming = [sar](std::size_t i, const Bar& b) { return sar->forming(i, b); };
            set(K1, line(sar->values(), forming, shift));
            set(K2, line(sar->values(), forming, shift + 1));
            if (bullish) {
              set(L1, bars(&BarSeries::low, &Bar::low, shift));
              set(L2, bars(&BarSeries::high, &Bar::high, shift + 1));
            } else {
              set(L1, bars(&BarSeries::high, &Bar::high, shift));
              set(L2, bars(&BarSeries::low, &Bar::low, shift + 1));
            }
            break;
          }
          case Kind::Macd: {
            const int fast = integer("periodfast"), slow = integer("periodslow"), signal = integer("periodsignal");
            const auto macd = impl->indicator<Macd>(tf + "MACD|" + std::to_string(fast) + "|" + std::to_string(slow) +
                                                        "|" + std::to_string(signal) + "|" + std::to_string(int(*price)),
                                                    f, fast, slow, signal, *price);
            set(K1, line(macd->main(), [macd](std::size_t i, const Bar& b) { return macd->forming(i, b).main; }, shift));
            set(L1, line(macd->osma(), [macd](std::size_t i, const Bar& b) { return macd->forming(i, b).osma; },
                         shift + 1));
            break;
          }
          case Kind::Stochastik: {
            const int k = integer("st_pk"), d = integer("st_pd"), slowing = integer("st_slow");
            const int field = toInt32(cat.pricefields.valueOf(p("pricefield")));
            if (field != 0 && field != 1) throw std::invalid_argument("unknown price field");
            const auto st = impl->indicator<Stochastic>(
                tf + "STO|" + std::to_string(k) + "|" + std::to_string(d) + "|" + std::to_string(slowing) + "|" +
                    std::to_string(int(*method)) + "|" + std::to_string(field),
                f, k, d, slowing, *method, static_cast<StochasticPriceField>(field));
            set(K1, line(st->main(), [st](std::size_t i, const Bar& b) { return st->forming(i, b).main; }, shift));
            set(L1, constant(number("st_trigger")));
            break;
          }
          case Kind::BollingerBands: {
            const int period = integer("period");
            const double deviation = number("bo_stab");
            const auto bands = impl->indicator<BollingerBands>(
                tf + "BB|" + std::to_string(period) + "|" + p("bo_stab") + "|" + std::to_string(int(*price)), f, period,
                deviation, *price);
            const int bandsShift = integer("bo_shift");
            set(K1, bars(&BarSeries::close, &Bar::close, shift));
            set(L1, line(bands->upper(), [bands](std::size_t i, const Bar& b) { return bands->forming(i, b).upper; },
                         shift, bandsShift));
            set(L2, line(bands->lower(), [bands](std::size_t i, const Bar& b) { return bands->forming(i, b).lower; },
                         shift, bandsShift));
            break;
          }
          case Kind::DonchianChannel: {
            const int period = integer("period");
            const auto dc = impl->indicator<DonchianChannel>(tf + "DC|" + std::to_string(period), f, period);
            set(K1, bars(&BarSeries::close, &Bar::close, shift));
            // The channel of the bars before bar s: the channel value of bar s itself.
            if (bullish)
              set(L1, line(dc->highest(), [dc](std::size_t i, const Bar& b) { return dc->forming(i, b).highest; }, shift));
            else
              set(L1, line(dc->lowest(), [dc](std::size_t i, const Bar& b) { return dc->forming(i, b).lowest; }, shift));
            break;
          }
          case Kind::Adx: {
            const int period = integer("period");
            const auto adx = impl->indicator<Adx>(tf + "ADX|" + std::to_string(period), f, period);
            set(K1, line(adx->plusDi(), [adx](std::size_t i, const Bar& b) { return adx->forming(i, b).plusDi; }, shift));
            set(L1, line(adx->minusDi(), [adx](std::size_t i, const Bar& b) { return adx->forming(i, b).minusDi; }, shift));
            set(K2, line(adx->main(), [adx](std::size_t i, const Bar& b) { return adx->forming(i, b).main; }, shift));
            set(L2, line(adx->main(), [adx](std::size_t i, const Bar& b) { return adx->forming(i, b).main; }, shift + 1));
            break;
          }
          case Kind::Other:
            break;
        }
      } catch (const std::exception& e) {
        return where + ": " + e.what();
      }
      check.indicators.push_back(std::move(c));
    }
  }
  for (std::size_t g = 0; g < impl->groups.size(); ++g)
    for (std::size_t h = 0; h < g; ++h)
      if (impl->groups[h].sameAs < 0 && votesAlike(impl->groups[h], impl->groups[g])) {
        impl->groups[g].sameAs = static_cast<int>(h);
        break;
      }
  return SignalPlan(std::move(impl));
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
      if (group.threshold == 0) continue;  // if(thr!=0): the group never fires
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
