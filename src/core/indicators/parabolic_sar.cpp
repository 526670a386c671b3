#include "indicators/parabolic_sar.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The first of the two on a tie, as a scan in bar order picks it.
double lower(double a, double b) { return b < a ? b : a; }
double higher(double a, double b) { return b > a ? b : a; }

}  // namespace

ParabolicSar::ParabolicSar(const BarSeries& bars, double step, double maximum)
    : step_(step), maximum_(maximum), scale_(bars.digits) {
  if (!(step > 0) || !std::isfinite(step)) throw std::invalid_argument("step must be a positive number");
  if (!(maximum > 0) || !std::isfinite(maximum)) throw std::invalid_argument("maximum must be a positive number");
  // The prices as stored: nothing is summed, so nothing needs whole points.
  auto price = [](double p) {
    if (!std::isfinite(p)) throw std::invalid_argument("a price is not a finite number");
    return p;
  };
  const std::size_t n = bars.size();
  carry_.reserve(n);
  values_.reserve(n);
  exact::preferLargePages(carry_);
  exact::preferLargePages(values_);
  if (n == 0) return;
  const double* highs = bars.high.data();
  const double* lows = bars.low.data();
  firstOpen_ = price(bars.open[0]);
  firstClose_ = price(bars.close[0]);
  firstHigh_ = price(highs[0]);
  firstLow_ = price(lows[0]);
  values_.push_back(kNaN);
  carry_.push_back({kNaN, kNaN, kNaN});
  State s{kNaN, kNaN, kNaN, true};
  double previousHigh = firstHigh_;
  double previousLow = firstLow_;
  double bound = kNaN;
  for (std::size_t i = 1; i < n; ++i) {
    const double high = price(highs[i]);
    const double low = price(lows[i]);
    s = this->step(i, s, bound, high, low);
    values_.push_back(s.sar);
    bound = s.rising ? lower(low, previousLow) : higher(high, previousHigh);
    carry_.push_back({s.extreme, s.rising ? s.factor : -s.factor, bound});
    previousHigh = high;
    previousLow = low;
  }
}

ParabolicSar::State ParabolicSar::step(std::size_t i, const State& before, double bound, double high,
                                       double low) const {
  State s{};
  if (i == 1) {
    // The seed from the first bar; the second bar takes it unmoved.
    s.rising = firstClose_ >= firstOpen_;
    s.sar = s.rising ? firstLow_ : firstHigh_;
    s.extreme = s.rising ? firstHigh_ : firstLow_;
    s.factor = step_;
  } else {
    s = before;
    s.sar = s.sar + s.factor * (s.extreme - s.sar);
    s.sar = s.rising ? lower(s.sar, bound) : higher(s.sar, bound);
  }
  if (s.rising && low < s.sar) {
    s = State{s.extreme, low, step_, false};
  } else if (!s.rising && high > s.sar) {
    s = State{s.extreme, high, step_, true};
  } else if (s.rising && high > s.extreme) {
    s.extreme = high;
    s.factor = std::min(s.factor + step_, maximum_);
  } else if (!s.rising && low < s.extreme) {
    s.extreme = low;
    s.factor = std::min(s.factor + step_, maximum_);
  }
  return s;
}

ParabolicSar::State ParabolicSar::stateAfter(std::size_t j) const {
  const Carry& c = carry_[j];
  return {values_[j], c.extreme, std::fabs(c.factor), c.factor > 0};
}

double ParabolicSar::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < 1) return kNaN;
  if (!std::isfinite(partial.high) || !std::isfinite(partial.low))
    throw std::invalid_argument("a price is not a finite number");
  if (i == 1) return step(1, State{}, kNaN, partial.high, partial.low).sar;
  return step(i, stateAfter(i - 1), boundAfter(i - 1), partial.high, partial.low).sar;
}

}  // namespace zorvik
