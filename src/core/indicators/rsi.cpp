#include "indicators/rsi.hpp"

#include <limits>
#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

Rsi::Rsi(const BarSeries& bars, int period, AppliedPrice price) : period_(period), price_(price), scale_(bars.digits) {
  if (period < 1) throw std::invalid_argument("period must be at least 1, not " + std::to_string(period));
  const std::size_t n = bars.size();
  terms_.resize(n);
  state_.resize(n);
  values_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    terms_[i] = scale_.termsOf(price, bars.open[i], bars.high[i], bars.low[i], bars.close[i]);
    exact::checkSummable(terms_[i], period_);
    state_[i] = step(i, terms_[i]);
    values_[i] = state_[i].value;
  }
}

Rsi::State Rsi::step(std::size_t i, std::int64_t terms) const {
  State s{0, 0, kNaN, kNaN, kNaN};
  if (i == 0) return s;
  const auto n = static_cast<std::size_t>(period_);
  const std::int64_t change = terms - terms_[i - 1];
  const std::int64_t up = change > 0 ? change : 0;
  const std::int64_t down = change < 0 ? -change : 0;
  const std::int64_t units = scale_.unitsPerPrice(price_);
  const State& prev = state_[i - 1];
  if (i <= n) {
    s.gainSum = prev.gainSum + up;
    s.lossSum = prev.lossSum + down;
    if (i < n) return s;
    s.gain = exact::ratio(s.gainSum, units) / period_;
    s.loss = exact::ratio(s.lossSum, units) / period_;
  } else {
    s.gain = (prev.gain * (period_ - 1) + exact::ratio(up, units)) / period_;
    s.loss = (prev.loss * (period_ - 1) + exact::ratio(down, units)) / period_;
  }
  if (s.loss == 0)
    s.value = s.gain > 0 ? 100.0 : 50.0;
  else
    s.value = 100.0 - 100.0 / (1.0 + s.gain / s.loss);
  return s;
}

double Rsi::forming(std::size_t i, const Bar& partial) const {
  if (i > values_.size()) throw std::out_of_range("forming bar after the end of the series");
  const std::int64_t terms = scale_.termsOf(price_, partial);
  exact::checkSummable(terms, period_);
  return step(i, terms).value;
}

}  // namespace zorvik
