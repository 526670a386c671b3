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
  // The averages as one vector of two: as a struct, the compiler kept them in memory between bars.
  Pair averages = {kNaN, kNaN};
  std::int64_t previous = 0;
  std::int64_t block[exact::PointScale::kBlock];
  // A block's values go to a local buffer and are appended together: with an append per value,
  // whose growth may call the allocator, the averages and the parameters lived in memory.
  double out[exact::PointScale::kBlock];
  for (std::size_t from = 0; from < n; from += exact::PointScale::kBlock) {
    const std::size_t count = std::min(exact::PointScale::kBlock, n - from);
    scale_.termsOf(price_, bars, from, count, limit_, block);
    terms_.setBlock(from, block, count);
    if (from > p && smallTerms(previous, block, count)) {
      // Past the seed, with every change below 2^53 and so exact in a double: the steps divide
      // plainly, as exact::ratio would, and without its rare call the averages stay in registers.
      averages = stepsWithSmallChanges(averages, previous, block, from, count, out);
      previous = block[count - 1];
      values_.insert(values_.end(), out, out + count);
      continue;
    }
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const std::int64_t terms = block[k];
      const std::int64_t change = terms - previous;
      previous = terms;
      if (i == 0 || i < p) {
        if (i > 0) (change > 0 ? gainSum : lossSum) += change > 0 ? change : -change;
        out[k] = kNaN;
        continue;
      }
      if (i == p) {
        (change > 0 ? gainSum : lossSum) += change > 0 ? change : -change;
        first_ = seed(gainSum, lossSum);
        averages = Pair{first_.gain, first_.loss};
      } else {
        averages = step(averages, change);
      }
      const Averages a{averages[0], averages[1]};
      if (i % kEvery == 0) averages_[i / kEvery] = a;
      out[k] = valueOf(a);
    }
    values_.insert(values_.end(), out, out + count);
  }
}

bool Rsi::smallTerms(std::int64_t previous, const std::int64_t* terms, std::size_t count) const {
  constexpr std::int64_t small = std::int64_t(1) << 52;  // two of them differ by less than 2^53
  bool all = previous < small && previous > -small && units_ < 2 * small;
  for (std::size_t k = 0; k < count; ++k) all &= terms[k] < small && terms[k] > -small;
  return all;
}

Rsi::Pair Rsi::stepsWithSmallChanges(Pair averages, std::int64_t previous, const std::int64_t* terms,
                                     std::size_t from, std::size_t count, double* out) {
  const double units = static_cast<double>(units_);
  const double keep = static_cast<double>(period_ - 1);
  const double period = static_cast<double>(period_);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = from + k;
    const std::int64_t change = terms[k] - previous;
    previous = terms[k];
    const double moved = static_cast<double>(change > 0 ? change : -change) / units;
    const Pair x = {change > 0 ? moved : 0.0, change < 0 ? moved : 0.0};
    averages = (averages * keep + x) / period;
    const Averages a{averages[0], averages[1]};
    if (i % kEvery == 0) averages_[i / kEvery] = a;
    out[k] = valueOf(a);
  }
  return averages;
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
