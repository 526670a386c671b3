#include "indicators/donchian.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

DonchianChannel::DonchianChannel(const BarSeries& bars, int period)
    : period_(period), high_(bars.high), low_(bars.low) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period);
  highest_.assign(n, kNaN);
  lowest_.assign(n, kNaN);
  // Candidates among bars i-p .. i-1: prices falling (highs) or rising (lows) from the front.
  // (Monotonic queues in plain arrays: each bar enters once, so n slots never run out.)
  std::vector<std::size_t> highs(n);
  std::vector<std::size_t> lows(n);
  std::size_t highHead = 0, highTail = 0, lowHead = 0, lowTail = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const std::size_t entering = i - 1;
    while (highTail > highHead && high_[highs[highTail - 1]] <= high_[entering]) --highTail;
    highs[highTail++] = entering;
    while (lowTail > lowHead && low_[lows[lowTail - 1]] >= low_[entering]) --lowTail;
    lows[lowTail++] = entering;
    if (highs[highHead] + p < i) ++highHead;
    if (lows[lowHead] + p < i) ++lowHead;
    if (i >= p) {
      highest_[i] = high_[highs[highHead]];
      lowest_[i] = low_[lows[lowHead]];
    }
  }
}

DonchianValues DonchianChannel::forming(std::size_t i, const Bar&) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  const auto p = static_cast<std::size_t>(period_);
  if (i < p) return {kNaN, kNaN};
  if (i < size()) return {highest_[i], lowest_[i]};
  const auto first = high_.begin() + static_cast<std::ptrdiff_t>(i - p);
  const auto end = high_.begin() + static_cast<std::ptrdiff_t>(i);
  const auto firstLow = low_.begin() + static_cast<std::ptrdiff_t>(i - p);
  return {*std::max_element(first, end), *std::min_element(firstLow, low_.begin() + static_cast<std::ptrdiff_t>(i))};
}

}  // namespace zorvik
