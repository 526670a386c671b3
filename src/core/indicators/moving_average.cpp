#include "indicators/moving_average.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double appliedPriceOf(const Bar& bar, AppliedPrice price, int digits) {
  const exact::PointScale scale(digits);
  const std::int64_t terms = exact::PointScale::terms(price, scale.points(bar.open), scale.points(bar.high),
                                                      scale.points(bar.low), scale.points(bar.close));
  return exact::ratio(terms, scale.unitsPerPrice(price));
}

MovingAverage::MovingAverage(const BarSeries& bars, int period, MaMethod method, AppliedPrice price)
    : period_(period), method_(method), price_(price), scale_(bars.digits) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  // The weighted sum of period*(period+1)/2 prices must stay far inside 128 bits.
  if (period > 1'000'000) throw std::invalid_argument("period must be at most 1000000, not " + std::to_string(period));
  units_ = scale_.unitsPerPrice(price);
  switch (method) {
    case MaMethod::Simple: computeAll<MaMethod::Simple>(bars); break;
    case MaMethod::Exponential: computeAll<MaMethod::Exponential>(bars); break;
    case MaMethod::Smoothed: computeAll<MaMethod::Smoothed>(bars); break;
    case MaMethod::LinearWeighted: computeAll<MaMethod::LinearWeighted>(bars); break;
  }
}

template <MaMethod M>
void MovingAverage::computeAll(const BarSeries& bars) {
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period_);
  values_.resize(n);
  if (M == MaMethod::Simple || M == MaMethod::LinearWeighted) prefix_.resize(n);
  if (M == MaMethod::Smoothed) prefix_.resize(std::min(n, p));
  if (M == MaMethod::LinearWeighted) weighted_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::int64_t terms = scale_.termsOf(price_, bars.open[i], bars.high[i], bars.low[i], bars.close[i]);
    exact::checkSummable(terms, period_);
    const State s = step<M>(i, terms);
    if (i < prefix_.size()) prefix_[i] = s.prefix;
    if (M == MaMethod::LinearWeighted) weighted_[i] = s.weighted;
    values_[i] = s.value;
  }
}

std::size_t MovingAverage::firstDefined() const {
  return method_ == MaMethod::Exponential ? 0 : static_cast<std::size_t>(period_) - 1;
}

// The sum of the `period` terms ending at bar `end` whose running prefix is `prefixAtEnd` (fewer
// at the start). Each window sum fits in 64 bits, so the wrapped difference is exact.
std::int64_t MovingAverage::windowSum(std::uint64_t prefixAtEnd, std::size_t end) const {
  const auto n = static_cast<std::size_t>(period_);
  return static_cast<std::int64_t>(prefixAtEnd - (end >= n ? prefix_[end - n] : 0));
}

// Bar i from the state of bar i-1: the one computation behind both the series and the forming
// value, so the two agree bit for bit.
template <MaMethod M>
MovingAverage::State MovingAverage::step(std::size_t i, std::int64_t terms) const {
  const auto n = static_cast<std::size_t>(period_);
  const bool full = i + 1 >= n;
  State s{};
  s.value = kNaN;
  if constexpr (M == MaMethod::Simple) {
    s.prefix = (i > 0 ? prefix_[i - 1] : 0) + static_cast<std::uint64_t>(terms);
    if (full) s.value = exact::ratio(windowSum(s.prefix, i), units_) / period_;
  } else if constexpr (M == MaMethod::LinearWeighted) {
    const std::uint64_t prevPrefix = i > 0 ? prefix_[i - 1] : 0;
    const std::int64_t prevWindow = i > 0 ? windowSum(prevPrefix, i - 1) : 0;
    s.prefix = prevPrefix + static_cast<std::uint64_t>(terms);
    s.weighted = (i > 0 ? weighted_[i - 1] : 0) - prevWindow + static_cast<exact::Int128>(period_) * terms;
    if (full) s.value = exact::ratio(s.weighted, units_) / (static_cast<double>(period_) * (period_ + 1) / 2);
  } else if constexpr (M == MaMethod::Exponential) {
    const double a = 2.0 / (period_ + 1);
    const double price = exact::ratio(terms, units_);
    s.value = i == 0 ? price : price * a + values_[i - 1] * (1 - a);
  } else {
    if (i < n) {
      s.prefix = (i > 0 ? prefix_[i - 1] : 0) + static_cast<std::uint64_t>(terms);
      if (i + 1 == n) s.value = exact::ratio(static_cast<std::int64_t>(s.prefix), units_) / period_;
    } else {
      s.value = (values_[i - 1] * (period_ - 1) + exact::ratio(terms, units_)) / period_;
    }
  }
  return s;
}

double MovingAverage::forming(std::size_t i, const Bar& partial) const {
  if (i > values_.size()) throw std::out_of_range("forming bar after the end of the series");
  const std::int64_t terms = scale_.termsOf(price_, partial);
  exact::checkSummable(terms, period_);
  switch (method_) {
    case MaMethod::Simple: return step<MaMethod::Simple>(i, terms).value;
    case MaMethod::Exponential: return step<MaMethod::Exponential>(i, terms).value;
    case MaMethod::Smoothed: return step<MaMethod::Smoothed>(i, terms).value;
    case MaMethod::LinearWeighted: return step<MaMethod::LinearWeighted>(i, terms).value;
  }
  return kNaN;
}

}  // namespace zorvik
