#include "indicators/exact_sums.hpp"

#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zorvik::exact {

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr Int128 kExactInDouble = Int128(1) << 53;

int bitLength(U128 v) {
  const auto hi = static_cast<std::uint64_t>(v >> 64);
  if (hi != 0) return 128 - std::countl_zero(hi);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(v));
}

// |x| = mantissa * 2^exponent for a finite x (0 has mantissa 0).
struct Parts {
  std::uint64_t mantissa;
  int exponent;
  bool negative;
};

Parts partsOf(double x) {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
  const bool negative = (bits >> 63) != 0;
  if (biased == 0) return {fraction, -1074, negative};  // subnormal
  return {fraction | (std::uint64_t(1) << 52), biased - 1075, negative};
}

// The exponent of the lowest set bit of a finite non-zero double.
int lowestBitExponent(double x) {
  const Parts p = partsOf(x);
  return p.exponent + std::countr_zero(p.mantissa);
}

// The exponent just above a finite non-zero double: |x| < 2^topExponent(x).
int topExponent(double x) {
  const Parts p = partsOf(x);
  return p.exponent + static_cast<int>(std::bit_width(p.mantissa));
}

// x / 2^exponent, an integer when no bit of x lies below 2^exponent (in Acc when it fits).
template <class Acc = Int128>
Acc toFixed(double x, int exponent) {
  const Parts p = partsOf(x);
  if (p.mantissa == 0) return 0;  // (its exponent says nothing: no shift by it)
  const int shift = p.exponent - exponent;
  const Acc magnitude = shift >= 0 ? Acc(p.mantissa) << shift : Acc(p.mantissa >> -shift);
  return p.negative ? -magnitude : magnitude;
}

// d * 2^exponent, exact while the result stays a normal number.
double timesPowerOfTwo(double d, int exponent) {
  if (exponent >= -1022 && exponent <= 1023)
    return d * std::bit_cast<double>(static_cast<std::uint64_t>(exponent + 1023) << 52);
  return std::ldexp(d, exponent);
}

// 64 significant bits (top bit set) times 2^exponent, with `sticky` for any lower bits, rounded
// to the nearest double, ties to even.
double roundSignificand(std::uint64_t bits, bool sticky, int exponent, bool negative) {
  std::uint64_t mantissa = bits >> 11;
  const std::uint64_t rest = bits & 0x7FF;
  if (rest > 0x400 || (rest == 0x400 && (sticky || (mantissa & 1) != 0))) ++mantissa;
  const double magnitude = timesPowerOfTwo(static_cast<double>(mantissa), exponent + 11);
  return negative ? -magnitude : magnitude;
}

// v rounded once to a double, without a division.
double toDouble(Int128 v) {
  // The compiler's 128-bit conversion rounds to nearest, ties to even, as required; the
  // 64-bit one is the cheaper path for the values that fit it.
  if (v >= INT64_MIN && v <= INT64_MAX) return static_cast<double>(static_cast<std::int64_t>(v));
  return static_cast<double>(v);
}

// v * 2^exponent rounded once.
double fromFixed(Int128 v, int exponent) { return timesPowerOfTwo(toDouble(v), exponent); }
double fromFixed(std::int64_t v, int exponent) { return timesPowerOfTwo(static_cast<double>(v), exponent); }

int ceilLog2(int n) {
  int bits = 0;
  while ((1LL << bits) < n) ++bits;
  return bits;
}

}  // namespace

double ratioOfLarge(Int128 num, Int128 den) {
  if (num > -kExactInDouble && num < kExactInDouble && den < kExactInDouble)
    return static_cast<double>(num) / static_cast<double>(den);  // both exact: one rounding
  if (den == 1) return toDouble(num);
  if (num == 0) return 0.0;
  const bool negative = num < 0;
  const U128 a = negative ? U128(0) - U128(num) : U128(num);
  const U128 b = U128(den);
  // 64 significant bits of the quotient, the rest folded into `sticky`.
  U128 q = a / b;
  U128 r = a % b;
  int exponent = 0;
  bool sticky = false;
  if (bitLength(q) > 64) {
    const int drop = bitLength(q) - 64;
    sticky = (q & ((U128(1) << drop) - 1)) != 0 || r != 0;
    q >>= drop;
    exponent = drop;
  } else {
    // den stays far below 2^126 here, so r << 1 cannot overflow.
    while (q < (U128(1) << 63)) {
      r <<= 1;
      q <<= 1;
      if (r >= b) {
        r -= b;
        q |= 1;
      }
      --exponent;
    }
    sticky = r != 0;
  }
  return roundSignificand(static_cast<std::uint64_t>(q), sticky, exponent, negative);
}

