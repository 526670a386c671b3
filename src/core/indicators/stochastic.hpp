#pragma once

// iStochastic: %K(slowing) = sum(close - lowest) / sum(highest - lowest) * 100 over `slowing`
// bars, lowest/highest over `kPeriod` bars (price field 0: lows/highs, 1: closes); 100 when the
// denominator is 0. Main is defined from bar kPeriod+slowing-2, signal (the `method` average of
// %K over `dPeriod` bars) from main's first bar + dPeriod-1.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "indicators/indicator_basics.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

enum class StochasticPriceField { LowHigh = 0, CloseClose = 1 };  // STO_LOWHIGH, STO_CLOSECLOSE

struct StochasticValues {
  double main;
  double signal;
};

class Stochastic {
 public:
  Stochastic(const BarSeries& bars, int kPeriod, int dPeriod, int slowing, MaMethod method,
             StochasticPriceField field);

  std::size_t size() const { return main_.size(); }
  const std::vector<double>& main() const { return main_; }
  const std::vector<double>& signal() const { return signal_.values(); }
  std::size_t firstDefinedMain() const { return static_cast<std::size_t>(kPeriod_ + slowing_ - 2); }
  std::size_t firstDefinedSignal() const { return signal_.firstDefined(); }
  StochasticValues forming(std::size_t i, const Bar& partial) const;

 private:
  int kPeriod_;
  int slowing_;
  StochasticPriceField field_;
  exact::PointScale scale_;
  std::vector<std::int64_t> low_;    // points of the field's low/high price and of the close
  std::vector<std::int64_t> high_;
  std::vector<std::int64_t> close_;
  std::vector<std::int64_t> lowest_;   // over kPeriod bars ending at each bar
  std::vector<std::int64_t> highest_;
  std::vector<std::int64_t> num_;      // window sums over `slowing` bars ending at each bar
  std::vector<std::int64_t> den_;
  std::vector<double> main_;
  exact::DoubleAverage signal_;
};

}  // namespace zorvik
