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
  low_.resize(n);
  high_.resize(n);
  num_.resize(n);
  den_.resize(n);
  main_.assign(n, kNaN);
  // Indices of the window's candidates, their prices rising (lowest) or falling (highest).
  // (Monotonic queues in plain arrays: each bar enters once, so n slots never run out.)
  std::vector<std::size_t> lows(n);
  std::vector<std::size_t> highs(n);
  std::size_t lowHead = 0, lowTail = 0, highHead = 0, highTail = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::int64_t close = scale_.points(bars.close[i]);
    low_[i] = field == StochasticPriceField::LowHigh ? scale_.points(bars.low[i]) : close;
    high_[i] = field == StochasticPriceField::LowHigh ? scale_.points(bars.high[i]) : close;
    while (lowTail > lowHead && low_[lows[lowTail - 1]] >= low_[i]) --lowTail;
    lows[lowTail++] = i;
    while (highTail > highHead && high_[highs[highTail - 1]] <= high_[i]) --highTail;
    highs[highTail++] = i;
    if (lows[lowHead] + kp <= i) ++lowHead;
    if (highs[highHead] + kp <= i) ++highHead;
    const Step s = step(i, close, low_[lows[lowHead]], high_[highs[highHead]]);
    num_[i] = s.num;
    den_[i] = s.den;
    main_[i] = s.main;
  }
  signal_ = exact::DoubleAverage(main_, firstDefinedMain(), dPeriod, method);
}

// Bar i from its close, lowest and highest and the running sums of the bars before it: the one
// computation behind the series and the forming value.
Stochastic::Step Stochastic::step(std::size_t i, std::int64_t close, std::int64_t lowest,
                                  std::int64_t highest) const {
  const auto kp = static_cast<std::size_t>(kPeriod_);
  const auto sl = static_cast<std::size_t>(slowing_);
  exact::checkSummable(highest - lowest, slowing_);
  // Bars without a full %K window add nothing to the sums over `slowing` bars.
  const bool counted = i + 1 >= kp;
  Step s{};
  s.num = (i > 0 ? num_[i - 1] : 0) + (counted ? static_cast<std::uint64_t>(close - lowest) : 0);
  s.den = (i > 0 ? den_[i - 1] : 0) + (counted ? static_cast<std::uint64_t>(highest - lowest) : 0);
  s.main = kNaN;
  if (i >= firstDefinedMain()) {
    // Window sums from the running ones; each fits in 64 bits, so the wrapped difference is exact.
    const auto num = static_cast<std::int64_t>(s.num - (i >= sl ? num_[i - sl] : 0));
    const auto den = static_cast<std::int64_t>(s.den - (i >= sl ? den_[i - sl] : 0));
    s.main = den == 0 ? 100.0 : scale_.toPrice(num) / scale_.toPrice(den) * 100.0;
  }
  return s;
}

StochasticValues Stochastic::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  if (i < firstDefinedMain()) return {kNaN, kNaN};
  const auto kp = static_cast<std::size_t>(kPeriod_);
  const std::int64_t close = scale_.points(partial.close);
  std::int64_t lowest = field_ == StochasticPriceField::LowHigh ? scale_.points(partial.low) : close;
  std::int64_t highest = field_ == StochasticPriceField::LowHigh ? scale_.points(partial.high) : close;
  for (std::size_t j = i + 1 - kp; j < i; ++j) {
    lowest = std::min(lowest, low_[j]);
    highest = std::max(highest, high_[j]);
  }
  StochasticValues v{};
  v.main = step(i, close, lowest, highest).main;
  v.signal = signal_.forming(i, v.main);
  return v;
}

}  // namespace zorvik
