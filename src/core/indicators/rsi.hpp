#pragma once

// iRSI: Wilder's relative strength index of an applied price. Defined from bar `period` (it
// needs `period` changes). The first average gain and loss are the exact means of the first
// `period` changes, then (previous*(period-1) + current)/period. RSI = 100 - 100/(1 + gain/loss);
// 100 when loss is 0 and gain is not, 50 when both are 0.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "indicators/indicator_basics.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

class Rsi {
 public:
  Rsi(const BarSeries& bars, int period, AppliedPrice price);

  std::size_t size() const { return values_.size(); }
  const std::vector<double>& values() const { return values_; }
  std::size_t firstDefined() const { return static_cast<std::size_t>(period_); }
  double forming(std::size_t i, const Bar& partial) const;

 private:
  struct State {
    std::int64_t gainSum;  // exact sums of the changes while fewer than `period` are known
    std::int64_t lossSum;
    double gain;           // Wilder averages once `period` changes are known
    double loss;
    double value;
  };
  State step(std::size_t i, std::int64_t terms) const;

  int period_;
  AppliedPrice price_;
  exact::PointScale scale_;
  std::vector<std::int64_t> terms_;
  std::vector<State> state_;
  std::vector<double> values_;
};

}  // namespace zorvik
