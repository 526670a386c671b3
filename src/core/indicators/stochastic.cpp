#include "indicators/stochastic.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void checkPeriod(int value, const char* name) {
  if (value < 1) throw std::invalid_argument(std::string(name) + " must be at least 1, not " + std::to_string(value));
}

}  // namespace

Stochastic::Stochastic(const BarSeries& bars, int kPeriod, int dPeriod, int slowing, MaMethod method,
                       StochasticPriceField field)
    : kPeriod_(kPeriod), slowing_(slowing), field_(field), scale_(bars.digits) {
  checkPeriod(kPeriod, "%K period");
  checkPeriod(dPeriod, "%D period");
  checkPeriod(slowing, "slowing");
  const std::size_t n = bars.size();
  const auto kp = static_cast<std::size_t>(kPeriod);
  const auto sl = static_cast<std::size_t>(slowing);
  low_.resize(n);
  high_.resize(n);
  close_.resize(n);
  lowest_.resize(n);
  highest_.resize(n);
  num_.resize(n);
  den_.resize(n);
  main_.assign(n, kNaN);
  // Indices of the window's candidates, their prices rising (lowest) or falling (highest).
  // (Monotonic queues in plain arrays: each bar enters once, so n slots never run out.)
  std::vector<std::size_t> lows(n);
  std::vector<std::size_t> highs(n);
  std::size_t lowHead = 0, lowTail = 0, highHead = 0, highTail = 0;
  for (std::size_t i = 0; i < n; ++i) {
    close_[i] = scale_.points(bars.close[i]);
    low_[i] = field == StochasticPriceField::LowHigh ? scale_.points(bars.low[i]) : close_[i];
    high_[i] = field == StochasticPriceField::LowHigh ? scale_.points(bars.high[i]) : close_[i];
    while (lowTail > lowHead && low_[lows[lowTail - 1]] >= low_[i]) --lowTail;
    lows[lowTail++] = i;
    while (highTail > highHead && high_[highs[highTail - 1]] <= high_[i]) --highTail;
    highs[highTail++] = i;
    if (lows[lowHead] + kp <= i) ++lowHead;
    if (highs[highHead] + kp <= i) ++highHead;
    lowest_[i] = low_[lows[lowHead]];
    highest_[i] = high_[highs[highHead]];
    exact::checkSummable(highest_[i] - lowest_[i], slowing);
    // Window sums over `slowing` bars of bars that have a full %K window (others add nothing).
    const bool counted = i + 1 >= kp;
    const std::int64_t leavingNum = i >= sl && i - sl + 1 >= kp ? close_[i - sl] - lowest_[i - sl] : 0;
    const std::int64_t leavingDen = i >= sl && i - sl + 1 >= kp ? highest_[i - sl] - lowest_[i - sl] : 0;
    num_[i] = (i > 0 ? num_[i - 1] : 0) + (counted ? close_[i] - lowest_[i] : 0) - leavingNum;
    den_[i] = (i > 0 ? den_[i - 1] : 0) + (counted ? highest_[i] - lowest_[i] : 0) - leavingDen;
    if (i >= firstDefinedMain())
      main_[i] = den_[i] == 0 ? 100.0 : scale_.toPrice(num_[i]) / scale_.toPrice(den_[i]) * 100.0;
  }
  signal_ = exact::DoubleAverage(main_, firstDefinedMain(), dPeriod, method);
}

StochasticValues Stochastic::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < firstDefinedMain()) return {kNaN, kNaN};
  const auto kp = static_cast<std::size_t>(kPeriod_);
  const auto sl = static_cast<std::size_t>(slowing_);
  const std::int64_t close = scale_.points(partial.close);
  std::int64_t lowest = field_ == StochasticPriceField::LowHigh ? scale_.points(partial.low) : close;
  std::int64_t highest = field_ == StochasticPriceField::LowHigh ? scale_.points(partial.high) : close;
  for (std::size_t j = i + 1 - kp; j < i; ++j) {
    lowest = std::min(lowest, low_[j]);
    highest = std::max(highest, high_[j]);
  }
  exact::checkSummable(highest - lowest, slowing_);
  const std::int64_t leavingNum = i >= sl && i - sl + 1 >= kp ? close_[i - sl] - lowest_[i - sl] : 0;
  const std::int64_t leavingDen = i >= sl && i - sl + 1 >= kp ? highest_[i - sl] - lowest_[i - sl] : 0;
  const std::int64_t num = (i > 0 ? num_[i - 1] : 0) + (close - lowest) - leavingNum;
  const std::int64_t den = (i > 0 ? den_[i - 1] : 0) + (highest - lowest) - leavingDen;
  StochasticValues v{};
  v.main = den == 0 ? 100.0 : scale_.toPrice(num) / scale_.toPrice(den) * 100.0;
  v.signal = signal_.forming(i, v.main);
  return v;
}

}  // namespace zorvik
