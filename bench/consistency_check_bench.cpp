// The silent consistency check runs on every heartbeat tick (100 ms), so one call must stay far
// below a millisecond. Systems of 4 x 100 indicators, matched in reversed order so that the
// one-to-one matching has to try most pairs before it finds each partner.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "analysis/consistency_check.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

struct Fixture : testing::TestWorkspace {
  Indicator indicator(const std::string& type, int n) const {
    Indicator ind(type);
    for (const auto& key : ws->catalogue.parameterKeysOf(type))
      if (const ParameterCoding* p = ws->catalogue.parameter(key)) ind.setParameter(ws->definitions, ws->language, key, p->defaultValue);
    ind.setRaw("period", std::to_string(5 + n));
    ind.setRaw("comment", "indicator " + std::to_string(n));
    ind.setRaw("lastedittime", "46000." + std::to_string(n));
    return ind;
  }

  // All four groups alike, so all three group comparisons run to the end: group 4 holds
  // group 1 reversed, group 2 group 1 rotated by half, group 3 group 2 reversed. sameType puts
  // every indicator on one type, so no pair can be ruled out by its type name alone.
  void fill(int perGroup, bool sameType) {
    TradingSystem& system = ws->system();
    system.systemFileName = "Bench.hsy.txt";
    const auto& types = ws->catalogue.indicatorTypes().ids;
    std::vector<Indicator> base;
    for (int i = 0; i < perGroup; ++i)
      base.push_back(indicator(sameType ? types[2] : types[static_cast<std::size_t>(i) % types.size()], i));
    const auto n = base.size();
    for (std::size_t i = 0; i < n; ++i) {
      system.group(1).addIndicator(base[i]);
      system.group(4).addIndicator(base[n - 1 - i]);
      system.group(2).addIndicator(base[(i + n / 2) % n]);
      system.group(3).addIndicator(base[(n - 1 - i + n / 2) % n]);
    }
  }
};

void run(benchmark::State& state, bool withDifferences) {
  Fixture f;
  f.fill(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    CheckResult r = evaluateSystem(*f.ws, f.ws->system(), withDifferences);
    benchmark::DoNotOptimize(r);
  }
  const CheckResult r = evaluateSystem(*f.ws, f.ws->system(), true);
  if (!r.flags.allEqual) state.SkipWithError("the bench system should be symmetric");
  state.counters["differences"] = r.differences.count();
}

void BM_SilentCheck(benchmark::State& state) { run(state, false); }
// The recording run of the check command: every pair tried in order, every finding written.
// It is what the silent run would cost without its shortcuts.
void BM_SilentCheck_Baseline(benchmark::State& state) { run(state, true); }

// Arguments: indicators per group, all of one type (1) or mixed over the twelve types (0).
BENCHMARK(BM_SilentCheck)->Args({25, 0})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SilentCheck_Baseline)->Args({25, 0})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMicrosecond);

}  // namespace
