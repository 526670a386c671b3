#pragma once
// History bytes built by hand from the record layouts, independent of the program's writer, so
// that a test of the reader does not just agree with the writer's mistakes.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "market/bar_series.hpp"

namespace zorvik::testing {

template <typename T>
void put(std::string& out, T v) {
  char b[sizeof v];
  std::memcpy(b, &v, sizeof v);
  out.append(b, sizeof v);
}

inline std::string hstHeaderBytes(std::int32_t version, const std::string& symbol, std::int32_t period,
                                  std::int32_t digits) {
  std::string h;
  put<std::int32_t>(h, version);
  h.append(64, '\0');  // copyright
  std::string sym = symbol;
  sym.resize(12, '\0');
  h += sym;
  put<std::int32_t>(h, period);
  put<std::int32_t>(h, digits);
  h.append(148 - h.size(), '\0');  // timesign, last_sync, unused
  return h;
}

// Version 401: time int64, open, high, low, close, tick volume int64, spread int32, real volume int64.
inline std::string hst401Bytes(const std::vector<Bar>& bars, const std::string& symbol = "EURUSD", int period = 60,
                               int digits = 5) {
  std::string b = hstHeaderBytes(401, symbol, period, digits);
  for (const Bar& x : bars) {
    put<std::int64_t>(b, x.time);
    put<double>(b, x.open);
    put<double>(b, x.high);
    put<double>(b, x.low);
    put<double>(b, x.close);
    put<std::int64_t>(b, static_cast<std::int64_t>(x.volume));
    put<std::int32_t>(b, 7);
    put<std::int64_t>(b, 0);
  }
  return b;
}

// Version 400: time int32, then open, LOW, HIGH, close, volume as doubles.
inline std::string hst400Bytes(const std::vector<Bar>& bars, const std::string& symbol = "EURUSD", int period = 60,
                               int digits = 5) {
  std::string b = hstHeaderBytes(400, symbol, period, digits);
  for (const Bar& x : bars) {
    put<std::int32_t>(b, static_cast<std::int32_t>(x.time));
    put<double>(b, x.open);
    put<double>(b, x.low);
    put<double>(b, x.high);
    put<double>(b, x.close);
    put<double>(b, x.volume);
  }
  return b;
}

// 2024-03-01 00:00 (a Friday), seconds since 1970.
constexpr std::int64_t kMarch1st2024 = 1709251200;

// Five sound H1 bars from 2024-03-01 00:00.
inline std::vector<Bar> fiveBars() {
  return {{kMarch1st2024 + 0 * 3600, 1.08000, 1.08120, 1.07950, 1.08100, 110},
          {kMarch1st2024 + 1 * 3600, 1.08100, 1.08150, 1.08020, 1.08030, 95},
          {kMarch1st2024 + 2 * 3600, 1.08030, 1.08090, 1.07990, 1.08080, 87},
          {kMarch1st2024 + 3 * 3600, 1.08080, 1.08200, 1.08070, 1.08190, 140},
          {kMarch1st2024 + 4 * 3600, 1.08190, 1.08210, 1.08100, 1.08110, 66}};
}

inline BarSeries seriesOf(const std::vector<Bar>& bars, const std::string& symbol = "EURUSD", int minutes = 60,
                          int digits = 5) {
  BarSeries s;
  s.symbol = symbol;
  s.timeframeMinutes = minutes;
  s.digits = digits;
  for (const Bar& b : bars) s.push_back(b);
  return s;
}

}  // namespace zorvik::testing
