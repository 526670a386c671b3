// The arithmetic under the indicators: sums that do not depend on the order of adding, the one
// rounding of a quotient, the shift rule, and parameters refused before anything is computed.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "indicators/adx.hpp"
#include "indicators/bollinger_bands.hpp"
#include "indicators/donchian.hpp"
#include "indicators/exact_sums.hpp"
#include "indicators/indicator_basics.hpp"
#include "indicators/macd.hpp"
#include "indicators/moving_average.hpp"
#include "indicators/parabolic_sar.hpp"
#include "indicators/rsi.hpp"
#include "indicators/stochastic.hpp"
#include "indicators_fixtures.hpp"

namespace zorvik {
namespace {

using exact::Int128;

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

TEST(IndicatorSums, AWindowGivesTheSameAverageWhateverTheOrderOfItsPrices) {
  // Added as doubles, 0.1+0.2+0.3 and 0.3+0.2+0.1 differ in the last bit.
  ASSERT_NE(0.1 + 0.2 + 0.3, 0.3 + 0.2 + 0.1);
  const BarSeries s = testing_bars::closes({0.1, 0.2, 0.3, 0.2, 0.1}, 1);
  const MovingAverage sma(s, 3, MaMethod::Simple, AppliedPrice::Close);
  EXPECT_TRUE(sameBits(sma.values()[2], 0.6 / 3));
  EXPECT_TRUE(sameBits(sma.values()[4], 0.6 / 3));
}

TEST(IndicatorSums, ARepeatingPatternGivesTheSameValueAtEveryBar) {
  // A pattern of 7 prices repeated: every window of 7 holds the same prices, so a sum kept by
  // adding the new price and taking away the old one must not drift over 50 000 bars.
  const std::vector<double> pattern = {1.23457, 1.10001, 0.99999, 1.33333, 1.20002, 1.07777, 1.31313};
  std::vector<double> prices;
  while (prices.size() < 50'000) prices.push_back(pattern[prices.size() % pattern.size()]);
  BarSeries s = testing_bars::closes(prices);
  for (std::size_t i = 0; i < s.size(); ++i) s.low[i] -= 0.00010 * static_cast<double>(i % 7);  // a range per bar
  auto constantFrom = [](const std::vector<double>& line, std::size_t from, const std::string& what) {
    for (std::size_t i = from; i < line.size(); ++i)
      ASSERT_TRUE(sameBits(line[i], line[from])) << what << " bar " << i << ": " << line[i] << " vs " << line[from];
  };
  constantFrom(MovingAverage(s, 7, MaMethod::Simple, AppliedPrice::Typical).values(), 6, "SMA");
  // Weights follow the order, so a weighted average repeats with the pattern instead.
  auto repeating = [&](const std::vector<double>& line, std::size_t from, const std::string& what) {
    for (std::size_t i = from + pattern.size(); i < line.size(); ++i)
      ASSERT_TRUE(sameBits(line[i], line[i - pattern.size()])) << what << " bar " << i;
  };
  repeating(MovingAverage(s, 7, MaMethod::LinearWeighted, AppliedPrice::Close).values(), 6, "LWMA");
  repeating(MovingAverage(s, 14, MaMethod::LinearWeighted, AppliedPrice::Close).values(), 13, "LWMA 14");
  const BollingerBands bands(s, 7, 2.0, AppliedPrice::Weighted);
  constantFrom(bands.upper(), 6, "upper band");
  constantFrom(bands.lower(), 6, "lower band");
  // %K repeats every 7 bars once its windows are full, so a 7-bar average of it is constant too.
  const Stochastic st(s, 3, 7, 2, MaMethod::Simple, StochasticPriceField::LowHigh);
  constantFrom(st.signal(), st.firstDefinedSignal() + 7, "stochastic signal");
}

TEST(IndicatorSums, AveragedDoublesAreSummedExactlyAlsoForTheFormingBar) {
  // Added in order, 2^-60 + 1 - 1 gives 0; the exact sum is 2^-60.
  const std::vector<double> x = {0x1p-60, 1.0, -1.0};
  const exact::DoubleAverage sma(x, 0, 3, MaMethod::Simple);
  EXPECT_TRUE(sameBits(sma.values()[2], std::ldexp(1.0 / 3, -60)));
  // A forming value with bits far below all earlier ones: the window 1, -1, 2^-100.
  EXPECT_TRUE(sameBits(sma.forming(3, 0x1p-100), std::ldexp(1.0 / 3, -100)));
  // Weights 3, 2, 1 (newest first) over 6: 3*2^-100 + 2*(-1) + 1*1 ... exactly.
  const exact::DoubleAverage lwma(x, 0, 3, MaMethod::LinearWeighted);
  EXPECT_EQ(lwma.forming(3, 0x1p-100), (3 * 0x1p-100 - 2.0 + 1.0) / 6);
  EXPECT_TRUE(sameBits(lwma.values()[2], (-3.0 + 2.0 + 0x1p-60) / 6));
}

TEST(IndicatorWindows, ExtremesOfEveryWindowLengthMatchARescan) {
  // Lengths below, at and above the sizes the windows are kept in (blocks of the period, rings
  // of a power of two).
  const BarSeries walk = testing_bars::randomWalk(400, 21);
  BarSeries withNaN = walk;
  withNaN.high[150] = std::numeric_limits<double>::quiet_NaN();
  for (int period : {1, 2, 3, 7, 15, 16, 17, 31, 32, 33, 64, 65}) {
    const auto p = static_cast<std::size_t>(period);
    const DonchianChannel dc(walk, period);
    for (std::size_t i = p; i < walk.size(); ++i) {
      double highest = walk.high[i - p];
      double lowest = walk.low[i - p];
      for (std::size_t j = i - p; j < i; ++j) {
        highest = std::max(highest, walk.high[j]);
        lowest = std::min(lowest, walk.low[j]);
      }
      ASSERT_EQ(dc.highest()[i], highest) << "period " << period << " bar " << i;
      ASSERT_EQ(dc.lowest()[i], lowest) << "period " << period << " bar " << i;
    }
    // Prices that do not compare take the other way; the bars before the NaN are unaffected.
    const DonchianChannel nan(withNaN, period);
    for (std::size_t i = p; i <= 150; ++i) ASSERT_EQ(nan.highest()[i], dc.highest()[i]) << "period " << period;
    // The stochastic's forming value rescans its windows: it must meet the series.
    const Stochastic st(walk, period, 3, 2, MaMethod::Simple, StochasticPriceField::LowHigh);
    for (std::size_t i = st.firstDefinedMain(); i < walk.size(); ++i)
      ASSERT_TRUE(sameBits(st.forming(i, walk.bar(i)).main, st.main()[i])) << "period " << period << " bar " << i;
  }
}

TEST(IndicatorSums, PointsBeyond32BitsMidwaySumExactly) {
  // Nine digits: 1.0 is 10^9 points, 5.0 is 5*10^9, beyond 32 bits from bar 40 on.
  std::vector<double> prices(40, 1.0);
  prices.resize(80, 5.0);
  const BarSeries s = testing_bars::closes(prices, 9);
  const MovingAverage sma(s, 4, MaMethod::Simple, AppliedPrice::Close);
  EXPECT_EQ(sma.values()[39], 1.0);
  EXPECT_EQ(sma.values()[41], 3.0);  // 1 + 1 + 5 + 5
  EXPECT_EQ(sma.values()[79], 5.0);
  EXPECT_EQ(sma.forming(42, s.bar(42)), 4.0);
  const Rsi rsi(s, 5, AppliedPrice::Close);
  EXPECT_EQ(rsi.forming(41, s.bar(41)), rsi.values()[41]);
  EXPECT_EQ(rsi.forming(40, s.bar(40)), 100.0);

  // Past 2^31 points inside a later block of bars: every column kept for the forming bar
  // changes width there, and the completed bars still give their series values.
  std::vector<double> rising;
  for (int i = 0; i < 400; ++i) rising.push_back(2.0 + i * 0.0005);  // 2^31 points at bar 297
  const BarSeries r = testing_bars::closes(rising, 9);
  const Macd macd(r, 3, 6, 4, AppliedPrice::Close);
  const Adx adx(r, 5);
  const Stochastic st(r, 5, 3, 3, MaMethod::LinearWeighted, StochasticPriceField::LowHigh);
  const BollingerBands bands(r, 5, 2.0, AppliedPrice::Close);
  const MovingAverage lwma(r, 5, MaMethod::LinearWeighted, AppliedPrice::Close);
  for (std::size_t i = 10; i < r.size(); ++i) {
    ASSERT_TRUE(sameBits(macd.forming(i, r.bar(i)).signal, macd.signal()[i])) << "bar " << i;
    ASSERT_TRUE(sameBits(adx.forming(i, r.bar(i)).main, adx.main()[i])) << "bar " << i;
    ASSERT_TRUE(sameBits(st.forming(i, r.bar(i)).signal, st.signal()[i])) << "bar " << i;
    ASSERT_TRUE(sameBits(bands.forming(i, r.bar(i)).upper, bands.upper()[i])) << "bar " << i;
    ASSERT_TRUE(sameBits(lwma.forming(i, r.bar(i)), lwma.values()[i])) << "bar " << i;
  }
}

TEST(IndicatorSums, AQuotientIsRoundedOnce) {
  const Int128 two54 = Int128(1) << 54;
  struct Row {
    Int128 num, den;
    double expected;
  };
  const Row rows[] = {
      {1, 3, 1.0 / 3},
      {two54 + 1, 1, 0x1p54},              // below half an ulp (4)
      {two54 + 2, 1, 0x1p54},              // a tie: to the even mantissa
      {two54 + 6, 1, 0x1p54 + 8},          // a tie: to the even mantissa, upwards
      {two54 + 3, 1, 0x1p54 + 4},
      {-(two54 + 6), 1, -(0x1p54 + 8)},
      {(Int128(1) << 100), 3, std::ldexp(1.0 / 3, 100)},
      {1, Int128(3) << 60, std::ldexp(1.0 / 3, -60)},
      {(Int128(1) << 70) * 5 + 1, Int128(1) << 70, 5.0},  // a remainder far below the last bit
      {Int128(1'000'000'000'000'000'000LL) * 1'000'000'000'000LL, 1'000'000'000'000LL, 1e18},
      {0, 7, 0.0},
      {(Int128(1) << 100) + (Int128(1) << 47), 1, 0x1p100},                // a tie above 64 bits
      {(Int128(1) << 100) + (Int128(1) << 47) + 1, 1, 0x1p100 + 0x1p48},  // just past it
      {-((Int128(1) << 100) + (Int128(3) << 47)), 1, -(0x1p100 + 0x1p49)},
  };
  for (const Row& r : rows)
    EXPECT_TRUE(sameBits(exact::ratio(r.num, r.den), r.expected))
        << static_cast<double>(r.num) << " / " << static_cast<double>(r.den) << " = " << exact::ratio(r.num, r.den);
}

TEST(IndicatorShift, ShiftAndLineShiftToBarIndex) {
  struct Row {
    std::size_t current;
    int shift, lineShift;
    std::optional<std::size_t> bar;
  };
  const Row rows[] = {
      {10, 0, 0, 10},           // the bar being formed
      {10, 1, 0, 9},            //
      {10, 1, 2, 7},            // the line moved right by 2 shows an older value
      {10, 3, -2, 9},           // a negative line shift reads a newer bar
      {10, 1, -2, std::nullopt},  // ... but never one after the current bar
      {10, 10, 0, 0},           // the first bar
      {10, 11, 0, std::nullopt},  // before the history
      {10, 8, 3, std::nullopt},
      {0, 0, 0, 0},
      {5, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), std::nullopt},
      {5, std::numeric_limits<int>::min(), 0, std::nullopt},
  };
  for (const Row& r : rows)
    EXPECT_EQ(barAtShift(r.current, r.shift, r.lineShift), r.bar) << r.current << " " << r.shift << " " << r.lineShift;
}

TEST(IndicatorParameters, MethodsAndPricesByTheTerminalsNumbers) {
  EXPECT_EQ(maMethodFromNumber(3), MaMethod::LinearWeighted);
  EXPECT_EQ(maMethodFromNumber(4), std::nullopt);
  EXPECT_EQ(maMethodFromNumber(-1), std::nullopt);
  EXPECT_EQ(appliedPriceFromNumber(6), AppliedPrice::Weighted);
  EXPECT_EQ(appliedPriceFromNumber(7), std::nullopt);
}

TEST(IndicatorParameters, BadParametersAndPricesAreRefused) {
  const BarSeries walk = testing_bars::randomWalk(50, 1);
  BarSeries badDigits = walk;
  badDigits.digits = 10;
  BarSeries nanPrice = walk;
  nanPrice.close[20] = std::numeric_limits<double>::quiet_NaN();
  nanPrice.low[20] = std::numeric_limits<double>::quiet_NaN();
  BarSeries hugePrice = walk;
  hugePrice.high[20] = 1e300;
  // 10^14 points a price: a sum of 100 000 of them would not fit in 64 bits.
  const BarSeries heavy = testing_bars::closes(std::vector<double>(50, 100000.0), 9);
  struct Row {
    const char* what;
    std::function<void()> make;
  };
  const Row rows[] = {
      {"MA period 0", [&] { MovingAverage(walk, 0, MaMethod::Simple, AppliedPrice::Close); }},
      {"MA digits 10", [&] { MovingAverage(badDigits, 5, MaMethod::Simple, AppliedPrice::Close); }},
      {"MA NaN close", [&] { MovingAverage(nanPrice, 5, MaMethod::Exponential, AppliedPrice::Close); }},
      {"MA huge high", [&] { MovingAverage(hugePrice, 5, MaMethod::Exponential, AppliedPrice::Median); }},
      {"SMA too heavy", [&] { MovingAverage(heavy, 100'000, MaMethod::Simple, AppliedPrice::Close); }},
      {"Bands too heavy", [&] { BollingerBands(heavy, 100'000, 2, AppliedPrice::Close); }},
      {"RSI too heavy", [&] { Rsi(heavy, 100'000, AppliedPrice::Close); }},
      {"RSI period -1", [&] { Rsi(walk, -1, AppliedPrice::Close); }},
      {"MACD fast 0", [&] { Macd(walk, 0, 26, 9, AppliedPrice::Close); }},
      {"MACD signal 0", [&] { Macd(walk, 12, 26, 0, AppliedPrice::Close); }},
      {"Bands period 0", [&] { BollingerBands(walk, 0, 2, AppliedPrice::Close); }},
      {"Bands deviation NaN", [&] { BollingerBands(walk, 20, std::nan(""), AppliedPrice::Close); }},
      {"Stochastic slowing 0", [&] { Stochastic(walk, 5, 3, 0, MaMethod::Simple, StochasticPriceField::LowHigh); }},
      {"Stochastic %D 0", [&] { Stochastic(walk, 5, 0, 3, MaMethod::Simple, StochasticPriceField::LowHigh); }},
      {"Stochastic NaN close", [&] { Stochastic(nanPrice, 5, 3, 3, MaMethod::Simple, StochasticPriceField::CloseClose); }},
      {"SAR step 0", [&] { ParabolicSar(walk, 0, 0.2); }},
      {"SAR maximum NaN", [&] { ParabolicSar(walk, 0.02, std::nan("")); }},
      {"SAR NaN low", [&] { ParabolicSar(nanPrice, 0.02, 0.2); }},
      {"ADX period 0", [&] { Adx(walk, 0); }},
      {"Donchian period 0", [&] { DonchianChannel(walk, 0); }},
  };
  for (const Row& r : rows) EXPECT_THROW(r.make(), std::invalid_argument) << r.what;
  // A partial bar with an unusable price is refused the same way.
  const MovingAverage ma(walk, 5, MaMethod::Simple, AppliedPrice::Close);
  EXPECT_THROW(ma.forming(10, Bar{0, 1, 1, 1, std::numeric_limits<double>::infinity(), 1}), std::invalid_argument);
}

}  // namespace
}  // namespace zorvik
