// The backtest of the demo library's MA trend system (EMA 10/50 crossing on H1, stop 60,
// trailing 40) on 1 000 000 bars: preparing (every indicator over the history) and the run.
// The baseline computes the same two exponential averages over the same closes and counts
// their crossings in a plain loop, the least any backtest of this system must do.
// Counters: bars_per_second; peak_MiB, the process's peak resident memory during one
// preparation and run above what it held before, against data_MiB, the bars themselves.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "backtest/backtest.hpp"
#include "market/bar_series.hpp"
#include "model/component_files.hpp"
#include "model/system_parameters.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;
using namespace zorvik;

constexpr std::size_t kBars = 1'000'000;

// A random walk in whole points, the same on every machine.
BarSeries walk(std::size_t bars) {
  BarSeries s;
  s.symbol = "EURUSD";
  s.timeframeMinutes = 60;
  s.digits = 5;
  s.reserve(bars);
  std::uint64_t state = 20240101;
  auto next = [&] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::int64_t>((state >> 33) % 41) - 20;  // -20 .. 20 points
  };
  std::int64_t price = 110000;
  const std::int64_t start = 1104537600;  // 2005-01-01 00:00
  for (std::size_t i = 0; i < bars; ++i) {
    const std::int64_t open = price;
    std::int64_t high = open, low = open;
    for (int k = 0; k < 4; ++k) {
      price += next();
      if (price < 50000) price = 50000;
      high = std::max(high, price);
      low = std::min(low, price);
    }
    s.push_back({start + static_cast<std::int64_t>(i) * 3600, open / 1e5, high / 1e5, low / 1e5, price / 1e5, 4});
  }
  return s;
}

struct Setup {
  Setup() : folder(dir.path()), ws(folder, host), history(walk(kBars)) {
    fs::create_directories(ws.userFolder());
    ws.definitions.read(testing::sourceDir() / "res" / "DVDefTable2.dat");
    ws.catalogue.readParameterCoding(ws.language, {});
    ws.catalogue.readIndicatorCoding();
    system.resetAll(systemDefaults(ws));
    const fs::path file = testing::sourceDir() / "examples" / "user" / "MA Trendfolger.hsy.txt";
    if (!readComponent(ws, system, file, componentKindOf(file.filename().string())->readerCode, 1))
      throw std::runtime_error("cannot read " + file.string());
  }
  testing::TempDir dir;
  fs::path folder;
  RecordingHost host;
  Workspace ws;
  TradingSystem system;
  BarSeries history;
};

Setup& setup() {
  static Setup s;
  return s;
}

double statusMiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::string(key).size())) / 1024.0;
  return 0;
}

void BM_BacktestMaTrend(benchmark::State& state) {
  Setup& s = setup();
  std::size_t trades = 0;
  for (auto _ : state) {
    auto prepared = Backtest::prepare(s.system, s.ws.catalogue, s.ws.definitions, s.history, {});
    const BacktestResult r = std::get<Backtest>(prepared).run();
    trades = r.trades.size();
    benchmark::DoNotOptimize(r.balance.data());
  }
  state.counters["bars_per_second"] = benchmark::Counter(static_cast<double>(kBars), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["trades"] = static_cast<double>(trades);

  // Memory, once, outside the timing: the peak is reset, one backtest runs, the rise is read.
  const double before = statusMiB("VmRSS:");
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  {
    auto prepared = Backtest::prepare(s.system, s.ws.catalogue, s.ws.definitions, s.history, {});
    benchmark::DoNotOptimize(std::get<Backtest>(prepared).run().balance.data());
  }
  state.counters["peak_MiB"] = statusMiB("VmHWM:") - before;
  state.counters["data_MiB"] = static_cast<double>(kBars * 6 * sizeof(double)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BacktestMaTrend)->Unit(benchmark::kMillisecond);

void BM_BacktestMaTrend_Baseline(benchmark::State& state) {
  const BarSeries& h = setup().history;
  const double fastAlpha = 2.0 / (10 + 1), slowAlpha = 2.0 / (50 + 1);
  std::size_t crossings = 0;
  for (auto _ : state) {
    double fast = h.close[0], slow = h.close[0];
    bool above = false;
    crossings = 0;
    for (std::size_t i = 1; i < h.size(); ++i) {
      fast = h.close[i] * fastAlpha + fast * (1 - fastAlpha);
      slow = h.close[i] * slowAlpha + slow * (1 - slowAlpha);
      const bool nowAbove = fast > slow;
      crossings += nowAbove != above;
      above = nowAbove;
    }
    benchmark::DoNotOptimize(crossings);
  }
  state.counters["bars_per_second"] = benchmark::Counter(static_cast<double>(kBars), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["crossings"] = static_cast<double>(crossings);
}
BENCHMARK(BM_BacktestMaTrend_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
