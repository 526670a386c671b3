// The MQL4 interpreter running the demo library's moving-average EA on the demo history, four
// ticks per bar, against the backtest engine doing the same run natively. Goal: the
// interpreter runs at least 200 000 ticks per second (the "ticks/s" counter).
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "backtest/backtest.hpp"
#include "generator/expert_generator.hpp"
#include "market/demo_history.hpp"
#include "model/file_names.hpp"
#include "mql4/checker.hpp"
#include "mql4/interpreter.hpp"
#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "workspace/current_system.hpp"

namespace {

using namespace zorvik;

struct Fixture {
  testing::TestWorkspace t{true};
  BarSeries history = makeDemoHistory();
  mql4::CheckResult checked;
  std::unique_ptr<mql4::ExpertInterpreter> expert;

  Fixture() {
    if (!openSystem(*t.ws, decodeFileName("MA Trendfolger.hsy.txt"))) throw std::runtime_error("the demo system is missing");
    const ExpertSource source =
        expertSourceLines(t.ws->system(), t.ws->catalogue, t.ws->definitions, ExpertOptions{"100101", "stamp"});
    std::string text;
    for (const std::string& line : source.lines) text += utf8ToCp1252(line) + "\r\n";
    checked = mql4::checkSource(text);
    auto loaded = mql4::ExpertInterpreter::load(checked.program);
    if (!std::holds_alternative<std::unique_ptr<mql4::ExpertInterpreter>>(loaded))
      throw std::runtime_error(std::get<std::string>(loaded));
    expert = std::move(std::get<0>(loaded));
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_InterpreterRunsTheMaDemoExpert(benchmark::State& state) {
  Fixture& f = fixture();
  mql4::ExpertTestSettings settings;
  settings.history = &f.history;
  settings.endBar = f.history.size();
  settings.symbol.digits = f.history.digits;
  std::size_t trades = 0;
  for (auto _ : state) {
    const mql4::ExpertTestRun run = f.expert->run(settings);
    if (!run.ok()) state.SkipWithError(run.error.c_str());
    trades = run.trades.size();
  }
  const double ticks = 4.0 * static_cast<double>(f.history.size());
  state.counters["ticks/s"] = benchmark::Counter(ticks, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["trades"] = static_cast<double>(trades);
}
BENCHMARK(BM_InterpreterRunsTheMaDemoExpert)->Unit(benchmark::kMillisecond);

// Baseline: the engine's native run of the same system on the same history.
void BM_InterpreterRunsTheMaDemoExpert_Baseline(benchmark::State& state) {
  Fixture& f = fixture();
  auto prepared = Backtest::prepare(f.t.ws->system(), f.t.ws->catalogue, f.t.ws->definitions, f.history, {});
  if (!std::holds_alternative<Backtest>(prepared)) {
    state.SkipWithError(std::get<std::string>(prepared).c_str());
    return;
  }
  const Backtest& b = std::get<Backtest>(prepared);
  std::size_t trades = 0;
  for (auto _ : state) {
    const BacktestResult r = b.run();
    trades = r.trades.size();
  }
  state.counters["trades"] = static_cast<double>(trades);
  const double ticks = 4.0 * static_cast<double>(f.history.size());
  state.counters["ticks/s"] = benchmark::Counter(ticks, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_InterpreterRunsTheMaDemoExpert_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
