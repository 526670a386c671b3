// Every indicator over 1 000 000 bars, against two baselines:
// - _Baseline: a plain loop computing a simple moving average of the same length over the same
//   closes (a running sum of doubles, one output vector). The goal is at most twice its time.
// - _Plain: the same output lines computed the plain way in doubles: running sums, the same
//   recursions, a rescan of the window for highs and lows, a fresh vector per line, and none of
//   the exact whole-point sums the indicators keep. It says what the exactness costs. Each plain
//   loop was checked once against its indicator on these bars: the values agree to 2e-9 of
//   their size (the bands, whose sum of squares cancels, the furthest; most to 1e-11).
// items_per_second is bars per second.
#include <benchmark/benchmark.h>

#include <algorithm>
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


// ---- The plain loops -----------------------------------------------------------------------

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Up to three output lines, each a fresh vector as the indicators fill theirs.
struct Lines {
  std::vector<double> a, b, c;
};

std::vector<double> line(std::size_t n) { return std::vector<double>(n); }

// The simple moving average of x over `period` values (NaN before a full window).
void plainSma(const double* x, std::size_t n, std::size_t period, double* out, std::size_t from = 0) {
  double sum = 0;
  for (std::size_t i = from; i < n; ++i) {
    sum += x[i];
    if (i >= from + period) sum -= x[i - period];
    out[i] = i + 1 >= from + period ? sum / static_cast<double>(period) : kNaN;
  }
}

double emaStep(double x, double previous, double a) { return x * a + previous * (1 - a); }

Lines plainMa(const BarSeries& b, int length, MaMethod method) {
  const std::size_t n = b.size();
  const auto p = static_cast<std::size_t>(length);
  const double* x = b.close.data();
  Lines r{line(n), {}, {}};
  double* out = r.a.data();
  switch (method) {
    case MaMethod::Simple: plainSma(x, n, p, out); break;
    case MaMethod::Exponential: {
      const double a = 2.0 / (length + 1);
      double e = x[0];
      out[0] = e;
      for (std::size_t i = 1; i < n; ++i) out[i] = e = emaStep(x[i], e, a);
      break;
    }
    case MaMethod::Smoothed: {
      double sum = 0;
      for (std::size_t i = 0; i < p; ++i) {
        sum += x[i];
        out[i] = kNaN;
      }
      double s = out[p - 1] = sum / length;
      for (std::size_t i = p; i < n; ++i) out[i] = s = (s * (length - 1) + x[i]) / length;
      break;
    }
    case MaMethod::LinearWeighted: {
      const double weights = static_cast<double>(length) * (length + 1) / 2;
      double window = 0;
      double weighted = 0;
      for (std::size_t i = 0; i < n; ++i) {
        weighted += length * x[i] - window;
        window += x[i] - (i >= p ? x[i - p] : 0);
        out[i] = i + 1 >= p ? weighted / weights : kNaN;
      }
      break;
    }
  }
  return r;
}

// The simple average of the typical price (high + low + close) / 3, each bar's price worked out
// as it enters the window and again as it leaves.
Lines plainSmaTypical(const BarSeries& b, int length) {
  const std::size_t n = b.size();
  const auto p = static_cast<std::size_t>(length);
  auto typical = [&](std::size_t i) { return (b.high[i] + b.low[i] + b.close[i]) / 3; };
  Lines r{line(n), {}, {}};
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sum += typical(i);
    if (i >= p) sum -= typical(i - p);
    r.a[i] = i + 1 >= p ? sum / length : kNaN;
  }
  return r;
}

Lines plainRsi(const BarSeries& b, int length) {
  const std::size_t n = b.size();
  const auto p = static_cast<std::size_t>(length);
  const double* x = b.close.data();
  Lines r{line(n), {}, {}};
  double gain = 0;
  double loss = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double change = i > 0 ? x[i] - x[i - 1] : 0;
    const double up = change > 0 ? change : 0;
    const double down = change < 0 ? -change : 0;
    if (i <= p) {
      gain += up;
      loss += down;
      if (i < p) {
        r.a[i] = kNaN;
        continue;
      }
      gain /= length;
      loss /= length;
    } else {
      gain = (gain * (length - 1) + up) / length;
      loss = (loss * (length - 1) + down) / length;
    }
    r.a[i] = loss == 0 ? (gain > 0 ? 100.0 : 50.0) : 100.0 - 100.0 / (1.0 + gain / loss);
  }
  return r;
}

