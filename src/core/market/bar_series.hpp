#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik {

// One bar as the terminal shows it. Time is seconds since 1970 as the history stores it
// (the broker's time, not converted).
struct Bar {
  std::int64_t time = 0;
  double open = 0;
  double high = 0;
  double low = 0;
  double close = 0;
  double volume = 0;  // tick volume
};

// The bars of one symbol and timeframe in ascending time, kept as columns so that an
// indicator walks one price array at a time. Index 0 is the oldest bar.
struct BarSeries {
  std::string symbol;
  int timeframeMinutes = 0;  // 1, 5, 15, 30, 60, 240, 1440, 10080 (week), 43200 (month)
  // Decimals of a price: from the .hst header, or the run's setting for a CSV. Every price is a
  // whole number of points (10^-digits), which lets sums over a window be kept exactly.
  int digits = 5;
  std::vector<std::int64_t> time;
  std::vector<double> open;
  std::vector<double> high;
  std::vector<double> low;
  std::vector<double> close;
  std::vector<double> volume;

  std::size_t size() const { return time.size(); }
  bool empty() const { return time.empty(); }

  Bar bar(std::size_t i) const { return {time[i], open[i], high[i], low[i], close[i], volume[i]}; }

  void reserve(std::size_t n) {
    time.reserve(n);
    open.reserve(n);
    high.reserve(n);
    low.reserve(n);
    close.reserve(n);
    volume.reserve(n);
  }

  void push_back(const Bar& b) {
    time.push_back(b.time);
    open.push_back(b.open);
    high.push_back(b.high);
    low.push_back(b.low);
    close.push_back(b.close);
    volume.push_back(b.volume);
  }
};

}  // namespace zorvik
