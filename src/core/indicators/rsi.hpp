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
  struct Averages {
    double gain;
    double loss;
  };
  // Wilder's step: the averages after a change of `change` terms. Gain and loss go side by side
  // through the same operations (one rounding each, as apart); at most one of up and down is not
  // 0, and 0 over the units is +0, so one quotient serves both.
  __extension__ typedef double Pair __attribute__((vector_size(16)));  // gain, loss
  Pair step(Pair before, std::int64_t change) const {
    const double moved = exact::ratio(change > 0 ? change : -change, units_);
    const Pair x = {change > 0 ? moved : 0.0, change < 0 ? moved : 0.0};
    return (before * static_cast<double>(period_ - 1) + x) / static_cast<double>(period_);
  }
  Averages next(const Averages& before, std::int64_t change) const {
    const Pair r = step(Pair{before.gain, before.loss}, change);
    return {r[0], r[1]};
  }
  // The first averages: the exact means of the first `period` changes.
  Averages seed(std::int64_t gainSum, std::int64_t lossSum) const {
    return {exact::ratio(gainSum, units_) / period_, exact::ratio(lossSum, units_) / period_};
  }
  static double valueOf(const Averages& a) {
    if (a.loss == 0) return a.gain > 0 ? 100.0 : 50.0;
    return 100.0 - 100.0 / (1.0 + a.gain / a.loss);
  }
  Averages averagesAt(std::size_t j) const;  // j >= period
  // Whether `previous` and every one of `terms` lie within +-2^52 (and the units below 2^53).
  bool smallTerms(std::int64_t previous, const std::int64_t* terms, std::size_t count) const;
  // step() over a block of such terms, bars from .. from+count-1 (all after the seed): the values
  // into `out`, the kept averages into averages_; returns the averages after the last.
  Pair stepsWithSmallChanges(Pair averages, std::int64_t previous, const std::int64_t* terms, std::size_t from,
                             std::size_t count, double* out);

  // The averages are kept at every kEvery-th bar; a bar between is replayed from its terms.
  static constexpr std::size_t kEvery = 8;

  int period_;
  AppliedPrice price_;
  exact::PointScale scale_;
  exact::SumLimit limit_;
  std::int64_t units_;
  exact::PointColumn terms_;
  Averages first_{};                // at bar `period`
  std::vector<Averages> averages_;  // at bars 0, kEvery, 2*kEvery, ... from bar `period` on
  std::vector<double> values_;
};

}  // namespace zorvik
