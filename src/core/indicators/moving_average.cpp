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
    : period_(period), method_(method), price_(price), scale_(bars.digits), limit_(period) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  // The weighted sum of period*(period+1)/2 prices must stay far inside 128 bits.
  if (period > 1'000'000) throw std::invalid_argument("period must be at most 1000000, not " + std::to_string(period));
  units_ = scale_.unitsPerPrice(price);
  switch (method) {
    case MaMethod::Simple: computeAll<MaMethod::Simple>(bars); break;
    case MaMethod::Exponential: computeAll<MaMethod::Exponential>(bars); break;
    case MaMethod::Smoothed: computeAll<MaMethod::Smoothed>(bars); break;
    case MaMethod::LinearWeighted:
      // In 64 bits while the weighted sums provably fit, else again in 128.
      if (!computeWeighted<std::int64_t>(bars)) computeWeighted<exact::Int128>(bars);
      break;
  }
}

template <MaMethod M>
void MovingAverage::computeAll(const BarSeries& bars) {
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period_);
  values_.clear();
  values_.reserve(n);
  exact::preferLargePages(values_);
  if (M == MaMethod::Simple) terms_.resize(n);
  if (M == MaMethod::Smoothed) terms_.resize(std::min(n, p));
  const double units = static_cast<double>(units_);
  const double period = period_;
  const bool exactQuotients = units_ < (std::int64_t(1) << 53);  // and every term and sum, by the limit
  const double a = 2.0 / (period_ + 1);
  std::int64_t window = 0;  // the last `period` terms (fewer at the start)
  double previous = 0;      // the recursions' last value
  std::int64_t block[exact::PointScale::kBlock];
  for (std::size_t from = 0; from < n; from += exact::PointScale::kBlock) {
    const std::size_t count = std::min(exact::PointScale::kBlock, n - from);
    scale_.termsOf(price_, bars, from, count, limit_, block);
    if constexpr (M == MaMethod::Simple) terms_.setBlock(from, block, count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const std::int64_t terms = block[k];
      if constexpr (M == MaMethod::Simple) {
        window += terms - (i >= p ? terms_[i - p] : 0);
        if (i + 1 < p)
          values_.push_back(kNaN);
        else
          values_.push_back(exactQuotients ? static_cast<double>(window) / units / period : simpleValue(window));
      } else if constexpr (M == MaMethod::Exponential) {
        const double price = exactQuotients ? static_cast<double>(terms) / units : this->price(terms);
        previous = i == 0 ? price : price * a + previous * (1 - a);
        values_.push_back(previous);
      } else {
        if (i < p) {
          terms_.set(i, terms);
          window += terms;
          previous = i + 1 == p ? simpleValue(window) : kNaN;
        } else {
          const double price = exactQuotients ? static_cast<double>(terms) / units : this->price(terms);
          previous = (previous * (period - 1) + price) / period;
        }
        values_.push_back(previous);
      }
    }
  }
}

// Linear weighted: the weighted sum follows from the previous one and the previous window
// (weighted += period * new - window), both exact. Returns false, having stopped, when a term is
// too large for the weighted sums to be sure to fit `Weighted`.
template <class Weighted>
bool MovingAverage::computeWeighted(const BarSeries& bars) {
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period_);
  values_.clear();
  values_.reserve(n);
  exact::preferLargePages(values_);
  terms_.resize(n);
  // |weighted| <= period*(period+1)/2 * max|terms|.
  const std::int64_t fits =
      sizeof(Weighted) > 8 ? INT64_MAX : INT64_MAX / (static_cast<std::int64_t>(period_) * (period_ + 1) / 2);
  const Weighted period = period_;
  std::int64_t window = 0;
  Weighted weighted = 0;
  std::int64_t block[exact::PointScale::kBlock];
  for (std::size_t from = 0; from < n; from += exact::PointScale::kBlock) {
    const std::size_t count = std::min(exact::PointScale::kBlock, n - from);
    scale_.termsOf(price_, bars, from, count, limit_, block);
    terms_.setBlock(from, block, count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const std::int64_t terms = block[k];
      if (terms > fits || terms < -fits) return false;
      weighted += period * terms - window;
      window += terms - (i >= p ? terms_[i - p] : 0);
      values_.push_back(i + 1 >= p ? weightedValue(weighted) : kNaN);
    }
  }
  return true;
}

std::size_t MovingAverage::firstDefined() const {
  return method_ == MaMethod::Exponential ? 0 : static_cast<std::size_t>(period_) - 1;
}

std::int64_t MovingAverage::windowSum(std::size_t i, std::int64_t terms) const {
  const auto p = static_cast<std::size_t>(period_);
  std::int64_t sum = terms;
  for (std::size_t j = i >= p ? i + 1 - p : 0; j < i; ++j) sum += terms_[j];
  return sum;
}

exact::Int128 MovingAverage::weightedSum(std::size_t i, std::int64_t terms) const {
  const auto p = static_cast<std::size_t>(period_);
  exact::Int128 sum = static_cast<exact::Int128>(period_) * terms;
  for (std::size_t j = i >= p ? i + 1 - p : 0; j < i; ++j)
    sum += static_cast<exact::Int128>(p - (i - j)) * terms_[j];
  return sum;
}

// From the completed bars' terms or values and the partial bar's terms: the same exact sums and
// the same roundings as the series, so the completed bar gives its series value bit for bit.
double MovingAverage::forming(std::size_t i, const Bar& partial) const {
  if (i > values_.size()) throw std::out_of_range("forming bar after the end of the series");
  const std::int64_t terms = scale_.termsOf(price_, partial);
  limit_.check(terms);
  const auto p = static_cast<std::size_t>(period_);
  switch (method_) {
    case MaMethod::Simple: return i + 1 >= p ? simpleValue(windowSum(i, terms)) : kNaN;
    case MaMethod::LinearWeighted: return i + 1 >= p ? weightedValue(weightedSum(i, terms)) : kNaN;
    case MaMethod::Exponential: {
      const double a = 2.0 / (period_ + 1);
      return i == 0 ? price(terms) : price(terms) * a + values_[i - 1] * (1 - a);
    }
    case MaMethod::Smoothed:
      if (i + 1 < p) return kNaN;
      if (i + 1 == p) return simpleValue(windowSum(i, terms));
      return (values_[i - 1] * (period_ - 1) + price(terms)) / period_;
  }
  return kNaN;
}

}  // namespace zorvik
