#pragma once

// iMA: simple, exponential, smoothed and linear weighted moving averages of an applied price.
// Defined from bar period-1 (simple, smoothed, linear weighted) or bar 0 (exponential, seeded
// with the first bar's price). The exponential average is price*a + previous*(1-a) with
// a = 2/(period+1); the smoothed one is seeded with the simple average of the first `period`
// bars, then (previous*(period-1) + price)/period. ma_shift is applied by barAtShift().

#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "indicators/indicator_basics.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

class MovingAverage {
 public:
  MovingAverage(const BarSeries& bars, int period, MaMethod method, AppliedPrice price);

  std::size_t size() const { return values_.size(); }
  const std::vector<double>& values() const { return values_; }
  std::size_t firstDefined() const;
  double forming(std::size_t i, const Bar& partial) const;

 private:
  struct State {
    std::uint64_t prefix;    // sum of all terms so far, modulo 2^64 (window sums are differences)
    exact::Int128 weighted;  // weights period..1, newest first
    double value;
  };
  template <MaMethod M>
  State step(std::size_t i, std::int64_t terms) const;
  template <MaMethod M>
  void computeAll(const BarSeries& bars);
  std::int64_t windowSum(std::uint64_t prefixAtEnd, std::size_t end) const;

  int period_;
  MaMethod method_;
  AppliedPrice price_;
  exact::PointScale scale_;
  std::int64_t units_;                  // terms per unit of price: denominator * 10^digits
  std::vector<std::uint64_t> prefix_;   // simple, linear weighted: every bar; smoothed: the first period
  std::vector<exact::Int128> weighted_; // linear weighted only
  std::vector<double> values_;          // also the exponential and smoothed recursions' state
};

// The applied price of a bar, rounded once from its whole points (what the averages use).
double appliedPriceOf(const Bar& bar, AppliedPrice price, int digits);

}  // namespace zorvik
