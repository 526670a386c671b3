// What every indicator promises, checked for all of them through one table: the length of its
// lines, NaN exactly during its warm-up, the value of a bar being formed, constant input.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
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

// One indicator on one series, seen as a list of lines.
struct Probe {
  std::vector<std::vector<double>> lines;
  std::vector<std::size_t> firstDefined;
  std::function<std::vector<double>(std::size_t, const Bar&)> forming;
};

struct Case {
  std::string name;
  std::function<Probe(const BarSeries&)> make;
  // The lines on constant bars at `price`, once defined.
  std::function<std::vector<double>(double price)> constantValues;
  // The lines long after the prices stepped up to `price` and stayed there.
  std::function<std::vector<double>(double price)> afterStepUp;
};

template <class Indicator, class... Args>
Probe single(const BarSeries& s, Args... args) {
  auto ind = std::make_shared<Indicator>(s, args...);
  return {{ind->values()}, {ind->firstDefined()}, [ind](std::size_t i, const Bar& b) {
            return std::vector<double>{ind->forming(i, b)};
          }};
}

std::vector<Case> allCases() {
  std::vector<Case> cases;
  const auto same = [](double p) { return std::vector<double>{p}; };
  for (int m = 0; m <= 3; ++m)
    for (int a = 0; a <= 6; ++a)
      for (int period : {1, 5}) {
        const auto method = *maMethodFromNumber(m);
        const auto price = *appliedPriceFromNumber(a);
        cases.push_back({"MA " + std::string(maMethodName(method)) + " " + std::string(appliedPriceName(price)) + " " +
                             std::to_string(period),
                         [=](const BarSeries& s) { return single<MovingAverage>(s, period, method, price); }, same, same});
      }
  for (int period : {1, 3, 14})
    for (auto price : {AppliedPrice::Close, AppliedPrice::Typical})
      cases.push_back({"RSI " + std::to_string(period) + " " + std::string(appliedPriceName(price)),
                       [=](const BarSeries& s) { return single<Rsi>(s, period, price); },
                       [](double) { return std::vector<double>{50}; },
                       // No loss since the step: the gain fades but stays above 0 (with period 1
                       // it is the last change alone).
                       [=](double) { return std::vector<double>{period == 1 ? 50.0 : 100.0}; }});
  for (auto [f, sl, sg] : {std::tuple{12, 26, 9}, {3, 5, 2}, {5, 3, 1}})
    cases.push_back({"MACD " + std::to_string(f) + "," + std::to_string(sl) + "," + std::to_string(sg),
                     [=](const BarSeries& s) {
                       auto ind = std::make_shared<Macd>(s, f, sl, sg, AppliedPrice::Weighted);
                       return Probe{{ind->main(), ind->signal(), ind->osma()},
                                    {ind->firstDefinedMain(), ind->firstDefinedSignal(), ind->firstDefinedSignal()},
                                    [ind](std::size_t i, const Bar& b) {
                                      const MacdValues v = ind->forming(i, b);
                                      return std::vector<double>{v.main, v.signal, v.osma};
                                    }};
                     },
                     [](double) { return std::vector<double>{0, 0, 0}; },
                     [](double) { return std::vector<double>{0, 0, 0}; }});
  for (int period : {1, 4, 20})
    cases.push_back({"Bands " + std::to_string(period),
                     [=](const BarSeries& s) {
                       auto ind = std::make_shared<BollingerBands>(s, period, 2.0, AppliedPrice::Typical);
                       return Probe{{ind->upper(), ind->lower(), ind->middle()},
                                    {ind->firstDefined(), ind->firstDefined(), ind->firstDefined()},
                                    [ind](std::size_t i, const Bar& b) {
                                      const BandsValues v = ind->forming(i, b);
                                      return std::vector<double>{v.upper, v.lower, v.middle};
                                    }};
                     },
                     [](double p) { return std::vector<double>{p, p, p}; },
                     [](double p) { return std::vector<double>{p, p, p}; }});
  for (int m = 0; m <= 3; ++m)
    for (auto field : {StochasticPriceField::LowHigh, StochasticPriceField::CloseClose})
      for (auto [k, d, slow] : {std::tuple{5, 3, 3}, {1, 1, 1}, {4, 2, 1}}) {
        const auto method = *maMethodFromNumber(m);
        cases.push_back({"Stochastic " + std::to_string(k) + "," + std::to_string(d) + "," + std::to_string(slow) + " " +
                             std::string(maMethodName(method)) + " field " + std::to_string(static_cast<int>(field)),
                         [=](const BarSeries& s) {
                           auto ind = std::make_shared<Stochastic>(s, k, d, slow, method, field);
                           return Probe{{ind->main(), ind->signal()},
                                        {ind->firstDefinedMain(), ind->firstDefinedSignal()},
                                        [ind](std::size_t i, const Bar& b) {
                                          const StochasticValues v = ind->forming(i, b);
                                          return std::vector<double>{v.main, v.signal};
                                        }};
                         },
                         [](double) { return std::vector<double>{100, 100}; },
                         [](double) { return std::vector<double>{100, 100}; }});
      }
  cases.push_back({"SAR", [](const BarSeries& s) { return single<ParabolicSar>(s, 0.02, 0.2); }, same, same});
  cases.push_back({"SAR fast", [](const BarSeries& s) { return single<ParabolicSar>(s, 0.1, 0.3); }, same, same});
  for (int period : {1, 3, 14})
    cases.push_back({"ADX " + std::to_string(period),
                     [=](const BarSeries& s) {
                       auto ind = std::make_shared<Adx>(s, period);
                       return Probe{{ind->main(), ind->plusDi(), ind->minusDi()},
                                    {ind->firstDefined(), ind->firstDefined(), ind->firstDefined()},
                                    [ind](std::size_t i, const Bar& b) {
                                      const AdxValues v = ind->forming(i, b);
                                      return std::vector<double>{v.main, v.plusDi, v.minusDi};
                                    }};
                     },
                     [](double) { return std::vector<double>{0, 0, 0}; },
                     // +DI and -DI fade towards 0, +DI always the larger: DX stays 100 (with
                     // period 1 the lines are the last bar's alone, which did not move).
                     [=](double) { return std::vector<double>{period == 1 ? 0.0 : 100.0, 0, 0}; }});
  for (int period : {1, 20})
    cases.push_back({"Donchian " + std::to_string(period),
                     [=](const BarSeries& s) {
                       auto ind = std::make_shared<DonchianChannel>(s, period);
                       return Probe{{ind->highest(), ind->lowest()},
                                    {ind->firstDefined(), ind->firstDefined()},
                                    [ind](std::size_t i, const Bar& b) {
                                      const DonchianValues v = ind->forming(i, b);
                                      return std::vector<double>{v.highest, v.lowest};
                                    }};
                     },
                     [](double p) { return std::vector<double>{p, p}; },
                     [](double p) { return std::vector<double>{p, p}; }});
  return cases;
}

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

