#pragma once

// Exact arithmetic under the indicators: prices as whole numbers of points, and sums of doubles
// kept as integers of a common power of two. Not part of the indicators' interface.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "indicators/indicator_basics.hpp"
#include "market/bar_series.hpp"

namespace zorvik::exact {

// GCC and Clang on 64-bit targets; __extension__ keeps -Wpedantic quiet about it.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 U128Bits;  // wraps: for running sums whose differences fit

// The nearest double to num/den (ties to even), den > 0: the exact quotient rounded once.
double ratioOfLarge(Int128 num, Int128 den);
inline double ratio(Int128 num, Int128 den) {
  constexpr Int128 exactInDouble = Int128(1) << 53;
  if (num > -exactInDouble && num < exactInDouble && den < exactInDouble)
    return static_cast<double>(num) / static_cast<double>(den);  // both exact: one rounding
  return ratioOfLarge(num, den);
}
// The same for 64-bit operands, the common case kept to 64-bit comparisons.
inline double ratio(std::int64_t num, std::int64_t den) {
  constexpr std::int64_t exactInDouble = std::int64_t(1) << 53;
  if (num > -exactInDouble && num < exactInDouble && den < exactInDouble)
    return static_cast<double>(num) / static_cast<double>(den);
  return ratioOfLarge(num, den);
}

// The lines and columns of a long history are megabytes written once from front to back: asks
// for large pages for [data, data + bytes) where the system hands them out on request, sparing
// the kernel a fault for every 4 KiB. Only advice; nothing changes where it is not taken.
void preferLargePages(const void* data, std::size_t bytes);
template <class T>
void preferLargePages(const std::vector<T>& v) {
  preferLargePages(v.data(), v.capacity() * sizeof(T));
}

// Refuses (std::invalid_argument) a value whose sum over `count` values (or twice it) could
// leave 64 bits.
[[noreturn]] void refuseUnsummable(std::int64_t count);
inline void checkSummable(std::int64_t value, std::int64_t count) {
  const Int128 reach = Int128(value) * count * 2;
  if (reach > INT64_MAX || reach < -INT64_MAX) refuseUnsummable(count);
}

// The same check as a bound worked out once per series: one comparison a bar.
class SumLimit {
 public:
  explicit SumLimit(std::int64_t count) : count_(count), largest_(INT64_MAX / (2 * std::max<std::int64_t>(count, 1))) {}
  void check(std::int64_t value) const {
    if (value > largest_ || value < -largest_) refuseUnsummable(count_);
  }
  std::int64_t largest() const { return largest_; }  // the largest |value| that passes

 private:
  std::int64_t count_;
  std::int64_t largest_;
};

// Whole numbers of points kept per bar in 32 bits while every one fits, in 64 bits from the
// first that does not: the common prices take half the memory. Not initialised by resize(): the
// elements are set in order, each before it is read.
class PointColumn {
 public:
  PointColumn() = default;
  PointColumn(const PointColumn& other) { *this = other; }
  PointColumn(PointColumn&&) noexcept = default;
  PointColumn& operator=(const PointColumn& other);
  PointColumn& operator=(PointColumn&&) noexcept = default;

  void resize(std::size_t n) {
    narrow_.reset(new std::int32_t[n]);
    wide_.reset();
    size_ = n;
    preferLargePages(narrow_.get(), n * sizeof(std::int32_t));
  }
  std::size_t size() const { return size_; }
  void set(std::size_t j, std::int64_t v) {
    if (!wide_) {
      if (v == static_cast<std::int32_t>(v)) {
        narrow_[j] = static_cast<std::int32_t>(v);
        return;
      }
      widen(j);
    }
    wide_[j] = v;
  }
  // Elements from .. from+count-1, as set() one after the other would leave them, in one pass
  // while they all fit.
  void setBlock(std::size_t from, const std::int64_t* v, std::size_t count) {
    if (!wide_) {
      std::int32_t* out = narrow_.get() + from;
      bool fit = true;
      for (std::size_t k = 0; k < count; ++k) {
        out[k] = static_cast<std::int32_t>(v[k]);
        fit &= v[k] == static_cast<std::int32_t>(v[k]);
      }
      if (fit) return;
      std::size_t k = 0;
      while (v[k] == static_cast<std::int32_t>(v[k])) ++k;
      widen(from + k);
      from += k;
      v += k;
      count -= k;
    }
    std::copy(v, v + count, wide_.get() + from);
  }
  std::int64_t operator[](std::size_t j) const { return wide_ ? wide_[j] : narrow_[j]; }

 private:
  void widen(std::size_t set);  // elements 0 .. set-1 are set

