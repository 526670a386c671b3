#pragma once
// Bars of a higher timeframe built from a lower one, as the terminal starts them: intraday
// buckets from midnight of the stored time, weeks on Sunday 00:00, months on the 1st.
#include <cstdint>
#include <optional>
#include <string>

#include "market/bar_series.hpp"

namespace zorvik {

constexpr int kMinutesW1 = 10080;
constexpr int kMinutesMN1 = 43200;

// "M1" ... "MN1" for the terminal's timeframes, else "<n> minutes".
std::string timeframeName(int minutes);

// Open time of the target bar that holds `time`. `minutes` must be one that
// timeframeBuildError() accepts for some source (divides a day, or W1, or MN1).
std::int64_t timeframeBucketStart(std::int64_t time, int minutes);

// Why `fromMinutes` bars cannot make `toMinutes` bars, or nothing when they can: the target
// must be the same or a whole multiple of the source, and either divide a day or be W1 or MN1.
std::optional<std::string> timeframeBuildError(int fromMinutes, int toMinutes);

struct TimeframeBuild {
  BarSeries series;
  std::string error;  // empty when built
  bool ok() const { return error.empty(); }
};

// Open of the first bar in a bucket, highest high, lowest low, close of the last, summed
// volume; the bar's time is the bucket's start. Same timeframe: a copy.
TimeframeBuild buildTimeframe(const BarSeries& lower, int toMinutes);

}  // namespace zorvik
