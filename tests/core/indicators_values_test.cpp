// Each indicator on a few bars, against values worked out by hand (fractions, then written to
// double precision). Two decimals keep the hand arithmetic short: the closes are
// 10.00 10.20 10.10 10.40 10.30 10.60 10.50 10.50, and the bars of the OHLC set are
//   bar  open  high  low   close
//   0    1.00  1.05  0.98  1.03
//   1    1.03  1.08  1.01  1.07
//   2    1.07  1.09  1.04  1.05
//   3    1.05  1.06  0.99  1.00
//   4    1.00  1.02  0.96  0.97
//   5    0.97  1.01  0.95  1.00
//   6    1.00  1.04  0.99  1.03
//   7    1.03  1.07  1.02  1.06

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "indicators/adx.hpp"
#include "indicators/bollinger_bands.hpp"
#include "indicators/donchian.hpp"
#include "indicators/macd.hpp"
#include "indicators/moving_average.hpp"
#include "indicators/parabolic_sar.hpp"
#include "indicators/rsi.hpp"
#include "indicators/stochastic.hpp"
#include "indicators_fixtures.hpp"

namespace zorvik {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

BarSeries closeSet() { return testing_bars::closes({10.00, 10.20, 10.10, 10.40, 10.30, 10.60, 10.50, 10.50}, 2); }

BarSeries ohlcSet() {
  return testing_bars::series({{1.00, 1.05, 0.98, 1.03},
                               {1.03, 1.08, 1.01, 1.07},
                               {1.07, 1.09, 1.04, 1.05},
                               {1.05, 1.06, 0.99, 1.00},
                               {1.00, 1.02, 0.96, 0.97},
                               {0.97, 1.01, 0.95, 1.00},
                               {1.00, 1.04, 0.99, 1.03},
                               {1.03, 1.07, 1.02, 1.06}},
                              2);
}

void expectLine(const std::vector<double>& actual, const std::vector<double>& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::isnan(expected[i]))
      EXPECT_TRUE(std::isnan(actual[i])) << what << " bar " << i << ": " << actual[i];
    else
      EXPECT_NEAR(actual[i], expected[i], 1e-12 * std::max(1.0, std::fabs(expected[i]))) << what << " bar " << i;
  }
}

TEST(IndicatorValues, MovingAveragesOfThreeCloses) {
  struct Row {
    MaMethod method;
    std::vector<double> values;
  };
  // SMA: (10.00+10.20+10.10)/3 = 10.10 ...; EMA a = 1/2 from 10.00; SMMA from 10.10, then
  // (prev*2 + close)/3; LWMA weights 3,2,1 over 6: (3*10.10 + 2*10.20 + 10.00)/6 = 10.11666...
  const Row rows[] = {
      {MaMethod::Simple, {NaN, NaN, 10.1, 10.233333333333333, 10.266666666666667, 10.433333333333334,
                          10.466666666666667, 10.533333333333333}},
      {MaMethod::Exponential, {10.0, 10.1, 10.1, 10.25, 10.275, 10.4375, 10.46875, 10.484375}},
      {MaMethod::Smoothed, {NaN, NaN, 10.1, 10.2, 10.233333333333333, 10.355555555555556, 10.403703703703703,
                            10.435802469135803}},
      {MaMethod::LinearWeighted, {NaN, NaN, 10.116666666666667, 10.266666666666667, 10.3, 10.466666666666667, 10.5,
                                  10.516666666666667}},
  };
  for (const Row& r : rows)
    expectLine(MovingAverage(closeSet(), 3, r.method, AppliedPrice::Close).values(), r.values,
               std::string(maMethodName(r.method)));
}

