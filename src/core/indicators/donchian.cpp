#include "indicators/donchian.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include "indicators/exact_sums.hpp"
#include "indicators/window_extreme.hpp"

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

DonchianChannel::DonchianChannel(const BarSeries& bars, int period) : period_(period) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period);
  if (!computeAll(bars, true)) computeAll(bars, false);
  const std::size_t tail = n - std::min(n, p);
  lastHighs_.assign(bars.high.begin() + static_cast<std::ptrdiff_t>(tail), bars.high.end());
  lastLows_.assign(bars.low.begin() + static_cast<std::ptrdiff_t>(tail), bars.low.end());
}

// Bar i's channel is the window of bars i-p .. i-1, i.e. the extremes after bar i-1 entered.
// Returns false, having stopped, at a NaN price unless `comparable` is false.
bool DonchianChannel::computeAll(const BarSeries& bars, bool comparable) {
  const std::size_t n = bars.size();
  const auto p = static_cast<std::size_t>(period_);
  highest_.clear();
  lowest_.clear();
  highest_.reserve(n);
  lowest_.reserve(n);
  exact::preferLargePages(highest_);
  exact::preferLargePages(lowest_);
  const double* highs = bars.high.data();
  const double* lows = bars.low.data();
  WindowExtreme<double, std::greater<>> high(p, comparable);
  WindowExtreme<double, std::less<>> low(p, comparable);
  if (n > 0) {
    highest_.push_back(kNaN);
    lowest_.push_back(kNaN);
  }
  for (std::size_t i = 1; i < n; ++i) {
    const std::size_t entering = i - 1;
    if (comparable && (std::isnan(highs[entering]) || std::isnan(lows[entering]))) return false;
    const double h = high.push(entering, highs[entering]);
    const double l = low.push(entering, lows[entering]);
    highest_.push_back(i >= p ? h : kNaN);
    lowest_.push_back(i >= p ? l : kNaN);
  }
  return true;
}

DonchianValues DonchianChannel::forming(std::size_t i, const Bar&) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  const auto p = static_cast<std::size_t>(period_);
  if (i < p) return {kNaN, kNaN};
  if (i < size()) return {highest_[i], lowest_[i]};
  return {*std::max_element(lastHighs_.begin(), lastHighs_.end()), *std::min_element(lastLows_.begin(), lastLows_.end())};
}

}  // namespace zorvik
