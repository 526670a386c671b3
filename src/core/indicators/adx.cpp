#include "indicators/adx.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

Adx::Adx(const BarSeries& bars, int period) : period_(period), alpha_(2.0 / (period + 1)), scale_(bars.digits) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  const std::size_t n = bars.size();
  high_.resize(n);
  low_.resize(n);
  close_.resize(n);
  state_.resize(n);
  main_.assign(n, kNaN);
  plusDi_.assign(n, kNaN);
  minusDi_.assign(n, kNaN);
  for (std::size_t i = 0; i < n; ++i) {
    high_[i] = scale_.points(bars.high[i]);
    low_[i] = scale_.points(bars.low[i]);
    close_[i] = scale_.points(bars.close[i]);
    if (i == 0) continue;
    state_[i] = step(i, high_[i], low_[i]);
    const AdxValues v = valuesOf(state_[i]);
    main_[i] = v.main;
    plusDi_[i] = v.plusDi;
    minusDi_[i] = v.minusDi;
  }
}

Adx::State Adx::step(std::size_t i, std::int64_t high, std::int64_t low) const {
  std::int64_t plusDm = high - high_[i - 1];
  std::int64_t minusDm = low_[i - 1] - low;
  if (plusDm < 0) plusDm = 0;
  if (minusDm < 0) minusDm = 0;
  if (plusDm == minusDm)
    plusDm = minusDm = 0;
  else if (plusDm < minusDm)
    plusDm = 0;
  else
    minusDm = 0;
  const std::int64_t prevClose = close_[i - 1];
  const std::int64_t trueRange = std::max(high, prevClose) - std::min(low, prevClose);
  const double plusRatio = trueRange == 0 ? 0.0 : exact::ratio(plusDm, trueRange);
  const double minusRatio = trueRange == 0 ? 0.0 : exact::ratio(minusDm, trueRange);
  State s{};
  if (i == 1) {
    s.plus = plusRatio;
    s.minus = minusRatio;
  } else {
    s.plus = plusRatio * alpha_ + state_[i - 1].plus * (1 - alpha_);
    s.minus = minusRatio * alpha_ + state_[i - 1].minus * (1 - alpha_);
  }
  const double plusDi = 100.0 * s.plus;
  const double minusDi = 100.0 * s.minus;
  const double sum = plusDi + minusDi;
  const double dx = sum == 0 ? 0.0 : 100.0 * std::fabs(plusDi - minusDi) / sum;
  s.adx = i == 1 ? dx : dx * alpha_ + state_[i - 1].adx * (1 - alpha_);
  return s;
}

AdxValues Adx::valuesOf(const State& s) const { return {s.adx, 100.0 * s.plus, 100.0 * s.minus}; }

AdxValues Adx::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < 1) return {kNaN, kNaN, kNaN};
  return valuesOf(step(i, scale_.points(partial.high), scale_.points(partial.low)));
}

}  // namespace zorvik
