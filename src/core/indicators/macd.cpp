#include "indicators/macd.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

int checkedPeriod(int period, const char* name) {
  if (period < 1) throw std::invalid_argument(std::string(name) + " must be at least 1, not " + std::to_string(period));
  if (period > 1'000'000) throw std::invalid_argument("period must be at most 1000000, not " + std::to_string(period));
  return period;
}

}  // namespace

// The two exponential averages (price*a + previous*(1-a), seeded with the first price) in one
// pass over the terms, each price rounded once from them.
Macd::Macd(const BarSeries& bars, int fastPeriod, int slowPeriod, int signalPeriod, AppliedPrice price)
    : price_(price),
      scale_(bars.digits),
      fastLimit_(checkedPeriod(fastPeriod, "fast period")),
      slowLimit_(checkedPeriod(slowPeriod, "slow period")),
      units_(scale_.unitsPerPrice(price)),
      fastAlpha_(2.0 / (fastPeriod + 1)),
      slowAlpha_(2.0 / (slowPeriod + 1)) {
  if (signalPeriod < 1)
    throw std::invalid_argument("signal period must be at least 1, not " + std::to_string(signalPeriod));
  const std::size_t n = bars.size();
  terms_.resize(n);
  emas_.resize(n / kEvery + 1);
  std::vector<double> main;
  main.reserve(n);
  exact::preferLargePages(main);
  Emas e{0, 0};
  exact::ValueRange range;  // of the main line, for the signal line's sums
  std::int64_t block[exact::PointScale::kBlock];
  double values[exact::PointScale::kBlock];
  for (std::size_t from = 0; from < n; from += exact::PointScale::kBlock) {
    const std::size_t count = std::min(exact::PointScale::kBlock, n - from);
    scale_.termsOf(price_, bars, from, count, fastLimit_, block);
    terms_.setBlock(from, block, count);
    // (Gathered apart from `range`, whose address the average below takes: in registers.)
    exact::ValueRange blockRange;
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      slowLimit_.check(block[k]);
      const double p = exact::ratio(block[k], units_);
      e = i == 0 ? Emas{p, p} : next(e, p);
      if (i % kEvery == 0) emas_[i / kEvery] = e;
      const double m = e.fast - e.slow;
      blockRange.add(m);
      values[k] = m;
    }
    range.add(blockRange);
    main.insert(main.end(), values, values + count);
  }
  signal_ = exact::DoubleAverage(std::move(main), 0, signalPeriod, MaMethod::Simple, range);
  const std::vector<double>& mainLine = signal_.inputs();
  const std::vector<double>& signal = signal_.values();
  osma_.reserve(n);
  exact::preferLargePages(osma_);
  for (std::size_t i = 0; i < n; ++i) osma_.push_back(mainLine[i] - signal[i]);
}

Macd::Emas Macd::emasAt(std::size_t j) const {
  const std::size_t at = j / kEvery * kEvery;
  Emas e = emas_[at / kEvery];
  for (std::size_t m = at + 1; m <= j; ++m) e = next(e, exact::ratio(terms_[m], units_));
  return e;
}

std::int64_t Macd::termsOf(const Bar& partial) const {
  const std::int64_t terms = scale_.termsOf(price_, partial);
  fastLimit_.check(terms);
  slowLimit_.check(terms);
  return terms;
}

MacdValues Macd::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  const double p = exact::ratio(termsOf(partial), units_);
  const Emas e = i == 0 ? Emas{p, p} : next(emasAt(i - 1), p);
  MacdValues v{};
  v.main = e.fast - e.slow;
  v.signal = signal_.forming(i, v.main);
  v.osma = v.main - v.signal;
  return v;
}

}  // namespace zorvik