TEST(IndicatorValues, AppliedPricesOfOneBar) {
  const Bar bar{0, 1.00, 1.05, 0.98, 1.03, 1};
  struct Row {
    AppliedPrice price;
    double value;
  };
  for (const Row& r : {Row{AppliedPrice::Close, 1.03}, {AppliedPrice::Open, 1.00}, {AppliedPrice::High, 1.05},
                       {AppliedPrice::Low, 0.98}, {AppliedPrice::Median, 1.015}, {AppliedPrice::Typical, 3.06 / 3},
                       {AppliedPrice::Weighted, 4.09 / 4}})
    EXPECT_DOUBLE_EQ(appliedPriceOf(bar, r.price, 2), r.value) << appliedPriceName(r.price);
  // The simple average of two weighted prices: (4.09 + 4.23) / 4 / 2.
  EXPECT_DOUBLE_EQ(MovingAverage(ohlcSet(), 2, MaMethod::Simple, AppliedPrice::Weighted).values()[1], 8.32 / 8);
}

TEST(IndicatorValues, RsiOfThreeChanges) {
  // Changes +20 -10 +30 -10 +30 -10 0 (hundredths). Bar 3: gain 50/3, loss 10/3 -> 100 - 100/6.
  // Bar 4: gain (100/3)/3, loss (20/3 + 10)/3 ... -> 66.67; then Wilder onwards.
  expectLine(Rsi(closeSet(), 3, AppliedPrice::Close).values(),
             {NaN, NaN, NaN, 83.33333333333333, 66.66666666666667, 82.45614035087719, 66.66666666666667,
              66.66666666666667},
             "RSI 3");
  // Only rises: 100; no change at all: 50.
  expectLine(Rsi(testing_bars::closes({1, 2, 3, 4}), 2, AppliedPrice::Close).values(), {NaN, NaN, 100, 100}, "rises");
  expectLine(Rsi(testing_bars::closes({1, 1, 1}), 2, AppliedPrice::Close).values(), {NaN, NaN, 50}, "flat");
}

TEST(IndicatorValues, MacdMainSignalAndOsma) {
  // EMA(2) - EMA(3) of the closes; the signal is the simple average of two main values.
  const Macd macd(closeSet(), 2, 3, 2, AppliedPrice::Close);
  expectLine(macd.main(),
             {0.0, 0.03333333333333333, 0.011111111111111112, 0.053703703703703705, 0.026234567901234566,
              0.06291152263374486, 0.03138717421124829, 0.015670724737082763},
             "main");
  expectLine(macd.signal(),
             {NaN, 0.016666666666666666, 0.022222222222222223, 0.032407407407407406, 0.039969135802469136,
              0.04457304526748971, 0.04714934842249657, 0.023528949474165523},
             "signal");
  expectLine(macd.osma(),
             {NaN, 0.016666666666666666, -0.011111111111111112, 0.021296296296296296, -0.013734567901234567,
              0.018338477366255143, -0.015762174211248287, -0.007858224737082762},
             "OsMA");
}

TEST(IndicatorValues, BandsOfThreeCloses) {
  // Bar 2: mean 10.10, squared distances 0.01 + 0.01 + 0 -> sd sqrt(0.02/3) = 0.08165, x 2.
  const BollingerBands bands(closeSet(), 3, 2.0, AppliedPrice::Close);
  expectLine(bands.upper(),
             {NaN, NaN, 10.263299316185545, 10.482777159118262, 10.516110492451597, 10.682777159118263,
              10.716110492451596, 10.627614237491539},
             "upper");
  expectLine(bands.lower(),
             {NaN, NaN, 9.936700683814454, 9.983889507548403, 10.017222840881738, 10.183889507548404,
              10.217222840881737, 10.439052429175128},
             "lower");
  expectLine(bands.middle(),
             {NaN, NaN, 10.1, 10.233333333333333, 10.266666666666667, 10.433333333333334, 10.466666666666667,
              10.533333333333333},
             "middle");
}