Lines plainMacd(const BarSeries& b, int fast, int slow, int signal) {
  const std::size_t n = b.size();
  const double* x = b.close.data();
  Lines r{line(n), line(n), line(n)};
  const double af = 2.0 / (fast + 1);
  const double as = 2.0 / (slow + 1);
  double f = x[0];
  double s = x[0];
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) {
      f = emaStep(x[i], f, af);
      s = emaStep(x[i], s, as);
    }
    r.a[i] = f - s;
  }
  plainSma(r.a.data(), n, static_cast<std::size_t>(signal), r.b.data());
  for (std::size_t i = 0; i < n; ++i) r.c[i] = r.a[i] - r.b[i];
  return r;
}

Lines plainBands(const BarSeries& b, int length, double deviation) {
  const std::size_t n = b.size();
  const auto p = static_cast<std::size_t>(length);
  const double* x = b.close.data();
  Lines r{line(n), line(n), line(n)};
  double sum = 0;
  double squares = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double leaving = i >= p ? x[i - p] : 0;
    sum += x[i] - leaving;
    squares += x[i] * x[i] - leaving * leaving;
    if (i + 1 < p) {
      r.a[i] = r.b[i] = r.c[i] = kNaN;
      continue;
    }
    const double mean = sum / length;
    const double sd = std::sqrt(std::max(0.0, squares / length - mean * mean));
    r.a[i] = mean + deviation * sd;
    r.b[i] = mean - deviation * sd;
    r.c[i] = mean;
  }
  return r;
}

Lines plainStochastic(const BarSeries& b, int kPeriod, int dPeriod, int slowing) {
  const std::size_t n = b.size();
  const auto kp = static_cast<std::size_t>(kPeriod);
  const auto sl = static_cast<std::size_t>(slowing);
  Lines r{line(n), line(n), {}};
  const std::size_t first = kp + sl - 2;
  for (std::size_t i = 0; i < n; ++i) {
    if (i < first) {
      r.a[i] = kNaN;
      continue;
    }
    double num = 0;
    double den = 0;
    for (std::size_t j = i + 1 - sl; j <= i; ++j) {
      double lowest = b.low[j];
      double highest = b.high[j];
      for (std::size_t m = j + 1 - kp; m < j; ++m) {
        lowest = std::min(lowest, b.low[m]);
        highest = std::max(highest, b.high[m]);
      }
      num += b.close[j] - lowest;
      den += highest - lowest;
    }
    r.a[i] = den == 0 ? 100.0 : num / den * 100.0;
  }
  std::fill(r.b.begin(), r.b.begin() + static_cast<std::ptrdiff_t>(std::min(n, first)), kNaN);
  plainSma(r.a.data(), n, static_cast<std::size_t>(dPeriod), r.b.data(), first);
  return r;
}

Lines plainSar(const BarSeries& b, double step, double maximum) {
  const std::size_t n = b.size();
  Lines r{line(n), {}, {}};
  r.a[0] = kNaN;
  bool rising = b.close[0] >= b.open[0];
  double sar = rising ? b.low[0] : b.high[0];
  double extreme = rising ? b.high[0] : b.low[0];
  double factor = step;
  for (std::size_t i = 1; i < n; ++i) {
    if (i > 1) {
      sar += factor * (extreme - sar);
      sar = rising ? std::min({sar, b.low[i - 1], b.low[i - 2]}) : std::max({sar, b.high[i - 1], b.high[i - 2]});
    }
    if (rising && b.low[i] < sar) {
      rising = false;
      sar = extreme;
      extreme = b.low[i];
      factor = step;
    } else if (!rising && b.high[i] > sar) {
      rising = true;
      sar = extreme;
      extreme = b.high[i];
      factor = step;
    } else if (rising ? b.high[i] > extreme : b.low[i] < extreme) {
      extreme = rising ? b.high[i] : b.low[i];
      factor = std::min(factor + step, maximum);
    }
    r.a[i] = sar;
  }
  return r;
}

Lines plainAdx(const BarSeries& b, int length) {
  const std::size_t n = b.size();
  Lines r{line(n), line(n), line(n)};
  r.a[0] = r.b[0] = r.c[0] = kNaN;
  const double a = 2.0 / (length + 1);
  double plus = 0;
  double minus = 0;
  double adx = 0;
  const double halfPoint = 0.5 / std::pow(10.0, b.digits);  // differences of prices are not exact
  for (std::size_t i = 1; i < n; ++i) {
    double plusDm = std::max(0.0, b.high[i] - b.high[i - 1]);
    double minusDm = std::max(0.0, b.low[i - 1] - b.low[i]);
    if (std::fabs(plusDm - minusDm) < halfPoint)
      plusDm = minusDm = 0;
    else if (plusDm < minusDm)
      plusDm = 0;
    else
      minusDm = 0;
    const double range = std::max(b.high[i], b.close[i - 1]) - std::min(b.low[i], b.close[i - 1]);
    const double plusRatio = range != 0 ? plusDm / range : 0;
    const double minusRatio = range != 0 ? minusDm / range : 0;
    plus = i == 1 ? plusRatio : emaStep(plusRatio, plus, a);
    minus = i == 1 ? minusRatio : emaStep(minusRatio, minus, a);
    const double sum = 100 * plus + 100 * minus;
    const double dx = sum == 0 ? 0.0 : 100.0 * std::fabs(100 * plus - 100 * minus) / sum;
    adx = i == 1 ? dx : emaStep(dx, adx, a);
    r.a[i] = adx;
    r.b[i] = 100 * plus;
    r.c[i] = 100 * minus;
  }
  return r;
}

