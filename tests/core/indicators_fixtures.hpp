#pragma once

// Bar sets for the indicator tests: small hand-made ones and a deterministic random walk.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "market/bar_series.hpp"

namespace zorvik::testing_bars {

struct Ohlc {
  double open, high, low, close;
};

inline BarSeries series(std::initializer_list<Ohlc> bars, int digits = 5) {
  BarSeries s;
  s.symbol = "TEST";
  s.timeframeMinutes = 60;
  s.digits = digits;
  std::int64_t t = 1'700'000'000;
  for (const Ohlc& b : bars) {
    s.push_back({t, b.open, b.high, b.low, b.close, 10});
    t += 3600;
  }
  return s;
}

// Bars whose every price is the close (open = high = low = close).
inline BarSeries closes(const std::vector<double>& values, int digits = 5) {
  BarSeries s;
  s.symbol = "TEST";
  s.timeframeMinutes = 60;
  s.digits = digits;
  std::int64_t t = 1'700'000'000;
  for (double v : values) {
    s.push_back({t, v, v, v, v, 10});
    t += 3600;
  }
  return s;
}

// A random walk in whole points with flat stretches, repeated highs/lows and bars of no range,
// so that the ties and zero divisors of every indicator are met.
inline BarSeries randomWalk(std::size_t count, std::uint64_t seed, int digits = 5) {
  BarSeries s;
  s.symbol = "WALK";
  s.timeframeMinutes = 60;
  s.digits = digits;
  s.reserve(count);
  double scale = 1;
  for (int k = 0; k < digits; ++k) scale *= 10;
  std::uint64_t state = seed * 6364136223846793005ULL + 1442695040888963407ULL;
  auto next = [&](std::int64_t range) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::int64_t>((state >> 33) % static_cast<std::uint64_t>(range));
  };
  std::int64_t close = 110'000;
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t open = next(8) == 0 ? close : close + next(21) - 10;
    std::int64_t c = open + next(61) - 30;
    std::int64_t h = std::max(open, c) + next(15);
    std::int64_t l = std::min(open, c) - next(15);
    if (next(10) == 0) h = l = c = open;  // a bar of a single price
    if (c < 100) c = 100;
    if (l < 100) l = 100;
    if (h < c) h = c;
    s.push_back({1'700'000'000 + static_cast<std::int64_t>(i) * 3600, static_cast<double>(open) / scale,
                 static_cast<double>(h) / scale, static_cast<double>(std::min(l, std::min(open, c))) / scale,
                 static_cast<double>(c) / scale, 1});
    close = c;
  }
  return s;
}

}  // namespace zorvik::testing_bars
