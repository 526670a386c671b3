#include "indicators/moving_average.hpp"

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
  const std::size_t n = bars.size();
  terms_.resize(n);
  sum_.resize(n);
  values_.resize(n);
  if (method == MaMethod::LinearWeighted) weighted_.resize(n);
  if (method == MaMethod::Exponential || method == MaMethod::Smoothed) recursive_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    terms_[i] = exact::PointScale::terms(price, scale_.points(bars.open[i]), scale_.points(bars.high[i]),
                                         scale_.points(bars.low[i]), scale_.points(bars.close[i]));
    const State s = step(i, terms_[i]);
    sum_[i] = s.sum;
    if (!weighted_.empty()) weighted_[i] = s.weighted;
    if (!recursive_.empty()) recursive_[i] = s.recursive;
    values_[i] = s.value;
  }
}

std::size_t MovingAverage::firstDefined() const {
  return method_ == MaMethod::Exponential ? 0 : static_cast<std::size_t>(period_) - 1;
}

// Bar i from the state of bar i-1: the one computation behind both the series and the forming
// value, so the two agree bit for bit.
MovingAverage::State MovingAverage::step(std::size_t i, std::int64_t terms) const {
  const auto n = static_cast<std::size_t>(period_);
  const std::int64_t prevSum = i > 0 ? sum_[i - 1] : 0;
  State s{};
  s.sum = prevSum + terms - (i >= n ? terms_[i - n] : 0);
  s.value = kNaN;
  const std::int64_t units = scale_.unitsPerPrice(price_);
  const bool full = i + 1 >= n;
  switch (method_) {
    case MaMethod::Simple:
      if (full) s.value = exact::ratio(s.sum, units) / period_;
      break;
    case MaMethod::LinearWeighted:
      s.weighted = (i > 0 ? weighted_[i - 1] : 0) - prevSum + static_cast<exact::Int128>(period_) * terms;
      if (full) s.value = exact::ratio(s.weighted, units) / (static_cast<double>(period_) * (period_ + 1) / 2);
      break;
    case MaMethod::Exponential: {
      const double a = 2.0 / (period_ + 1);
      const double p = exact::ratio(terms, units);
      s.recursive = i == 0 ? p : p * a + recursive_[i - 1] * (1 - a);
      s.value = s.recursive;
      break;
    }
    case MaMethod::Smoothed:
      if (i + 1 == n)
        s.recursive = exact::ratio(s.sum, units) / period_;
      else if (i + 1 > n)
        s.recursive = (recursive_[i - 1] * (period_ - 1) + exact::ratio(terms, units)) / period_;
      if (full) s.value = s.recursive;
      break;
  }
  return s;
}

double MovingAverage::forming(std::size_t i, const Bar& partial) const {
  if (i > values_.size()) throw std::out_of_range("forming bar after the end of the series");
  const std::int64_t terms = exact::PointScale::terms(price_, scale_.points(partial.open), scale_.points(partial.high),
                                                      scale_.points(partial.low), scale_.points(partial.close));
  return step(i, terms).value;
}

}  // namespace zorvik
