#pragma once
// What every reader and writer of history checks, in one place so that a writer never produces a
// file its reader would refuse. Internal to market/.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "market/bar_series.hpp"

namespace zorvik::market_detail {

// 1970-01-01 .. 2999-12-31: a time outside is a damaged record, not a price from the past.
constexpr std::int64_t kLatestTime = 32503680000 - 1;
constexpr double kMaxDouble = std::numeric_limits<double>::max();
// 2^53: every whole count up to it is exact as a double and fits a .hst's int64 tick volume.
// No bar ever had that many ticks; a bigger number is damage.
constexpr double kMaxVolume = 9007199254740992.0;

inline std::string numberText(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string timeText(std::int64_t time);  // "2024.03.01 13:00[:SS]"

// Why a bar cannot stand after the bar at `previousTime` (hasPrevious false for the first bar),
// or empty when it can. Cheap on the sound path: a handful of compares.
inline std::string barFault(std::int64_t time, double open, double high, double low, double close, double volume,
                            bool hasPrevious, std::int64_t previousTime) {
  if (time < 0 || time > kLatestTime) return "time " + std::to_string(time) + " out of range";
  if (hasPrevious && time <= previousTime)
    return time == previousTime ? "time " + timeText(time) + " repeats"
                                : "time goes backwards (" + timeText(time) + " after " + timeText(previousTime) + ")";
  const double prices[4] = {open, high, low, close};
  const char* names[4] = {"open", "high", "low", "close"};
  for (int i = 0; i < 4; ++i) {
    if (!std::isfinite(prices[i])) return std::string(names[i]) + " not a number";
    if (!(prices[i] > 0)) return std::string(names[i]) + " " + numberText(prices[i]) + " not positive";
  }
  if (high < open || high < close) return "high " + numberText(high) + " below open/close";
  if (low > open || low > close) return "low " + numberText(low) + " above open/close";
  if (!(volume >= 0 && volume <= kMaxVolume)) return "volume " + numberText(volume) + " not a count";
  return {};
}

// The fast test in front of barFault(): true when nothing is wrong. NaN fails every compare.
inline bool barSound(std::int64_t time, double open, double high, double low, double close, double volume,
                     bool hasPrevious, std::int64_t previousTime) {
  return time >= 0 && time <= kLatestTime && (!hasPrevious || time > previousTime) && low > 0 &&
         high >= open && high >= close && low <= open && low <= close && high <= kMaxDouble && volume >= 0 &&
         volume <= kMaxVolume;
}

// The first fault of a whole series with its 1-based bar number, or empty.
inline std::string seriesFault(const BarSeries& s, std::size_t* barNumber) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::string f = barFault(s.time[i], s.open[i], s.high[i], s.low[i], s.close[i], s.volume[i], i > 0,
                             i > 0 ? s.time[i - 1] : 0);
    if (!f.empty()) {
      *barNumber = i + 1;
      return f;
    }
  }
  return {};
}

}  // namespace zorvik::market_detail
