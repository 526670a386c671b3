#pragma once

// iMACD and iOsMA: main = EMA(fast) - EMA(slow) of an applied price (defined from bar 0),
// signal = simple average of main over `signalPeriod` bars (defined from signalPeriod-1, the
// window sum exact), OsMA = main - signal (defined where signal is).

#include <cstddef>
#include <cstdint>
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
  struct Emas {
    double fast;
    double slow;
  };
  // Both averages after a bar whose price is `price` (bar 0: the price itself).
  Emas next(const Emas& before, double price) const {
    return {price * fastAlpha_ + before.fast * (1 - fastAlpha_), price * slowAlpha_ + before.slow * (1 - slowAlpha_)};
  }
  std::int64_t termsOf(const Bar& partial) const;
  Emas emasAt(std::size_t j) const;

  // The averages are kept at every kEvery-th bar; a bar between is replayed from its terms.
  static constexpr std::size_t kEvery = 8;

  AppliedPrice price_;
  exact::PointScale scale_;
  exact::SumLimit fastLimit_;
  exact::SumLimit slowLimit_;
  std::int64_t units_;
  double fastAlpha_;
  double slowAlpha_;
  exact::PointColumn terms_;
  std::vector<Emas> emas_;
  exact::DoubleAverage signal_;  // holds the main line as its inputs
  std::vector<double> osma_;
};

}  // namespace zorvik