  std::unique_ptr<std::int32_t[]> narrow_;
  std::unique_ptr<std::int64_t[]> wide_;
  std::size_t size_ = 0;
};

// Prices of a series as whole numbers of points.
class PointScale {
 public:
  explicit PointScale(int digits);  // digits 0..9, else std::invalid_argument
  int digits() const { return digits_; }
  // The nearest whole number of points; std::invalid_argument for NaN, infinity and prices of
  // 10^15 points or more.
  std::int64_t points(double price) const {
    const double scaled = price * scale_;
    if (!(scaled < 1e15 && scaled > -1e15)) refuse(price);
    return scaled >= 0 ? static_cast<std::int64_t>(scaled + 0.5) : -static_cast<std::int64_t>(0.5 - scaled);
  }
  // The numerator (in points) and the denominator (a multiple of points per unit) of an applied
  // price: the price is terms / (denominator(p) * 10^digits).
  static int denominator(AppliedPrice p) {
    switch (p) {
      case AppliedPrice::Median: return 2;
      case AppliedPrice::Typical: return 3;
      case AppliedPrice::Weighted: return 4;
      default: return 1;
    }
  }
  static std::int64_t terms(AppliedPrice p, std::int64_t open, std::int64_t high, std::int64_t low,
                            std::int64_t close);
  // The same from prices, converting only those the applied price uses.
  std::int64_t termsOf(AppliedPrice p, double open, double high, double low, double close) const {
    switch (p) {
      case AppliedPrice::Close: return points(close);
      case AppliedPrice::Open: return points(open);
      case AppliedPrice::High: return points(high);
      case AppliedPrice::Low: return points(low);
      case AppliedPrice::Median: return points(high) + points(low);
      case AppliedPrice::Typical: return points(high) + points(low) + points(close);
      case AppliedPrice::Weighted: return points(high) + points(low) + 2 * points(close);
    }
    return points(close);
  }
  std::int64_t termsOf(AppliedPrice p, const Bar& b) const { return termsOf(p, b.open, b.high, b.low, b.close); }
  // The terms of bars [from, from + count) into `out`, each checked against `limit` in order:
  // one pass over the columns the applied price uses.
  void termsOf(AppliedPrice p, const BarSeries& bars, std::size_t from, std::size_t count, const SumLimit& limit,
               std::int64_t* out) const;
  // Bars are converted a block at a time into a buffer of this size. Each indicator writes the
  // block loop out itself: behind a shared visitor taking a lambda, the sums it captures lost
  // their registers and the EMA ran about 70 percent slower.
  static constexpr std::size_t kBlock = 256;
  std::int64_t unitsPerPrice(AppliedPrice p) const { return denominator(p) * pow10_; }
  std::int64_t pow10() const { return pow10_; }
  double toPrice(std::int64_t pts) const { return ratio(pts, pow10_); }

 private:
  [[noreturn]] static void refuse(double price);

  int digits_;
  std::int64_t pow10_;
  double scale_;
};

// What a DoubleAverage needs to know of its values before it sums them: whether all are finite,
// the largest magnitude, and the span of their bits (from the lowest set bit of any to just above
// the highest). A producer of the values gathers it as it writes them, sparing the average a
// second pass over megabytes.
class ValueRange {
 public:
  void add(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    finite_ = finite_ && biased != 0x7FF;
    largest_ = std::max(largest_, std::fabs(v));
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased == 0) {
      if (fraction == 0) return;  // a zero adds no bits
      low_ = std::min(low_, -1074 + std::countr_zero(fraction));
      top_ = std::max(top_, -1074 + static_cast<int>(std::bit_width(fraction)));
      return;
    }
    // A normal number: the implicit bit 52 bounds the zero count and sets the top.
    low_ = std::min(low_, biased - 1075 + std::countr_zero(fraction | (std::uint64_t(1) << 52)));
    top_ = std::max(top_, biased - 1022);
  }
  void add(const ValueRange& other) {
    finite_ = finite_ && other.finite_;
    largest_ = std::max(largest_, other.largest_);
    low_ = std::min(low_, other.low_);
    top_ = std::max(top_, other.top_);
  }
  bool finite() const { return finite_; }
  double largest() const { return largest_; }
  bool anyNonZero() const { return top_ >= low_; }
  int low() const { return low_; }  // the exponent of the lowest set bit of any value
  int top() const { return top_; }  // every |value| < 2^top

 private:
  bool finite_ = true;
  double largest_ = 0;
  int low_ = std::numeric_limits<int>::max();
  int top_ = std::numeric_limits<int>::min();
};

// A moving average of doubles (the MACD main line, the stochastic %K) whose window sums are
// exact: every value from `start` on is an integer multiple of 2^exponent, so the sums are kept
// as integers and rounded once. Values before `start` are ignored (NaN in the output). It keeps
// the values it averages (inputs()), from which the forming value re-sums its window.
class DoubleAverage {
 public:
  // Values before `start` are not read. Throws std::domain_error when the values span more
  // bits than an exact 128-bit sum can hold (not for prices of any market).
  DoubleAverage() = default;
  DoubleAverage(std::vector<double> x, std::size_t start, int period, MaMethod method);
  // The same with the range of x[start..] already gathered.
  DoubleAverage(std::vector<double> x, std::size_t start, int period, MaMethod method, const ValueRange& range);

  const std::vector<double>& inputs() const { return x_; }
  const std::vector<double>& values() const { return out_; }
  std::size_t firstDefined() const { return start_ + static_cast<std::size_t>(period_) - 1; }
  // The average at bar i when x[i] is `xi` (x[start..i-1] as given to the constructor).
  double forming(std::size_t i, double xi) const;

 private:
  void compute(const ValueRange& range);
  template <class Acc>
  void computeWith();
  template <MaMethod M, class Acc>
  void computeAll();
  // x[i-period+1 .. i-1] (from `start` on) and xi at 2^exponent: their sum and their sum
  // weighted period..1, newest first.
  Int128 windowSum(std::size_t i, Int128 xi, int exponent) const;
  Int128 weightedSum(std::size_t i, Int128 xi, int exponent) const;

  int period_ = 1;
  MaMethod method_ = MaMethod::Simple;
  std::size_t start_ = 0;
  int exponent_ = 0;               // the common power of two of the fixed values
  int topExponent_ = 0;            // every |x| < 2^topExponent_
  std::vector<double> x_;
  std::vector<double> warmUp_;     // exponential: the recursion while its output is still NaN
  std::vector<double> out_;        // also the recursions' state
};

}  // namespace zorvik::exact
