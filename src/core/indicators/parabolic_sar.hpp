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
  State step(std::size_t i, double high, double low) const;

  double step_;
  double maximum_;
  exact::PointScale scale_;
  std::vector<double> high_;
  std::vector<double> low_;
  double firstOpen_ = 0;
  double firstClose_ = 0;
  std::vector<State> state_;
  std::vector<double> values_;
};

}  // namespace zorvik
