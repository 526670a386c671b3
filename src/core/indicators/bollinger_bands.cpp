#include "indicators/bollinger_bands.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

BollingerBands::BollingerBands(const BarSeries& bars, int period, double deviation, AppliedPrice price)
    : period_(period), deviation_(deviation), price_(price), scale_(bars.digits) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  if (period > 1'000'000) throw std::invalid_argument("period must be at most 1000000, not " + std::to_string(period));
  if (!std::isfinite(deviation)) throw std::invalid_argument("deviation must be a finite number");
  const std::size_t n = bars.size();
  terms_.resize(n);
  sum_.resize(n);
  squares_.resize(n);
  upper_.resize(n);
  lower_.resize(n);
  middle_.resize(n);
  const auto p = static_cast<std::size_t>(period);
  for (std::size_t i = 0; i < n; ++i) {
    const std::int64_t t = scale_.termsOf(price, bars.open[i], bars.high[i], bars.low[i], bars.close[i]);
    exact::checkSummable(t, period_);
    terms_[i] = t;
    const std::int64_t leaving = i >= p ? terms_[i - p] : 0;
    sum_[i] = (i > 0 ? sum_[i - 1] : 0) + t - leaving;
    squares_[i] = (i > 0 ? squares_[i - 1] : 0) + exact::Int128(t) * t - exact::Int128(leaving) * leaving;
    const BandsValues v = i + 1 >= p ? valuesOf(sum_[i], squares_[i]) : BandsValues{kNaN, kNaN, kNaN};
    upper_[i] = v.upper;
    lower_[i] = v.lower;
    middle_[i] = v.middle;
  }
}

// From the exact sum and sum of squares of the window's terms (units of 1/u, u = units per price):
// the sum of squared distances from the mean is (n*Q - S^2) / (n * u^2), rounded once.
BandsValues BollingerBands::valuesOf(std::int64_t sum, exact::Int128 squares) const {
  const exact::Int128 units = scale_.unitsPerPrice(price_);
  const exact::Int128 n = period_;
  const double middle = exact::ratio(exact::Int128(sum), units) / period_;
  const double squaredDistances = exact::ratio(n * squares - exact::Int128(sum) * sum, n * units * units);
  const double sd = std::sqrt(squaredDistances / period_);
  return {middle + deviation_ * sd, middle - deviation_ * sd, middle};
}

BandsValues BollingerBands::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  const auto p = static_cast<std::size_t>(period_);
  if (i + 1 < p) return {kNaN, kNaN, kNaN};
  const std::int64_t t = scale_.termsOf(price_, partial);
  exact::checkSummable(t, period_);
  const std::int64_t leaving = i >= p ? terms_[i - p] : 0;
  const std::int64_t sum = (i > 0 ? sum_[i - 1] : 0) + t - leaving;
  const exact::Int128 squares =
      (i > 0 ? squares_[i - 1] : 0) + exact::Int128(t) * t - exact::Int128(leaving) * leaving;
  return valuesOf(sum, squares);
}

}  // namespace zorvik
