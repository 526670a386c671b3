#include "indicators/macd.hpp"

#include <stdexcept>
#include <string>

namespace zorvik {

namespace {

std::vector<double> difference(const MovingAverage& fast, const MovingAverage& slow) {
  std::vector<double> main(fast.size());
  for (std::size_t i = 0; i < main.size(); ++i) main[i] = fast.values()[i] - slow.values()[i];
  return main;
}

MovingAverage checkedEma(const BarSeries& bars, int period, AppliedPrice price, const char* name) {
  if (period < 1) throw std::invalid_argument(std::string(name) + " must be at least 1, not " + std::to_string(period));
  return MovingAverage(bars, period, MaMethod::Exponential, price);
}

}  // namespace

Macd::Macd(const BarSeries& bars, int fastPeriod, int slowPeriod, int signalPeriod, AppliedPrice price)
    : fast_(checkedEma(bars, fastPeriod, price, "fast period")),
      slow_(checkedEma(bars, slowPeriod, price, "slow period")) {
  if (signalPeriod < 1)
    throw std::invalid_argument("signal period must be at least 1, not " + std::to_string(signalPeriod));
  signal_ = exact::DoubleAverage(difference(fast_, slow_), 0, signalPeriod, MaMethod::Simple);
  const std::vector<double>& main = signal_.inputs();
  const std::vector<double>& signal = signal_.values();
  osma_.resize(main.size());
  for (std::size_t i = 0; i < main.size(); ++i) osma_[i] = main[i] - signal[i];
}

MacdValues Macd::forming(std::size_t i, const Bar& partial) const {
  if (i > size()) throw std::out_of_range("forming bar after the end of the series");
  MacdValues v{};
  v.main = fast_.forming(i, partial) - slow_.forming(i, partial);
  v.signal = signal_.forming(i, v.main);
  v.osma = v.main - v.signal;
  return v;
}

}  // namespace zorvik
