// Higher timeframes from lower ones: buckets from midnight, weeks from Sunday, months from the 1st.
#include <gtest/gtest.h>

#include "market/timeframes.hpp"
#include "market_fixtures.hpp"

namespace zorvik {
namespace {

using testing::kMarch1st2024;  // a Friday
using testing::seriesOf;
constexpr std::int64_t kHour = 3600, kDay = 86400;

// A bar whose prices say where it came from: open = 1 + n/1000, high +0.5, low -0.5, close +0.1.
Bar numbered(std::int64_t time, int n) {
  const double base = 1 + n / 1000.0;
  return {time, base, base + 0.0005, base - 0.0005, base + 0.0001, double(n)};
}

struct Expected {
  std::int64_t time;
  int first, last;  // numbers of the source bars it holds (inclusive, consecutive)
};

void expectBuckets(const BarSeries& lower, int minutes, const std::vector<Expected>& expected) {
  const TimeframeBuild b = buildTimeframe(lower, minutes);
  ASSERT_TRUE(b.ok()) << b.error;
  EXPECT_EQ(b.series.timeframeMinutes, minutes);
  EXPECT_EQ(b.series.symbol, lower.symbol);
  EXPECT_EQ(b.series.digits, lower.digits);
  ASSERT_EQ(b.series.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const Expected& e = expected[i];
    EXPECT_EQ(b.series.time[i], e.time);
    EXPECT_EQ(b.series.open[i], numbered(0, e.first).open);
    EXPECT_EQ(b.series.close[i], numbered(0, e.last).close);
    // Prices rise with the number: the highest high is the last bar's, the lowest low the first's.
    EXPECT_EQ(b.series.high[i], numbered(0, e.last).high);
    EXPECT_EQ(b.series.low[i], numbered(0, e.first).low);
    double volume = 0;
    for (int n = e.first; n <= e.last; ++n) volume += n;
    EXPECT_EQ(b.series.volume[i], volume);
  }
}

TEST(MarketTimeframes, H1ToH4StartsAtMidnightAndSkipsGaps) {
  // Friday 21:00 .. Saturday 01:00 with Friday 23:00 missing, then Monday 03:00.
  const std::int64_t fri = kMarch1st2024;
  BarSeries h1 = seriesOf({numbered(fri + 21 * kHour, 1), numbered(fri + 22 * kHour, 2), numbered(fri + kDay, 3),
                           numbered(fri + kDay + kHour, 4), numbered(fri + 3 * kDay + 3 * kHour, 5),
                           numbered(fri + 3 * kDay + 4 * kHour, 6)},
                          "EURUSD", 60, 5);
  expectBuckets(h1, 240,
                {{fri + 20 * kHour, 1, 2}, {fri + kDay, 3, 4}, {fri + 3 * kDay, 5, 5}, {fri + 3 * kDay + 4 * kHour, 6, 6}});
}

TEST(MarketTimeframes, H1ToD1) {
  const std::int64_t fri = kMarch1st2024;
  BarSeries h1 = seriesOf({numbered(fri, 1), numbered(fri + 12 * kHour, 2), numbered(fri + 23 * kHour, 3),
                           numbered(fri + 3 * kDay, 4), numbered(fri + 3 * kDay + 5 * kHour, 5)},
                          "EURUSD", 60, 5);
  expectBuckets(h1, 1440, {{fri, 1, 3}, {fri + 3 * kDay, 4, 5}});
}

TEST(MarketTimeframes, D1ToW1StartsOnSunday) {
  // Thursday 2024-02-29 and Friday 2024-03-01 belong to the week of Sunday 2024-02-25; a broker's
  // Sunday bar on 2024-03-03 opens the next week together with Monday and Friday.
  const std::int64_t fri = kMarch1st2024;
  BarSeries d1 = seriesOf({numbered(fri - kDay, 1), numbered(fri, 2), numbered(fri + 2 * kDay, 3),
                           numbered(fri + 3 * kDay, 4), numbered(fri + 7 * kDay, 5), numbered(fri + 10 * kDay, 6)},
                          "EURUSD", 1440, 5);
  expectBuckets(d1, 10080, {{fri - 5 * kDay, 1, 2}, {fri + 2 * kDay, 3, 5}, {fri + 9 * kDay, 6, 6}});
  // A week across the new year and one before the first Sunday of 1970.
  EXPECT_EQ(timeframeBucketStart(1704067200 /* Mon 2024-01-01 */, 10080), 1703980800 /* Sun 2023-12-31 */);
  EXPECT_EQ(timeframeBucketStart(kDay, 10080), -4 * kDay);  // Fri 1970-01-02 -> Sun 1969-12-28
}

TEST(MarketTimeframes, D1ToMN1StartsOnTheFirst) {
  const std::int64_t jan31 = 1706659200, feb1 = 1706745600, feb29 = 1709164800, mar1 = kMarch1st2024;
  const std::int64_t jan1 = 1704067200, dec31 = 1735603200, dec1 = 1733011200;
  BarSeries d1 = seriesOf({numbered(jan1, 1), numbered(jan31, 2), numbered(feb1, 3), numbered(feb29, 4),
                           numbered(mar1, 5), numbered(dec31, 6)},
                          "EURUSD", 1440, 5);
  expectBuckets(d1, 43200, {{jan1, 1, 2}, {feb1, 3, 4}, {mar1, 5, 5}, {dec1, 6, 6}});
}

TEST(MarketTimeframes, SameTimeframeIsACopy) {
  BarSeries h1 = seriesOf(testing::fiveBars());
  const TimeframeBuild b = buildTimeframe(h1, 60);
  ASSERT_TRUE(b.ok());
  EXPECT_EQ(b.series.close, h1.close);
  EXPECT_EQ(b.series.time, h1.time);
}

TEST(MarketTimeframes, RefusesWhatIsNoWholeBucket) {
  struct Case {
    int from, to;
    const char* reason;
  };
  const Case cases[] = {
      {60, 30, "cannot be split"},
      {60, 90, "whole multiples"},
      {1, 7, "divide a day"},
      {1, 2880, "divide a day"},  // two days: from which midnight?
      {10080, 43200, "whole multiples"},
      {7, 10080, "do not divide a day"},
      {0, 60, "positive"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
    BarSeries s = seriesOf(testing::fiveBars(), "EURUSD", c.from, 5);
    const TimeframeBuild b = buildTimeframe(s, c.to);
    ASSERT_FALSE(b.ok());
    EXPECT_TRUE(b.series.empty());
    EXPECT_NE(b.error.find(c.reason), std::string::npos) << b.error;
  }
  EXPECT_EQ(*timeframeBuildError(60, 30), "cannot build M30 bars from H1 bars: a higher timeframe cannot be split into a lower one");
  for (auto [from, to] : {std::pair{1, 5}, {1, 90}, {5, 15}, {60, 240}, {240, 1440}, {60, 10080}, {1440, 43200}, {240, 43200}})
    EXPECT_FALSE(timeframeBuildError(from, to)) << from << " -> " << to;
}

}  // namespace
}  // namespace zorvik
