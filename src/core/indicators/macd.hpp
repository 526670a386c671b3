#pragma once

// iMACD and iOsMA: main = EMA(fast) - EMA(slow) of an applied price (defined from bar 0),
// signal = simple average of main over `signalPeriod` bars (defined from signalPeriod-1, the
// window sum exact), OsMA = main - signal (defined where signal is).

#include <cstddef>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "indicators/indicator_basics.hpp"
#include "indicators/moving_average.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

struct MacdValues {
  double main;
  double signal;
  double osma;
};

class Macd {
 public:
  Macd(const BarSeries& bars, int fastPeriod, int slowPeriod, int signalPeriod, AppliedPrice price);

  std::size_t size() const { return signal_.inputs().size(); }
  const std::vector<double>& main() const { return signal_.inputs(); }
  const std::vector<double>& signal() const { return signal_.values(); }
  const std::vector<double>& osma() const { return osma_; }
  std::size_t firstDefinedMain() const { return 0; }
  std::size_t firstDefinedSignal() const { return signal_.firstDefined(); }  // also OsMA
  MacdValues forming(std::size_t i, const Bar& partial) const;

 private:
  MovingAverage fast_;
  MovingAverage slow_;
  exact::DoubleAverage signal_;  // holds the main line as its inputs
  std::vector<double> osma_;
};

}  // namespace zorvik
