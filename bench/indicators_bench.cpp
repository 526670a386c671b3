// Every indicator over 1 000 000 bars. The baseline of each is a plain loop computing a simple
// moving average of the same length over the same closes (a running sum of doubles, one output
// vector); the goal is at most twice its time. items_per_second is bars per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <functional>
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
#include "market/bar_series.hpp"

namespace {

using namespace zorvik;

constexpr std::size_t kBars = 1'000'000;

// A random walk of five-digit prices around 1.1, with bars of realistic range.
const BarSeries& bars() {
  static const BarSeries s = [] {
    BarSeries b;
    b.symbol = "BENCH";
    b.timeframeMinutes = 60;
    b.digits = 5;
    b.reserve(kBars);
    std::uint64_t state = 88172645463325252ULL;
    auto next = [&](std::int64_t range) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      return static_cast<std::int64_t>(state % static_cast<std::uint64_t>(range));
    };
    std::int64_t close = 110'000;
    for (std::size_t i = 0; i < kBars; ++i) {
      const std::int64_t open = close;
      std::int64_t c = open + next(81) - 40;
      if (c < 50'000) c = 50'000 + next(100);
      const std::int64_t h = std::max(open, c) + next(20);
      const std::int64_t l = std::min(open, c) - next(20);
      b.push_back({static_cast<std::int64_t>(i) * 3600, open / 1e5, h / 1e5, l / 1e5, c / 1e5, 100});
      close = c;
    }
    return b;
  }();
  return s;
}

void runBaseline(benchmark::State& state, int length) {
  const std::vector<double>& close = bars().close;
  for (auto _ : state) {
    std::vector<double> out(close.size());
    double sum = 0;
    const auto n = static_cast<std::size_t>(length);
    for (std::size_t i = 0; i < close.size(); ++i) {
      sum += close[i];
      if (i >= n) sum -= close[i - n];
      out[i] = i + 1 >= n ? sum / length : std::numeric_limits<double>::quiet_NaN();
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBars));
}

template <class Make>
void runIndicator(benchmark::State& state, Make make) {
  bars();
  for (auto _ : state) {
    auto indicator = make(bars());
    benchmark::DoNotOptimize(&indicator);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBars));
}

struct Row {
  std::string name;
  int length;
  std::function<void(benchmark::State&)> run;
};

template <class Make>
Row row(std::string name, int length, Make make) {
  return {std::move(name), length, [make](benchmark::State& s) { runIndicator(s, make); }};
}

const int registered = [] {
  const std::vector<Row> rows = {
      row("BM_IndicatorSMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Simple, AppliedPrice::Close); }),
      row("BM_IndicatorEMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Exponential, AppliedPrice::Close); }),
      row("BM_IndicatorSMMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Smoothed, AppliedPrice::Close); }),
      row("BM_IndicatorLWMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::LinearWeighted, AppliedPrice::Close); }),
      row("BM_IndicatorSMA14Typical", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Simple, AppliedPrice::Typical); }),
      row("BM_IndicatorRSI14", 14, [](const BarSeries& b) { return Rsi(b, 14, AppliedPrice::Close); }),
      row("BM_IndicatorMACD12_26_9", 26, [](const BarSeries& b) { return Macd(b, 12, 26, 9, AppliedPrice::Close); }),
      row("BM_IndicatorBands20", 20,
          [](const BarSeries& b) { return BollingerBands(b, 20, 2.0, AppliedPrice::Close); }),
      row("BM_IndicatorStochastic5_3_3", 5,
          [](const BarSeries& b) {
            return Stochastic(b, 5, 3, 3, MaMethod::Simple, StochasticPriceField::LowHigh);
          }),
      row("BM_IndicatorSAR", 14, [](const BarSeries& b) { return ParabolicSar(b, 0.02, 0.2); }),
      row("BM_IndicatorADX14", 14, [](const BarSeries& b) { return Adx(b, 14); }),
      row("BM_IndicatorDonchian20", 20, [](const BarSeries& b) { return DonchianChannel(b, 20); }),
  };
  for (const Row& r : rows) {
    benchmark::RegisterBenchmark(r.name.c_str(), r.run)->Unit(benchmark::kMillisecond);
    const int length = r.length;
    benchmark::RegisterBenchmark((r.name + "_Baseline").c_str(),
                                 [length](benchmark::State& s) { runBaseline(s, length); })
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}();

}  // namespace