TEST(IndicatorContract, LinesAreNaNExactlyBeforeTheirFirstDefinedBar) {
  const BarSeries walk = testing_bars::randomWalk(400, 7);
  for (const Case& c : allCases()) {
    const Probe p = c.make(walk);
    ASSERT_EQ(p.lines.size(), p.firstDefined.size()) << c.name;
    for (std::size_t l = 0; l < p.lines.size(); ++l) {
      ASSERT_EQ(p.lines[l].size(), walk.size()) << c.name;
      for (std::size_t i = 0; i < walk.size(); ++i)
        ASSERT_EQ(std::isnan(p.lines[l][i]), i < p.firstDefined[l]) << c.name << " line " << l << " bar " << i;
      for (double v : p.lines[l]) ASSERT_FALSE(std::isinf(v)) << c.name;
    }
  }
}

TEST(IndicatorContract, TheFormingValueOfACompletedBarIsItsSeriesValue) {
  const BarSeries walk = testing_bars::randomWalk(300, 11);
  for (const Case& c : allCases()) {
    const Probe p = c.make(walk);
    for (std::size_t i = 0; i < walk.size(); ++i) {
      const std::vector<double> f = p.forming(i, walk.bar(i));
      for (std::size_t l = 0; l < p.lines.size(); ++l)
        ASSERT_TRUE(sameBits(f[l], p.lines[l][i]))
            << c.name << " line " << l << " bar " << i << ": " << f[l] << " vs " << p.lines[l][i];
    }
  }
}

