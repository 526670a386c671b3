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

  std::size_t size() const { return signal_.inputs().size(); }
  const std::vector<double>& main() const { return signal_.inputs(); }
  const std::vector<double>& signal() const { return signal_.values(); }
  std::size_t firstDefinedMain() const { return static_cast<std::size_t>(kPeriod_ + slowing_ - 2); }
  std::size_t firstDefinedSignal() const { return signal_.firstDefined(); }
  StochasticValues forming(std::size_t i, const Bar& partial) const;

 private:
  // %K from the window sums over `slowing` bars of close - lowest and highest - lowest.
  double mainOf(std::int64_t num, std::int64_t den) const {
    return den == 0 ? 100.0 : scale_.toPrice(num) / scale_.toPrice(den) * 100.0;
  }
  static constexpr std::size_t kQuotientBlock = 64;
  void quotients(const std::int64_t* nums, const std::int64_t* dens, std::size_t count, double* out) const;
  std::int64_t lowAt(std::size_t j) const { return field_ == StochasticPriceField::LowHigh ? low_[j] : close_[j]; }
  std::int64_t highAt(std::size_t j) const { return field_ == StochasticPriceField::LowHigh ? high_[j] : close_[j]; }

  int kPeriod_;
  int slowing_;
  StochasticPriceField field_;
  exact::PointScale scale_;
  exact::SumLimit limit_;
  exact::PointColumn close_;  // points of every bar's close
  exact::PointColumn low_;    // and of its low and high (the low-high field only)
  exact::PointColumn high_;
  exact::DoubleAverage signal_;  // holds the main line as its inputs
};

}  // namespace zorvik
