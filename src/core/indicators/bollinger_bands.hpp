#pragma once

// iBands: middle = simple average of an applied price over `period` bars; upper/lower = middle
// +/- deviation x the population standard deviation of the same `period` prices. Defined from
// bar period-1. The sums of prices and of squared prices are exact integers of points; the sum
// of squared distances from the mean is rounded once. bands_shift is applied by barAtShift().

#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "indicators/indicator_basics.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

struct BandsValues {
  double upper;
  double lower;
  double middle;
};

class BollingerBands {
 public:
  BollingerBands(const BarSeries& bars, int period, double deviation, AppliedPrice price);

  std::size_t size() const { return middle_.size(); }
  const std::vector<double>& upper() const { return upper_; }
  const std::vector<double>& lower() const { return lower_; }
  const std::vector<double>& middle() const { return middle_; }
  std::size_t firstDefined() const { return static_cast<std::size_t>(period_) - 1; }
  BandsValues forming(std::size_t i, const Bar& partial) const;

 private:
  // Sums in Acc (64 bits where the largest term proves they fit, else 128); false, having
  // stopped, when a term is too large for Acc.
  template <class Acc>
  bool computeAll(const BarSeries& bars);
  template <class Acc>
  BandsValues valuesOf(Acc sum, Acc squares) const;

  int period_;
  double deviation_;
  AppliedPrice price_;
  exact::PointScale scale_;
  exact::SumLimit limit_;
  exact::PointColumn terms_;
  std::vector<double> upper_;
  std::vector<double> lower_;
  std::vector<double> middle_;
};

}  // namespace zorvik
