#pragma once

// iADX: +DM = high - previous high, -DM = previous low - low (0 when negative, both 0 when equal,
// else the smaller one 0); true range = max(high, previous close) - min(low, previous close);
// +DI = 100 x EMA(+DM/TR), -DI likewise (a bar with TR = 0 gives 0); DX = 100 x |+DI - -DI| /
// (+DI + -DI) (0 when the sum is 0); main = EMA(DX). Every EMA has a = 2/(period+1) and is seeded
// with its value at bar 1, the first bar with a previous bar: all three lines are defined from 1.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/exact_sums.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

struct AdxValues {
  double main;
  double plusDi;
  double minusDi;
};

class Adx {
 public:
  Adx(const BarSeries& bars, int period);

  std::size_t size() const { return main_.size(); }
  const std::vector<double>& main() const { return main_; }
  const std::vector<double>& plusDi() const { return plusDi_; }
  const std::vector<double>& minusDi() const { return minusDi_; }
  std::size_t firstDefined() const { return 1; }
  AdxValues forming(std::size_t i, const Bar& partial) const;

 private:
  struct State {
    double plus;   // EMA of +DM/TR
    double minus;  // EMA of -DM/TR
    double adx;    // EMA of DX
  };
  struct Points {
    std::int64_t high, low, close;
  };
  // Bar i from bar i-1's points and state (i >= 1).
  State step(std::size_t i, std::int64_t high, std::int64_t low, const Points& previous, const State& before) const;
  AdxValues valuesOf(const State& s) const;

  int period_;
  double alpha_;
  exact::PointScale scale_;
  exact::PointColumn high_;
  exact::PointColumn low_;
  exact::PointColumn close_;
  State stateAfter(std::size_t j) const;  // j >= 1

  // The +DI and -DI recursions' state (the main line is its own) at every kEvery-th bar; a bar
  // between is replayed from the points.
  static constexpr std::size_t kEvery = 8;
  struct Averages {
    double plus, minus;
  };
  std::vector<Averages> averages_;
  std::vector<double> main_;
  std::vector<double> plusDi_;
  std::vector<double> minusDi_;
};

}  // namespace zorvik
