// Higher timeframes built from lower ones.
#include "market/timeframes.hpp"

#include "market/civil_time.hpp"

namespace zorvik {

using namespace market_detail;

namespace {

// 1970-01-04, the first Sunday after the epoch: weeks are counted from it.
constexpr std::int64_t kFirstSunday = 3 * 86400;

}  // namespace

std::string timeframeName(int minutes) {
  switch (minutes) {
    case 1: return "M1";
    case 5: return "M5";
    case 15: return "M15";
    case 30: return "M30";
    case 60: return "H1";
    case 240: return "H4";
    case 1440: return "D1";
    case kMinutesW1: return "W1";
    case kMinutesMN1: return "MN1";
    default: return std::to_string(minutes) + " minutes";
  }
}

std::int64_t timeframeBucketStart(std::int64_t time, int minutes) {
  if (minutes <= 0) return time;
  if (minutes == kMinutesMN1) {
    const CivilDate d = civilFromDays(floorDiv(time, 86400));
    return daysFromCivil(d.year, d.month, 1) * 86400;
  }
  if (minutes == kMinutesW1) return kFirstSunday + floorDiv(time - kFirstSunday, 604800) * 604800;
  const std::int64_t span = std::int64_t{minutes} * 60;
  // A bucket that divides a day starts at midnight: flooring from the epoch is the same thing.
  return floorDiv(time, span) * span;
}

std::optional<std::string> timeframeBuildError(int fromMinutes, int toMinutes) {
  const std::string what = "cannot build " + timeframeName(toMinutes) + " bars from " + timeframeName(fromMinutes) + " bars: ";
  if (fromMinutes <= 0 || toMinutes <= 0) return what + "a timeframe must be a positive number of minutes";
  if (toMinutes < fromMinutes) return what + "a higher timeframe cannot be split into a lower one";
  if (toMinutes % fromMinutes != 0) return what + "only whole multiples of the history's timeframe can be built";
  if (toMinutes != kMinutesW1 && toMinutes != kMinutesMN1 && 1440 % toMinutes != 0)
    return what + "bars are counted from midnight, so the timeframe must divide a day (or be W1 or MN1)";
  if (fromMinutes != toMinutes && fromMinutes != kMinutesW1 && fromMinutes != kMinutesMN1 && 1440 % fromMinutes != 0)
    return what + "the history's bars do not divide a day";
  return std::nullopt;
}

TimeframeBuild buildTimeframe(const BarSeries& lower, int toMinutes) {
  TimeframeBuild out;
  if (auto why = timeframeBuildError(lower.timeframeMinutes, toMinutes)) {
    out.error = *why;
    return out;
  }
  BarSeries& s = out.series;
  s.symbol = lower.symbol;
  s.digits = lower.digits;
  s.timeframeMinutes = toMinutes;
  if (toMinutes == lower.timeframeMinutes) {
    s = lower;
    return out;
  }
  for (std::size_t i = 0; i < lower.size(); ++i) {
    const std::int64_t start = timeframeBucketStart(lower.time[i], toMinutes);
    if (s.empty() || start != s.time.back()) {
      s.push_back({start, lower.open[i], lower.high[i], lower.low[i], lower.close[i], lower.volume[i]});
      continue;
    }
    const std::size_t k = s.size() - 1;
    if (lower.high[i] > s.high[k]) s.high[k] = lower.high[i];
    if (lower.low[i] < s.low[k]) s.low[k] = lower.low[i];
    s.close[k] = lower.close[i];
    s.volume[k] += lower.volume[i];
  }
  return out;
}

}  // namespace zorvik
