#pragma once

// The Donchian channel as the generated EA reads it: the highest high and the lowest low of the
// `period` bars before bar i (bars i-period .. i-1; bar i itself is not part of it). Defined from
// bar `period`. A bar's own prices never enter its channel, so the forming value is the series
// value; it is still offered for a bar after the history (i == size()).

#include <cstddef>
#include <vector>

#include "market/bar_series.hpp"

namespace zorvik {

struct DonchianValues {
  double highest;
  double lowest;
};

class DonchianChannel {
 public:
  DonchianChannel(const BarSeries& bars, int period);

  std::size_t size() const { return highest_.size(); }
  const std::vector<double>& highest() const { return highest_; }
  const std::vector<double>& lowest() const { return lowest_; }
  std::size_t firstDefined() const { return static_cast<std::size_t>(period_); }
  DonchianValues forming(std::size_t i, const Bar& partial) const;

 private:
  bool computeAll(const BarSeries& bars, bool comparable);

  int period_;
  std::vector<double> lastHighs_;  // of the last `period` bars, for a bar after the history
  std::vector<double> lastLows_;
  std::vector<double> highest_;
  std::vector<double> lowest_;
};

}  // namespace zorvik
