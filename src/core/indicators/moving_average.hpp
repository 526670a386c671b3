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
  template <MaMethod M>
  void computeAll(const BarSeries& bars);
  template <class Weighted>
  bool computeWeighted(const BarSeries& bars);
  // The terms of bars i-period+1 .. i-1 (those before bar 0 as 0) and `terms` for bar i: their
  // sum and, weights period..1 newest first, their weighted sum.
  std::int64_t windowSum(std::size_t i, std::int64_t terms) const;
  exact::Int128 weightedSum(std::size_t i, std::int64_t terms) const;
  double simpleValue(std::int64_t sum) const { return exact::ratio(sum, units_) / period_; }
  template <class Weighted>
  double weightedValue(Weighted weighted) const {
    return exact::ratio(weighted, static_cast<Weighted>(units_)) / (static_cast<double>(period_) * (period_ + 1) / 2);
  }
  double price(std::int64_t terms) const { return exact::ratio(terms, units_); }

  int period_;
  MaMethod method_;
  AppliedPrice price_;
  exact::PointScale scale_;
  exact::SumLimit limit_;
  std::int64_t units_;          // terms per unit of price: denominator * 10^digits
  exact::PointColumn terms_;    // simple, linear weighted: every bar; smoothed: the first period
  std::vector<double> values_;  // also the exponential and smoothed recursions' state
};

// The applied price of a bar, rounded once from its whole points (what the averages use).
double appliedPriceOf(const Bar& bar, AppliedPrice price, int digits);

}  // namespace zorvik
