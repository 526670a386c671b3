#pragma once

// iSAR: Wilder's parabolic stop and reverse with acceleration `step` up to `maximum`. Defined from
// bar 1: it starts in the direction of bar 0's close - open (up when equal) with bar 0's low (up)
// or high (down) as the stop and its high (up) or low (down) as the extreme point; bar 1 takes
// that stop and is tested like any later bar.

#include <cstddef>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

class ParabolicSar {
 public:
  ParabolicSar(const BarSeries& bars, double step, double maximum);

  std::size_t size() const { return values_.size(); }
  const std::vector<double>& values() const { return values_; }
  std::size_t firstDefined() const { return 1; }
  double forming(std::size_t i, const Bar& partial) const;

 private:
  struct State {
    double sar;
    double extreme;
    double factor;
    bool rising;
  };
  // Bar i from the state after bar i-1 and `bound`, the stop's limit from bars i-1 and i-2
  // (the lower of their lows when rising, else the higher of their highs); i >= 1.
  State step(std::size_t i, const State& before, double bound, double high, double low) const;
  State stateAfter(std::size_t j) const;  // j >= 1
  double boundAfter(std::size_t j) const { return carry_[j].bound; }

  double step_;
  double maximum_;
  exact::PointScale scale_;  // (prices are used as stored; the digits are still checked)
  // What bar i+1 needs of bar i beyond its value: the extreme point, the factor (negative while
  // falling) and the stop's bound.
  struct Carry {
    double extreme;
    double factor;
    double bound;
  };
  std::vector<Carry> carry_;
  double firstOpen_ = 0;
  double firstClose_ = 0;
  double firstHigh_ = 0;
  double firstLow_ = 0;
  std::vector<double> values_;
};

}  // namespace zorvik