TEST(IndicatorContract, FormingValuesAtEveryTickOfABarAndAfterTheHistory) {
  // The ticks of a bar: open, then low and high, then close, the bar's range growing.
  const BarSeries walk = testing_bars::randomWalk(120, 3);
  for (const Case& c : allCases()) {
    const Probe p = c.make(walk);
    for (std::size_t i = 0; i <= walk.size(); ++i) {
      const Bar full = i < walk.size() ? walk.bar(i) : walk.bar(i - 1);
      const Bar ticks[] = {{full.time, full.open, full.open, full.open, full.open, 1},
                           {full.time, full.open, full.open, full.low, full.low, 2},
                           {full.time, full.open, full.high, full.low, full.high, 3}};
      for (const Bar& t : ticks) {
        const std::vector<double> f = p.forming(i, t);
        for (std::size_t l = 0; l < p.lines.size(); ++l)
          ASSERT_EQ(std::isnan(f[l]), i < p.firstDefined[l]) << c.name << " line " << l << " bar " << i;
      }
    }
    EXPECT_THROW(p.forming(walk.size() + 1, walk.bar(0)), std::out_of_range) << c.name;
  }
}

TEST(IndicatorContract, ConstantBarsGiveTheConstantValues) {
  for (double price : {1.23456, 0.00001, 98765.4321}) {
    const BarSeries flat = testing_bars::closes(std::vector<double>(60, price));
    for (const Case& c : allCases()) {
      const Probe p = c.make(flat);
      const std::vector<double> expected = c.constantValues(price);
      for (std::size_t l = 0; l < p.lines.size(); ++l)
        for (std::size_t i = p.firstDefined[l]; i < flat.size(); ++i)
          // Recursive averages (price*a + previous*(1-a)) may leave the constant by an ulp.
          ASSERT_NEAR(p.lines[l][i], expected[l], 1e-12 * std::max({1.0, price, std::fabs(expected[l])}))
              << c.name << " line " << l << " bar " << i << " price " << price;
    }
  }
}

TEST(IndicatorContract, AStepUpSettlesAtTheNewLevel) {
  std::vector<double> prices(30, 1.2);
  prices.resize(1030, 1.5);  // long enough for every recursion, short of underflow
  const BarSeries step = testing_bars::closes(prices);
  for (const Case& c : allCases()) {
    const Probe p = c.make(step);
    const std::vector<double> expected = c.afterStepUp(1.5);
    for (std::size_t l = 0; l < p.lines.size(); ++l)
      EXPECT_NEAR(p.lines[l].back(), expected[l], 1e-9 * std::max(1.5, std::fabs(expected[l]))) << c.name << " line " << l;
  }
}

TEST(IndicatorContract, ABarNeverSeesLaterBars) {
  const BarSeries walk = testing_bars::randomWalk(200, 5);
  BarSeries head = walk;
  for (auto* column : {&head.open, &head.high, &head.low, &head.close, &head.volume}) column->resize(90);
  head.time.resize(90);
  for (const Case& c : allCases()) {
    const Probe whole = c.make(walk);
    const Probe early = c.make(head);
    for (std::size_t l = 0; l < whole.lines.size(); ++l)
      for (std::size_t i = 0; i < head.size(); ++i)
        ASSERT_TRUE(sameBits(whole.lines[l][i], early.lines[l][i])) << c.name << " line " << l << " bar " << i;
  }
}

TEST(IndicatorContract, AnEmptyHistoryGivesEmptyLines) {
  const BarSeries none = testing_bars::closes({});
  for (const Case& c : allCases()) {
    const Probe p = c.make(none);
    for (const auto& line : p.lines) EXPECT_TRUE(line.empty()) << c.name;
  }
}

}  // namespace
}  // namespace zorvik
