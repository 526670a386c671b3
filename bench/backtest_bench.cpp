// The backtest of the demo library's MA trend system (EMA 10/50 crossing on H1, stop 60,
// trailing 40) on 1 000 000 bars: preparing (every indicator over the history) and the run.
// Two baselines: the two exponential averages over the same closes and their crossings in a
// plain loop (_Baseline), the least any backtest of this system must do; and the whole work of
// the backtest (ticks, stops, fills, curves) written plainly for this one system (_PlainLoop).
// _Costs runs it on an account with commission, swap and margin.
// Counters: bars_per_second; peak_MiB, the process's peak resident memory during one
// preparation and run above what it held before, against data_MiB, the bars themselves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "backtest/backtest.hpp"
#include "market/bar_series.hpp"
#include "model/component_files.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace {

namespace fs = std::filesystem;
using namespace zorvik;

constexpr std::size_t kBars = 1'000'000;
// The walk loses about 40 000 over the million bars at 0.1 lots: a deposit far above that keeps
// the account from being stopped out, so that every bar is traded and the work measured stays
// the same as the plain loop's.
constexpr double kDeposit = 1'000'000;

BacktestSettings deposited() {
  BacktestSettings s;
  s.deposit = kDeposit;
  return s;
}

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

// The timed loop of the MA system's backtest on these settings, with its rate, trades and result.
void timeMaTrendBacktest(benchmark::State& state, const BacktestSettings& settings) {
  Setup& s = setup();
  std::size_t trades = 0;
  double netProfit = 0;
  for (auto _ : state) {
    auto prepared = Backtest::prepare(s.system, s.ws.catalogue, s.ws.definitions, s.history, settings);
    const BacktestResult r = std::get<Backtest>(prepared).run();
    trades = r.trades.size();
    netProfit = r.statistics.netProfit;
    benchmark::DoNotOptimize(r.balance.data());
  }
  state.counters["bars_per_second"] = benchmark::Counter(static_cast<double>(kBars), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["trades"] = static_cast<double>(trades);
  state.counters["net_profit"] = netProfit;
}

void BM_BacktestMaTrend(benchmark::State& state) {
  timeMaTrendBacktest(state, deposited());
  Setup& s = setup();

  // Memory, once, outside the timing: the peak is reset, one backtest runs, the rise is read.
  const double before = statusMiB("VmRSS:");
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  {
    auto prepared = Backtest::prepare(s.system, s.ws.catalogue, s.ws.definitions, s.history, deposited());
    benchmark::DoNotOptimize(std::get<Backtest>(prepared).run().balance.data());
  }
  state.counters["peak_MiB"] = statusMiB("VmHWM:") - before;
  state.counters["data_MiB"] = static_cast<double>(kBars * 6 * sizeof(double)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BacktestMaTrend)->Unit(benchmark::kMillisecond);

// The same backtest on an account that charges commission and swap every night and watches
// the margin for the stop out: what the account's costs add to the tick loop.
void BM_BacktestMaTrend_Costs(benchmark::State& state) {
  BacktestSettings settings = deposited();
  settings.account.leverage = 100;
  settings.account.stopOutPercent = 50;
  settings.account.commissionPerLot = 7;
  settings.account.swapLongPoints = -3.2;
  settings.account.swapShortPoints = 0.8;
  timeMaTrendBacktest(state, settings);
}
BENCHMARK(BM_BacktestMaTrend_Costs)->Unit(benchmark::kMillisecond);

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

// The same work as the backtest, written the plain way for this one system: the two averages
// in doubles, the crossings at each bar's first tick, four ticks a bar while a position is open
// (one while none is), the stop of 60 points and the trailing stop of 40 checked at every tick,
// fills and profits, the equity's drawdown at every tick, and the equity and balance of every
// bar. It has to agree with the backtest on the trades and the net profit (the counters show
// both), so that the ratio compares the same work done twice.
struct PlainTrade {
  bool isLong;
  double openPrice, closePrice, profit;
  std::int64_t openTime, closeTime;
};

void BM_BacktestMaTrend_PlainLoop(benchmark::State& state) {
  const BarSeries& h = setup().history;
  const std::size_t n = h.size();
  constexpr double kPointsPerPrice = 1e5, kLots = 0.1, kContract = 100000;
  constexpr std::int64_t kSpread = 20, kStop = 60, kTrail = 40;
  const double fastAlpha = 2.0 / (10 + 1), slowAlpha = 2.0 / (50 + 1);
  std::size_t trades = 0;
  double netProfit = 0;
  for (auto _ : state) {
    std::vector<double> fast(n), slow(n);
    fast[0] = slow[0] = h.close[0];
    for (std::size_t i = 1; i < n; ++i) {
      fast[i] = h.close[i] * fastAlpha + fast[i - 1] * (1 - fastAlpha);
      slow[i] = h.close[i] * slowAlpha + slow[i - 1] * (1 - slowAlpha);
    }
    std::vector<PlainTrade> closed;
    std::vector<std::int64_t> times;
    std::vector<double> equityCurve, balanceCurve;
    times.reserve(n);
    equityCurve.reserve(n);
    balanceCurve.reserve(n);
    int side = 0;  // 1 long, -1 short, 0 flat
    std::int64_t openPoints = 0, stop = 0, openTime = 0;
    double openPrice = 0, balance = kDeposit, peak = kDeposit, drawdown = 0, equity = kDeposit;
    std::int64_t time = 0;
    auto close = [&](std::int64_t fillPoints) {
      const double fill = static_cast<double>(fillPoints) / kPointsPerPrice;
      const double profit = (side > 0 ? fill - openPrice : openPrice - fill) * kLots * kContract;
      closed.push_back({side > 0, openPrice, fill, profit, openTime, time});
      balance += profit;
      side = 0;
    };
    auto tick = [&](std::size_t b, bool first, double bidPrice) {
      const auto bid = static_cast<std::int64_t>(bidPrice * kPointsPerPrice + 0.5);
      const std::int64_t ask = bid + kSpread;
      if (side > 0 && bid <= stop) close(first ? bid : stop);
      if (side < 0 && ask >= stop) close(first ? ask : stop);
      if (side > 0 && bid - kTrail > stop) stop = bid - kTrail;
      if (side < 0 && ask + kTrail < stop) stop = ask + kTrail;
      if (first && b >= 2) {
        const bool up = fast[b - 1] > slow[b - 1] && fast[b - 2] <= slow[b - 2];
        const bool down = fast[b - 1] < slow[b - 1] && fast[b - 2] >= slow[b - 2];
        if (side > 0 && down) close(bid);
        if (side < 0 && up) close(ask);
        if (side == 0 && (up || down)) {
          side = up ? 1 : -1;
          openPoints = up ? ask : bid;
          openPrice = static_cast<double>(openPoints) / kPointsPerPrice;
          stop = up ? bid - kStop : ask + kStop;
          openTime = time;
        }
      }
      equity = side == 0 ? balance
               : side > 0 ? balance + (bidPrice - openPrice) * kLots * kContract
                          : balance + (openPrice - static_cast<double>(ask) / kPointsPerPrice) * kLots * kContract;
      if (equity > peak) peak = equity;
      drawdown = std::max(drawdown, peak - equity);
    };
    for (std::size_t b = 0; b < n; ++b) {
      time = h.time[b];
      tick(b, true, h.open[b]);
      if (side != 0) {
        const bool lowFirst = h.close[b] >= h.open[b];
        tick(b, false, lowFirst ? h.low[b] : h.high[b]);
        tick(b, false, lowFirst ? h.high[b] : h.low[b]);
        tick(b, false, h.close[b]);
      }
      if (b + 1 == n && side != 0) {
        const auto last = static_cast<std::int64_t>(h.close[b] * kPointsPerPrice + 0.5);
        close(side > 0 ? last : last + kSpread);
        equity = balance;
      }
      times.push_back(time);
      equityCurve.push_back(side == 0 ? balance : equity);
      balanceCurve.push_back(balance);
    }
    trades = closed.size();
    netProfit = balance - kDeposit;
    benchmark::DoNotOptimize(drawdown);
    benchmark::DoNotOptimize(balanceCurve.data());
  }
  state.counters["bars_per_second"] = benchmark::Counter(static_cast<double>(kBars), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["trades"] = static_cast<double>(trades);
  state.counters["net_profit"] = netProfit;
}
BENCHMARK(BM_BacktestMaTrend_PlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
