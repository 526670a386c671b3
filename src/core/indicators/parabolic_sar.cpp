#include "indicators/parabolic_sar.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "indicators/exact_sums.hpp"

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
  high_.resize(n);
  low_.resize(n);
  state_.resize(n);
  values_.assign(n, kNaN);
  if (n == 0) return;
  firstOpen_ = price(bars.open[0]);
  firstClose_ = price(bars.close[0]);
  high_[0] = price(bars.high[0]);
  low_[0] = price(bars.low[0]);
  state_[0] = State{kNaN, kNaN, kNaN, true};
  for (std::size_t i = 1; i < n; ++i) {
    high_[i] = price(bars.high[i]);
    low_[i] = price(bars.low[i]);
    state_[i] = this->step(i, high_[i], low_[i]);
    values_[i] = state_[i].sar;
  }
}

ParabolicSar::State ParabolicSar::step(std::size_t i, double high, double low) const {
  State s{};
  if (i == 1) {
    // The seed from the first bar; the second bar takes it unmoved.
    s.rising = firstClose_ >= firstOpen_;
    s.sar = s.rising ? low_[0] : high_[0];
    s.extreme = s.rising ? high_[0] : low_[0];
    s.factor = step_;
  } else {
    s = state_[i - 1];
    s.sar = s.sar + s.factor * (s.extreme - s.sar);
    if (s.rising)
      s.sar = std::min({s.sar, low_[i - 1], low_[i - 2]});
    else
      s.sar = std::max({s.sar, high_[i - 1], high_[i - 2]});
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

double ParabolicSar::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < 1) return kNaN;
  if (!std::isfinite(partial.high) || !std::isfinite(partial.low))
    throw std::invalid_argument("a price is not a finite number");
  return step(i, partial.high, partial.low).sar;
}

}  // namespace zorvik
