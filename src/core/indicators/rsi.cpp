#include "indicators/rsi.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

Rsi::Rsi(const BarSeries& bars, int period, AppliedPrice price)
    : period_(period), price_(price), scale_(bars.digits), limit_(period) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  units_ = scale_.unitsPerPrice(price);
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period);
  terms_.resize(n);
  averages_.resize(n / kEvery + 1);
  values_.reserve(n);
  exact::preferLargePages(values_);
  std::int64_t gainSum = 0;
  std::int64_t lossSum = 0;
  Averages a{kNaN, kNaN};
  std::int64_t previous = 0;
  std::int64_t block[exact::PointScale::kBlock];
  for (std::size_t from = 0; from < n; from += exact::PointScale::kBlock) {
    const std::size_t count = std::min(exact::PointScale::kBlock, n - from);
    scale_.termsOf(price_, bars, from, count, limit_, block);
    terms_.setBlock(from, block, count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const std::int64_t terms = block[k];
      const std::int64_t change = terms - previous;
      previous = terms;
      if (i == 0 || i < p) {
        if (i > 0) (change > 0 ? gainSum : lossSum) += change > 0 ? change : -change;
        values_.push_back(kNaN);
        continue;
      }
      if (i == p) {
        (change > 0 ? gainSum : lossSum) += change > 0 ? change : -change;
        a = first_ = seed(gainSum, lossSum);
      } else {
        a = next(a, change);
      }
      if (i % kEvery == 0) averages_[i / kEvery] = a;
      values_.push_back(valueOf(a));
    }
  }
}

Rsi::Averages Rsi::averagesAt(std::size_t j) const {
  const auto p = static_cast<std::size_t>(period_);
  std::size_t at = j / kEvery * kEvery;
  Averages a = averages_[at / kEvery];
  if (at <= p) {
    at = p;
    a = first_;
  }
  for (std::size_t m = at + 1; m <= j; ++m) a = next(a, terms_[m] - terms_[m - 1]);
  return a;
}

double Rsi::forming(std::size_t i, const Bar& partial) const {
  if (i > values_.size()) throw std::out_of_range("forming bar after the end of the series");
  const std::int64_t terms = scale_.termsOf(price_, partial);
  limit_.check(terms);
  const auto p = static_cast<std::size_t>(period_);
  if (i < p || i == 0) return kNaN;
  const std::int64_t change = terms - terms_[i - 1];
  if (i > p) return valueOf(next(averagesAt(i - 1), change));
  std::int64_t gainSum = change > 0 ? change : 0;
  std::int64_t lossSum = change < 0 ? -change : 0;
  for (std::size_t j = 1; j < i; ++j) {
    const std::int64_t c = terms_[j] - terms_[j - 1];
    (c > 0 ? gainSum : lossSum) += c > 0 ? c : -c;
  }
  return valueOf(seed(gainSum, lossSum));
}

}  // namespace zorvik