Lines plainDonchian(const BarSeries& b, int length) {
  const std::size_t n = b.size();
  const auto p = static_cast<std::size_t>(length);
  Lines r{line(n), line(n), {}};
  for (std::size_t i = 0; i < n; ++i) {
    if (i < p) {
      r.a[i] = r.b[i] = kNaN;
      continue;
    }
    double highest = b.high[i - p];
    double lowest = b.low[i - p];
    for (std::size_t j = i - p + 1; j < i; ++j) {
      highest = std::max(highest, b.high[j]);
      lowest = std::min(lowest, b.low[j]);
    }
    r.a[i] = highest;
    r.b[i] = lowest;
  }
  return r;
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

template <class Plain>
void runPlain(benchmark::State& state, Plain plain) {
  bars();
  for (auto _ : state) {
    Lines lines = plain(bars());
    benchmark::DoNotOptimize(lines.a.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBars));
}

struct Row {
  std::string name;
  int length;
  std::function<void(benchmark::State&)> run;
  std::function<void(benchmark::State&)> plain;
};

template <class Make, class Plain>
Row row(std::string name, int length, Make make, Plain plain) {
  return {std::move(name), length, [make](benchmark::State& s) { runIndicator(s, make); },
          [plain](benchmark::State& s) { runPlain(s, plain); }};
}

const int registered = [] {
  const std::vector<Row> rows = {
      row("BM_IndicatorSMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Simple, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainMa(b, 14, MaMethod::Simple); }),
      row("BM_IndicatorEMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Exponential, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainMa(b, 14, MaMethod::Exponential); }),
      row("BM_IndicatorSMMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Smoothed, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainMa(b, 14, MaMethod::Smoothed); }),
      row("BM_IndicatorLWMA14", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::LinearWeighted, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainMa(b, 14, MaMethod::LinearWeighted); }),
      row("BM_IndicatorSMA14Typical", 14,
          [](const BarSeries& b) { return MovingAverage(b, 14, MaMethod::Simple, AppliedPrice::Typical); },
          [](const BarSeries& b) { return plainSmaTypical(b, 14); }),
      row("BM_IndicatorRSI14", 14, [](const BarSeries& b) { return Rsi(b, 14, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainRsi(b, 14); }),
      row("BM_IndicatorMACD12_26_9", 26, [](const BarSeries& b) { return Macd(b, 12, 26, 9, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainMacd(b, 12, 26, 9); }),
      row("BM_IndicatorBands20", 20,
          [](const BarSeries& b) { return BollingerBands(b, 20, 2.0, AppliedPrice::Close); },
          [](const BarSeries& b) { return plainBands(b, 20, 2.0); }),
      row("BM_IndicatorStochastic5_3_3", 5,
          [](const BarSeries& b) {
            return Stochastic(b, 5, 3, 3, MaMethod::Simple, StochasticPriceField::LowHigh);
          },
          [](const BarSeries& b) { return plainStochastic(b, 5, 3, 3); }),
      row("BM_IndicatorSAR", 14, [](const BarSeries& b) { return ParabolicSar(b, 0.02, 0.2); },
          [](const BarSeries& b) { return plainSar(b, 0.02, 0.2); }),
      row("BM_IndicatorADX14", 14, [](const BarSeries& b) { return Adx(b, 14); },
          [](const BarSeries& b) { return plainAdx(b, 14); }),
      row("BM_IndicatorDonchian20", 20, [](const BarSeries& b) { return DonchianChannel(b, 20); },
          [](const BarSeries& b) { return plainDonchian(b, 20); }),
  };
  for (const Row& r : rows) {
    benchmark::RegisterBenchmark(r.name.c_str(), r.run)->Unit(benchmark::kMillisecond);
    const int length = r.length;
    benchmark::RegisterBenchmark((r.name + "_Baseline").c_str(),
                                 [length](benchmark::State& s) { runBaseline(s, length); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((r.name + "_Plain").c_str(), r.plain)->Unit(benchmark::kMillisecond);
  }
  return 0;
}();

}  // namespace
