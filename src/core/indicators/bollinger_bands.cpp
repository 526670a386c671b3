#include "indicators/bollinger_bands.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

BollingerBands::BollingerBands(const BarSeries& bars, int period, double deviation, AppliedPrice price)
    : period_(period), deviation_(deviation), price_(price), scale_(bars.digits), limit_(period) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  if (period > 1'000'000) throw std::invalid_argument("period must be at most 1000000, not " + std::to_string(period));
  if (!std::isfinite(deviation)) throw std::invalid_argument("deviation must be a finite number");
  if (!computeAll<std::int64_t>(bars)) computeAll<exact::Int128>(bars);
}

template <class Acc>
bool BollingerBands::computeAll(const BarSeries& bars) {
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period_);
  // 64 bits hold period * squares and sum^2 while period * |term| < 2^31.5, and the divisor
  // period * units^2 while it fits.
  const exact::Int128 units = scale_.unitsPerPrice(price_);
  const bool wide = sizeof(Acc) > 8;
  const std::int64_t fits = wide ? INT64_MAX : 3'000'000'000LL / period_;
  if (!wide && exact::Int128(period_) * units * units > INT64_MAX) return false;
  terms_.resize(n);
  for (std::vector<double>* line : {&upper_, &lower_, &middle_}) {
    line->clear();
    line->reserve(n);
    exact::preferLargePages(*line);
  }
  Acc sum = 0;
  Acc squares = 0;
  std::int64_t block[exact::PointScale::kBlock];
  for (std::size_t from = 0; from < n; from += exact::PointScale::kBlock) {
    const std::size_t count = std::min(exact::PointScale::kBlock, n - from);
    scale_.termsOf(price_, bars, from, count, limit_, block);
    terms_.setBlock(from, block, count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const std::int64_t t = block[k];
      if (t > fits || t < -fits) return false;
      const std::int64_t leaving = i >= p ? terms_[i - p] : 0;
      sum += t - leaving;
      squares += Acc(t) * t - Acc(leaving) * leaving;
      const BandsValues v = i + 1 >= p ? valuesOf<Acc>(sum, squares) : BandsValues{kNaN, kNaN, kNaN};
      upper_.push_back(v.upper);
      lower_.push_back(v.lower);
      middle_.push_back(v.middle);
    }
  }
  return true;
}

// From the exact sum and sum of squares of the window's terms (units of 1/u, u = units per price):
// the sum of squared distances from the mean is (n*Q - S^2) / (n * u^2), rounded once.
template <class Acc>
BandsValues BollingerBands::valuesOf(Acc sum, Acc squares) const {
  const Acc units = scale_.unitsPerPrice(price_);
  const Acc n = period_;
  const double middle = exact::ratio(sum, units) / period_;
  const double squaredDistances = exact::ratio(n * squares - sum * sum, n * units * units);
  const double sd = std::sqrt(squaredDistances / period_);
  return {middle + deviation_ * sd, middle - deviation_ * sd, middle};
}

BandsValues BollingerBands::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  const auto p = static_cast<std::size_t>(period_);
  if (i + 1 < p) return {kNaN, kNaN, kNaN};
  const std::int64_t t = scale_.termsOf(price_, partial);
  limit_.check(t);
  exact::Int128 sum = t;
  exact::Int128 squares = exact::Int128(t) * t;
  for (std::size_t j = i + 1 - p; j < i; ++j) {
    const exact::Int128 u = terms_[j];
    sum += u;
    squares += u * u;
  }
  return valuesOf<exact::Int128>(sum, squares);
}

}  // namespace zorvik