TEST(IndicatorValues, StochasticThreeTwoTwo) {
  // %K(3), slowing 2: bar 3 = ((1.05-0.98) + (1.00-0.99)) / ((1.09-0.98) + (1.09-0.99)) = 8/21.
  const std::vector<double> main = {NaN, NaN, NaN, 38.095238095238095, 8.695652173913043, 25.0, 65.0,
                                    90.47619047619048};
  struct Row {
    MaMethod method;
    std::vector<double> signal;
  };
  const Row rows[] = {
      {MaMethod::Simple, {NaN, NaN, NaN, NaN, 23.39544513457557, 16.847826086956523, 45.0, 77.73809523809524}},
      {MaMethod::Exponential, {NaN, NaN, NaN, NaN, 18.49551414768806, 22.831838049229354, 50.94394601640978,
                               77.29877565626357}},
      {MaMethod::Smoothed, {NaN, NaN, NaN, NaN, 23.39544513457557, 24.197722567287784, 44.59886128364389,
                            67.53752587991718}},
      {MaMethod::LinearWeighted, {NaN, NaN, NaN, NaN, 18.49551414768806, 19.565217391304348, 51.666666666666664,
                                  81.98412698412699}},
  };
  for (const Row& r : rows) {
    const Stochastic st(ohlcSet(), 3, 2, 2, r.method, StochasticPriceField::LowHigh);
    expectLine(st.main(), main, "main");
    expectLine(st.signal(), r.signal, std::string("signal ") + std::string(maMethodName(r.method)));
  }
  // On closes only: bar 4 closes at its lowest close (0.0), bar 6 and 7 at their highest (100).
  expectLine(Stochastic(ohlcSet(), 3, 2, 2, MaMethod::Simple, StochasticPriceField::CloseClose).main(),
             {NaN, NaN, NaN, 18.181818181818183, 0.0, 27.272727272727273, 100.0, 100.0}, "close/close");
}

TEST(IndicatorValues, ParabolicSarRisesThenReverses) {
  // Rising from bar 0's low 0.98; EP 1.08 then 1.09 (AF .04, .06); bar 3: .98 + .06 x .11;
  // bar 4's low .96 breaks the stop (.9928 held at bar 3's low .99): the SAR becomes the EP 1.09.
  expectLine(ParabolicSar(ohlcSet(), 0.02, 0.2).values(),
             {NaN, 0.98, 0.98, 0.9866, 1.09, 1.0874, 1.081904, 1.07662784}, "SAR");
  // A falling first bar starts from its high, and a rise above the stop reverses at once.
  expectLine(ParabolicSar(testing_bars::series({{1.05, 1.06, 1.00, 1.01}, {1.02, 1.07, 1.01, 1.06}}, 2), 0.02, 0.2)
                 .values(),
             {NaN, 1.00}, "falling start");
}

TEST(IndicatorValues, AdxOfThree) {
  // Bar 1: +DM .03, TR .07 -> +DI 300/7; -DM 0. EMA a = 1/2 from bar 1.
  const Adx adx(ohlcSet(), 3);
  expectLine(adx.main(),
             {NaN, 100.0, 100.0, 69.44444444444444, 69.22926447574335, 72.95385485271267, 54.71072666396751,
              63.42778673031245},
             "ADX");
  expectLine(adx.plusDi(),
             {NaN, 42.857142857142854, 31.428571428571427, 15.714285714285714, 7.857142857142857, 3.9285714285714284,
              31.964285714285715, 45.982142857142854},
             "+DI");
  expectLine(adx.minusDi(),
             {NaN, 0.0, 0.0, 35.714285714285715, 42.857142857142854, 29.761904761904763, 14.880952380952381,
              7.440476190476191},
             "-DI");
}

TEST(IndicatorValues, DonchianOfTheTwoBarsBefore) {
  const DonchianChannel ch(ohlcSet(), 2);
  expectLine(ch.highest(), {NaN, NaN, 1.08, 1.09, 1.09, 1.06, 1.02, 1.04}, "highest");
  expectLine(ch.lowest(), {NaN, NaN, 0.98, 1.01, 0.99, 0.96, 0.95, 0.95}, "lowest");
  // A bar after the history: its two predecessors, whatever the partial bar holds.
  const DonchianValues next = ch.forming(8, Bar{0, 9, 9, 0.01, 5, 1});
  EXPECT_EQ(next.highest, 1.07);
  EXPECT_EQ(next.lowest, 0.99);
}

}  // namespace
}  // namespace zorvik
