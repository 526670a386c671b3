#include "indicators/stochastic.hpp"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include "indicators/window_extreme.hpp"

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void checkPeriod(int value, const char* name) {
  if (value < 1) throw std::invalid_argument(std::string(name) + " must be at least 1, not " + std::to_string(value));
}

}  // namespace

Stochastic::Stochastic(const BarSeries& bars, int kPeriod, int dPeriod, int slowing, MaMethod method,
                       StochasticPriceField field)
    : kPeriod_(kPeriod), slowing_(slowing), field_(field), scale_(bars.digits), limit_(slowing) {
  checkPeriod(kPeriod, "%K period");
  checkPeriod(dPeriod, "%D period");
  checkPeriod(slowing, "slowing");
  const std::size_t n = bars.size();
  const auto kp = static_cast<std::size_t>(kPeriod);
  const auto sl = static_cast<std::size_t>(slowing);
  const bool lowHigh = field == StochasticPriceField::LowHigh;
  close_.resize(n);
  if (lowHigh) {
    low_.resize(n);
    high_.resize(n);
  }
  std::vector<double> main;
  main.reserve(n);
  exact::preferLargePages(main);
  exact::ValueRange range;  // of %K, for the signal line's sums
  // The two sums over `slowing` bars, and a ring of the terms that leave them.
  struct Terms {
    std::int64_t num;
    std::int64_t den;
  };
  std::vector<Terms> leaving(std::bit_ceil(sl), Terms{0, 0});
  const std::size_t mask = leaving.size() - 1;
  std::int64_t num = 0;
  std::int64_t den = 0;
  WindowExtreme<std::int64_t, std::less<>> lowest(kp);
  WindowExtreme<std::int64_t, std::greater<>> highest(kp);
  const exact::PointScale scale = scale_;
  const exact::SumLimit limit = limit_;  // (a copy in registers)
  const double* closes = bars.close.data();
  const double* lows = bars.low.data();
  const double* highs = bars.high.data();
  const std::size_t first = firstDefinedMain();
  constexpr std::size_t kBlock = exact::PointScale::kBlock;
  // A block of bars at a time: the points first (each bar's close, low, high in that order), then
  // the window sums (branches, short dependencies), then the quotients of the block, which the
  // processor can overlap.
  std::int64_t closePoints[kBlock];
  std::int64_t lowPoints[kBlock];
  std::int64_t highPoints[kBlock];
  std::int64_t nums[kBlock];
  std::int64_t dens[kBlock];
  for (std::size_t from = 0; from < n; from += kBlock) {
    const std::size_t count = std::min(kBlock, n - from);
    for (std::size_t k = 0; k < count; ++k) {
      closePoints[k] = scale.points(closes[from + k]);
      if (lowHigh) {
        lowPoints[k] = scale.points(lows[from + k]);
        highPoints[k] = scale.points(highs[from + k]);
      }
    }
    close_.setBlock(from, closePoints, count);
    if (lowHigh) {
      low_.setBlock(from, lowPoints, count);
      high_.setBlock(from, highPoints, count);
    }
    const std::int64_t* blockLows = lowHigh ? lowPoints : closePoints;
    const std::int64_t* blockHighs = lowHigh ? highPoints : closePoints;
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = from + k;
      const std::int64_t close = closePoints[k];
      const std::int64_t lo = lowest.push(i, blockLows[k]);
      const std::int64_t hi = highest.push(i, blockHighs[k]);
      limit.check(hi - lo);
      // Bars without a full %K window add nothing to the sums over `slowing` bars.
      const Terms t = i + 1 >= kp ? Terms{close - lo, hi - lo} : Terms{0, 0};
      const Terms out = i >= sl ? leaving[(i - sl) & mask] : Terms{0, 0};
      num += t.num - out.num;
      den += t.den - out.den;
      leaving[i & mask] = t;
      nums[k] = num;
      dens[k] = den;
    }
    const std::size_t begin = std::min(count, from >= first ? 0 : first - from);
    main.insert(main.end(), begin, kNaN);
    double values[kBlock];
    quotients(nums + begin, dens + begin, count - begin, values);
    exact::ValueRange blockRange;  // (apart from `range`, whose address the average takes)
    for (std::size_t k = 0; k < count - begin; ++k) blockRange.add(values[k]);
    range.add(blockRange);
    main.insert(main.end(), values, values + (count - begin));
  }
  signal_ = exact::DoubleAverage(std::move(main), first, dPeriod, method, range);
}

// mainOf() of a block: num/den are 0 <= num <= den, so when den < 2^53 (and 10^digits is) every
// quotient is rounded once from exact operands; the block's divisions then run independently,
// two at a time where the compiler pairs them.
void Stochastic::quotients(const std::int64_t* nums, const std::int64_t* dens, std::size_t count, double* out) const {
  constexpr std::int64_t exactInDouble = std::int64_t(1) << 53;
  std::int64_t largest = 0;
  for (std::size_t k = 0; k < count; ++k) largest = std::max(largest, dens[k]);
  if (largest >= exactInDouble || scale_.pow10() >= exactInDouble) {
    for (std::size_t k = 0; k < count; ++k) out[k] = mainOf(nums[k], dens[k]);
    return;
  }
  const double unit = static_cast<double>(scale_.pow10());
  double num[kQuotientBlock];
  double den[kQuotientBlock];
  for (std::size_t from = 0; from < count; from += kQuotientBlock) {
    const std::size_t m = std::min(kQuotientBlock, count - from);
    for (std::size_t k = 0; k < m; ++k) {
      num[k] = static_cast<double>(nums[from + k]);
      den[k] = static_cast<double>(dens[from + k]);
    }
    double* q = out + from;
    for (std::size_t k = 0; k < m; ++k) q[k] = num[k] / unit / (den[k] / unit) * 100.0;
    for (std::size_t k = 0; k < m; ++k)
      if (den[k] == 0) q[k] = 100.0;
  }
}

// Bar i's window re-summed from the completed bars' points and the partial bar: the same exact
// sums as the series, so the completed bar gives its series value bit for bit.
StochasticValues Stochastic::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < firstDefinedMain()) return {kNaN, kNaN};
  const auto kp = static_cast<std::size_t>(kPeriod_);
  const auto sl = static_cast<std::size_t>(slowing_);
  const std::int64_t close = scale_.points(partial.close);
  std::int64_t lowest = field_ == StochasticPriceField::LowHigh ? scale_.points(partial.low) : close;
  std::int64_t highest = field_ == StochasticPriceField::LowHigh ? scale_.points(partial.high) : close;
  for (std::size_t j = i + 1 - kp; j < i; ++j) {
    lowest = std::min(lowest, lowAt(j));
    highest = std::max(highest, highAt(j));
  }
  limit_.check(highest - lowest);
  std::int64_t num = close - lowest;
  std::int64_t den = highest - lowest;
  // The completed bars of the slowing window, each with its own %K window.
  for (std::size_t j = i + 1 - sl; j < i; ++j) {
    if (j + 1 < kp) continue;
    std::int64_t lo = lowAt(j);
    std::int64_t hi = highAt(j);
    for (std::size_t m = j + 1 - kp; m < j; ++m) {
      lo = std::min(lo, lowAt(m));
      hi = std::max(hi, highAt(m));
    }
    num += close_[j] - lo;
    den += hi - lo;
  }
  StochasticValues v{};
  v.main = mainOf(num, den);
  v.signal = signal_.forming(i, v.main);
  return v;
}

}  // namespace zorvik
