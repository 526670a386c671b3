#include "indicators/adx.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

inline Adx::State Adx::step(std::size_t i, std::int64_t high, std::int64_t low, const Points& previous,
                     const State& before) const {
  std::int64_t plusDm = high - previous.high;
  std::int64_t minusDm = previous.low - low;
  if (plusDm < 0) plusDm = 0;
  if (minusDm < 0) minusDm = 0;
  if (plusDm == minusDm)
    plusDm = minusDm = 0;
  else if (plusDm < minusDm)
    plusDm = 0;
  else
    minusDm = 0;
  const std::int64_t prevClose = previous.close;
  const std::int64_t trueRange = std::max(high, prevClose) - std::min(low, prevClose);
  // At most one of the two is not 0, and 0 over a positive range is +0: one division serves both.
  double plusRatio = 0.0;
  double minusRatio = 0.0;
  if (trueRange > 0) {
    const double r = exact::ratio(plusDm + minusDm, trueRange);
    plusRatio = plusDm > 0 ? r : 0.0;
    minusRatio = minusDm > 0 ? r : 0.0;
  } else if (trueRange < 0) {  // (a high below its low)
    plusRatio = exact::ratio(plusDm, trueRange);
    minusRatio = exact::ratio(minusDm, trueRange);
  }
  const double alpha = alpha_;
  State s{};
  if (i == 1) {
    s.plus = plusRatio;
    s.minus = minusRatio;
  } else {
    s.plus = plusRatio * alpha + before.plus * (1 - alpha);
    s.minus = minusRatio * alpha + before.minus * (1 - alpha);
  }
  const double plusDi = 100.0 * s.plus;
  const double minusDi = 100.0 * s.minus;
  const double sum = plusDi + minusDi;
  const double dx = sum == 0 ? 0.0 : 100.0 * std::fabs(plusDi - minusDi) / sum;
  s.adx = i == 1 ? dx : dx * alpha + before.adx * (1 - alpha);
  return s;
}

Adx::Adx(const BarSeries& bars, int period) : period_(period), alpha_(2.0 / (period + 1)), scale_(bars.digits) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  const std::size_t n = bars.size();
  high_.resize(n);
  low_.resize(n);
  close_.resize(n);
  averages_.resize(n / kEvery + 1);
  for (std::vector<double>* line : {&main_, &plusDi_, &minusDi_}) {
    line->reserve(n);
    exact::preferLargePages(*line);
  }
  if (n == 0) return;
  const exact::PointScale scale = scale_;
  const double* highs = bars.high.data();
  const double* lows = bars.low.data();
  const double* closes = bars.close.data();
  Points previous{scale.points(highs[0]), scale.points(lows[0]), scale.points(closes[0])};
  high_.set(0, previous.high);
  low_.set(0, previous.low);
  close_.set(0, previous.close);
  main_.push_back(kNaN);
  plusDi_.push_back(kNaN);
  minusDi_.push_back(kNaN);
  State state{kNaN, kNaN, kNaN};
  constexpr std::size_t kBlock = exact::PointScale::kBlock;
  // A block of bars at a time: their points first (each bar's high, low, close in that order),
  // then the recursions.
  std::int64_t highPoints[kBlock];
  std::int64_t lowPoints[kBlock];
  std::int64_t closePoints[kBlock];
  for (std::size_t from = 1; from < n; from += kBlock) {
    const std::size_t count = std::min(kBlock, n - from);
    for (std::size_t k = 0; k < count; ++k) {
      highPoints[k] = scale.points(highs[from + k]);
      lowPoints[k] = scale.points(lows[from + k]);
      closePoints[k] = scale.points(closes[from + k]);
    }
    high_.setBlock(from, highPoints, count);
    low_.setBlock(from, lowPoints, count);
    close_.setBlock(from, closePoints, count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const Points now{highPoints[k], lowPoints[k], closePoints[k]};
      state = step(i, now.high, now.low, previous, state);
      if (i % kEvery == 0) averages_[i / kEvery] = {state.plus, state.minus};
      const AdxValues v = valuesOf(state);
      main_.push_back(v.main);
      plusDi_.push_back(v.plusDi);
      minusDi_.push_back(v.minusDi);
      previous = now;
    }
  }
}

AdxValues Adx::valuesOf(const State& s) const { return {s.adx, 100.0 * s.plus, 100.0 * s.minus}; }

AdxValues Adx::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < 1) return {kNaN, kNaN, kNaN};
  const Points previous{high_[i - 1], low_[i - 1], close_[i - 1]};
  const State before = i >= 2 ? stateAfter(i - 1) : State{kNaN, kNaN, kNaN};
  return valuesOf(step(i, scale_.points(partial.high), scale_.points(partial.low), previous, before));
}

Adx::State Adx::stateAfter(std::size_t j) const {
  std::size_t at = j / kEvery * kEvery;
  State s{kNaN, kNaN, kNaN};
  if (at == 0) {
    at = 1;
    s = step(1, high_[1], low_[1], Points{high_[0], low_[0], close_[0]}, s);
  } else {
    s = {averages_[at / kEvery].plus, averages_[at / kEvery].minus, kNaN};
  }
  for (std::size_t m = at + 1; m <= j; ++m) s = step(m, high_[m], low_[m], Points{high_[m - 1], low_[m - 1], close_[m - 1]}, s);
  s.adx = main_[j];  // the main line's own state, replayed above without it
  return s;
}

}  // namespace zorvik