PointScale::PointScale(int digits) : digits_(digits), pow10_(1), scale_(1) {
  if (digits < 0 || digits > 9)
    throw std::invalid_argument("digits must be 0 to 9, not " + std::to_string(digits));
  for (int k = 0; k < digits; ++k) pow10_ *= 10;
  scale_ = static_cast<double>(pow10_);
}

void PointScale::refuse(double price) {
  throw std::invalid_argument("price " + std::to_string(price) + " is not a usable number of points");
}

void refuseUnsummable(std::int64_t count) {
  throw std::invalid_argument("prices too large to be summed exactly over " + std::to_string(count) + " bars");
}


void preferLargePages(const void* data, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kLarge - 1);
  if (data && first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

void PointColumn::widen(std::size_t set) {
  wide_.reset(new std::int64_t[size_]);
  preferLargePages(wide_.get(), size_ * sizeof(std::int64_t));
  std::copy(narrow_.get(), narrow_.get() + set, wide_.get());
  narrow_.reset();
}

PointColumn& PointColumn::operator=(const PointColumn& other) {
  if (this == &other) return *this;
  // Indicators copy their columns whole once every element is set.
  resize(other.size_);
  if (other.wide_) {
    narrow_.reset();
    wide_.reset(new std::int64_t[size_]);
    std::copy(other.wide_.get(), other.wide_.get() + size_, wide_.get());
  } else if (size_ > 0) {
    std::copy(other.narrow_.get(), other.narrow_.get() + size_, narrow_.get());
  }
  return *this;
}

void PointScale::termsOf(AppliedPrice p, const BarSeries& bars, std::size_t from, std::size_t count,
                         const SumLimit& limit, std::int64_t* out) const {
  const double* open = bars.open.data() + from;
  const double* high = bars.high.data() + from;
  const double* low = bars.low.data() + from;
  const double* close = bars.close.data() + from;
  // Local copies: the stores to `out` cannot change them, so they stay in registers.
  const PointScale scale = *this;
  const SumLimit bound = limit;
  auto each = [&](auto termsAt) {
    for (std::size_t k = 0; k < count; ++k) {
      const std::int64_t t = termsAt(k);
      bound.check(t);
      out[k] = t;
    }
  };
  switch (p) {
    case AppliedPrice::Close: each([&](std::size_t k) { return scale.points(close[k]); }); return;
    case AppliedPrice::Open: each([&](std::size_t k) { return scale.points(open[k]); }); return;
    case AppliedPrice::High: each([&](std::size_t k) { return scale.points(high[k]); }); return;
    case AppliedPrice::Low: each([&](std::size_t k) { return scale.points(low[k]); }); return;
    case AppliedPrice::Median: each([&](std::size_t k) { return scale.points(high[k]) + scale.points(low[k]); }); return;
    case AppliedPrice::Typical:
      each([&](std::size_t k) { return scale.points(high[k]) + scale.points(low[k]) + scale.points(close[k]); });
      return;
    case AppliedPrice::Weighted:
      each([&](std::size_t k) { return scale.points(high[k]) + scale.points(low[k]) + 2 * scale.points(close[k]); });
      return;
  }
}

std::int64_t PointScale::terms(AppliedPrice p, std::int64_t open, std::int64_t high, std::int64_t low,
                               std::int64_t close) {
  switch (p) {
    case AppliedPrice::Close: return close;
    case AppliedPrice::Open: return open;
    case AppliedPrice::High: return high;
    case AppliedPrice::Low: return low;
    case AppliedPrice::Median: return high + low;
    case AppliedPrice::Typical: return high + low + close;
    case AppliedPrice::Weighted: return high + low + 2 * close;
  }
  return close;
}

// ---------------------------------------------------------------------------------------------

namespace {

ValueRange rangeOf(const std::vector<double>& x, std::size_t start) {
  ValueRange range;
  for (std::size_t j = start; j < x.size(); ++j) range.add(x[j]);
  return range;
}

}  // namespace

DoubleAverage::DoubleAverage(std::vector<double> x, std::size_t start, int period, MaMethod method)
    : period_(period), method_(method), start_(start), x_(std::move(x)) {
  compute(rangeOf(x_, start_));
}

DoubleAverage::DoubleAverage(std::vector<double> x, std::size_t start, int period, MaMethod method,
                             const ValueRange& range)
    : period_(period), method_(method), start_(start), x_(std::move(x)) {
  compute(range);
}

void DoubleAverage::compute(const ValueRange& range) {
  const int period = period_;
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  const std::size_t n = x_.size();
  out_.assign(std::min(start_, n), std::numeric_limits<double>::quiet_NaN());
  if (start_ >= n) return;
  out_.reserve(n);
  preferLargePages(out_);

  if (!range.finite()) throw std::domain_error("an averaged value is not a finite number");
  const int low = range.low();
  const int top = range.top();
  exponent_ = range.anyNonZero() ? low : 0;
  topExponent_ = range.anyNonZero() ? top : 0;
  // The weighted sum needs room for period * (period+1)/2 * max|x|.
  if (range.anyNonZero() && top - low + 2 * ceilLog2(period + 1) + 2 > 124)
    throw std::domain_error("the averaged values span too many orders of magnitude to be summed exactly");
  // The running sums fit 64 bits when the largest of them (and what is added on the way), at
  // 2^exponent, stays below 2^63 (with a margin for the rounding of this estimate).
  const double p = period;
  const double reach = range.largest() * (method_ == MaMethod::LinearWeighted ? p * (p + 1) / 2 + 2 * p : p + 1);
  if (std::ldexp(reach, -exponent_) < 0x1.ffp62)
    computeWith<std::int64_t>();
  else
    computeWith<Int128>();
}

template <class Acc>
void DoubleAverage::computeWith() {
  switch (method_) {
    case MaMethod::Simple: computeAll<MaMethod::Simple, Acc>(); break;
    case MaMethod::Exponential: computeAll<MaMethod::Exponential, Acc>(); break;
    case MaMethod::Smoothed: computeAll<MaMethod::Smoothed, Acc>(); break;
    case MaMethod::LinearWeighted: computeAll<MaMethod::LinearWeighted, Acc>(); break;
  }
}

// Running sums in registers: the window gains x[i] and loses x[i-period]; the weighted sum gains
// period*x[i] and loses the previous window.
template <MaMethod M, class Acc>
void DoubleAverage::computeAll() {
  const std::size_t n = x_.size();
  const auto p = static_cast<std::size_t>(period_);
  const double* x = x_.data();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const int exponent = exponent_;
  const double period = period_;
  const double weights = static_cast<double>(period_) * (period_ + 1) / 2;
  const double a = 2.0 / (period_ + 1);
  Acc window = 0;
  Acc weighted = 0;
  double previous = 0;
  // The window's values as fixed, each converted once: the one leaving is read back here.
  std::vector<Acc> fixed;
  if constexpr (M == MaMethod::Simple || M == MaMethod::LinearWeighted) fixed.assign(std::bit_ceil(p), Acc(0));
  Acc* ring = fixed.data();
  const std::size_t mask = fixed.size() - 1;
  // A block of values at a time into a local buffer: the sums stay in registers, and the output
  // grows once a block.
  constexpr std::size_t kBlock = 256;
  double values[kBlock];
  for (std::size_t from = start_; from < n; from += kBlock) {
    const std::size_t to = std::min(n, from + kBlock);
    for (std::size_t i = from; i < to; ++i) {
      const std::size_t k = i - start_;  // how many values came before this one
      double& value = values[i - from];
      if constexpr (M == MaMethod::Simple || M == MaMethod::LinearWeighted) {
        const Acc xi = toFixed<Acc>(x[i], exponent);
        if constexpr (M == MaMethod::LinearWeighted) weighted += static_cast<Acc>(period_) * xi - window;
        const Acc leaving = k >= p ? ring[(k - p) & mask] : Acc(0);
        window += xi - leaving;
        ring[k & mask] = xi;
        if (k + 1 < p)
          value = nan;
        else
          value = M == MaMethod::Simple ? fromFixed(window, exponent) / period : fromFixed(weighted, exponent) / weights;
      } else if constexpr (M == MaMethod::Exponential) {
        previous = k == 0 ? x[i] : x[i] * a + previous * (1 - a);
        if (k + 1 >= p) {
          value = previous;
        } else {
          warmUp_.push_back(previous);
          value = nan;
        }
      } else {
        if (k < p) {
          window += toFixed<Acc>(x[i], exponent);
          if (k + 1 == p) previous = fromFixed(window, exponent) / period;
          value = k + 1 == p ? previous : nan;
        } else {
          previous = (previous * (period - 1) + x[i]) / period;
          value = previous;
        }
      }
    }
    out_.insert(out_.end(), values, values + (to - from));
  }
}

Int128 DoubleAverage::windowSum(std::size_t i, Int128 xi, int exponent) const {
  const auto p = static_cast<std::size_t>(period_);
  Int128 sum = xi;
  for (std::size_t j = i - start_ >= p ? i + 1 - p : start_; j < i; ++j) sum += toFixed(x_[j], exponent);
  return sum;
}

Int128 DoubleAverage::weightedSum(std::size_t i, Int128 xi, int exponent) const {
  const auto p = static_cast<std::size_t>(period_);
  Int128 sum = static_cast<Int128>(period_) * xi;
  for (std::size_t j = i - start_ >= p ? i + 1 - p : start_; j < i; ++j)
    sum += static_cast<Int128>(p - (i - j)) * toFixed(x_[j], exponent);
  return sum;
}

// The window re-summed at the finest exponent of its values, so that the completed bar gives its
// series value bit for bit.
double DoubleAverage::forming(std::size_t i, double xi) const {
  if (i > out_.size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < start_) return std::numeric_limits<double>::quiet_NaN();
  if (!std::isfinite(xi)) throw std::domain_error("an averaged value is not a finite number");
  int exponent = exponent_;
  if (xi != 0) exponent = std::min(exponent, lowestBitExponent(xi));
  // A finer exponent shifts the stored sums; refuse rather than overflow.
  const int top = xi == 0 ? topExponent_ : std::max(topExponent_, topExponent(xi));
  if (top - exponent + 2 * ceilLog2(period_ + 1) + 2 > 124)
    throw std::domain_error("the averaged values span too many orders of magnitude to be summed exactly");
  const auto p = static_cast<std::size_t>(period_);
  const std::size_t k = i - start_;
  const bool full = k + 1 >= p;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  switch (method_) {
    case MaMethod::Simple:
      return full ? fromFixed(windowSum(i, toFixed(xi, exponent), exponent), exponent) / period_ : nan;
    case MaMethod::LinearWeighted:
      return full ? fromFixed(weightedSum(i, toFixed(xi, exponent), exponent), exponent) /
                        (static_cast<double>(period_) * (period_ + 1) / 2)
                  : nan;
    case MaMethod::Exponential: {
      if (!full) return nan;
      const double a = 2.0 / (period_ + 1);
      if (k == 0) return xi;
      const double previous = k - 1 < warmUp_.size() ? warmUp_[k - 1] : out_[i - 1];
      return xi * a + previous * (1 - a);
    }
    case MaMethod::Smoothed:
      if (!full) return nan;
      if (k + 1 == p) return fromFixed(windowSum(i, toFixed(xi, exponent), exponent), exponent) / period_;
      return (out_[i - 1] * (period_ - 1) + xi) / period_;
  }
  return nan;
}

}  // namespace zorvik::exact
