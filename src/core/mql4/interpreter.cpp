// Loading an Expert Advisor (its translation is in interpreter/node_compiler.cpp) and the run
// loop: the globals' initial values, init(), start() at every tick, deinit().
#include "mql4/interpreter.hpp"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <initializer_list>

#include "market/bar_series.hpp"
#include "mql4/interpreter/expression_nodes.hpp"
#include "mql4/interpreter/node_compiler.hpp"
#include "mql4/interpreter/run_context.hpp"
#include "mql4/interpreter/user_functions.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4 {

using namespace interpreter;

struct ExpertInterpreter::Impl {
  CompiledProgram program;
  CompiledFunction* init = nullptr;
  CompiledFunction* start = nullptr;
  CompiledFunction* deinit = nullptr;

  void callEvent(RunContext& c, CompiledFunction* f) {
    if (!f) return;
    c.machine->loopTurns = 0;
    ++c.machine->event;
    UserFunctionCall call(ValueKind::Void, f->decl->pos);
    call.fn = f;
    call.call(c);
  }
};

namespace interpreter {

void budgetExhausted(const Machine& m, SourcePos pos, const std::string& budget) {
  std::string what = "the " + budget + " budget is used up (";
  if (budget == "step")
    what += std::to_string(m.stepLimit) + " calls and loop turns";
  else if (budget == "memory")
    what += std::to_string(m.memory.limit) + " bytes of arrays and strings";
  else if (budget == "log")
    what += std::to_string(m.logLimit) + " bytes";
  else
    what += std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(m.tickTimeLimit).count()) +
            " ms for one tick";
  what += "): the EA was stopped";
  if (m.function) what += " in " + *m.function + "()";
  throw CriticalError(pos, what);
}

void checkBudgets(Machine& m, SourcePos pos) {
  if (m.steps > m.stepLimit) budgetExhausted(m, pos, "step");
  const auto now = std::chrono::steady_clock::now();
  if (m.clockedEvent != m.event) {
    m.clockedEvent = m.event;
    m.eventStart = now;
  } else if (now - m.eventStart > m.tickTimeLimit) {
    budgetExhausted(m, pos, "time");
  }
  m.nextCheck = std::min(m.steps + kStepsBetweenChecks, m.stepLimit + 1);
}

}  // namespace interpreter

ExpertInterpreter::ExpertInterpreter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ExpertInterpreter::~ExpertInterpreter() = default;

std::variant<std::unique_ptr<ExpertInterpreter>, std::string> ExpertInterpreter::load(const Program& program) {
  auto impl = std::make_unique<Impl>();
  try {
    impl->program = compileProgram(program);
  } catch (const CriticalError& e) {
    return std::string(e.what());
  }
  auto find = [&](std::initializer_list<const char*> names) -> CompiledFunction* {
    for (const char* n : names) {
      auto it = impl->program.byName.find(n);
      if (it != impl->program.byName.end()) return it->second;
    }
    return nullptr;
  };
  impl->init = find({"init", "OnInit"});
  impl->start = find({"start", "OnTick"});
  impl->deinit = find({"deinit", "OnDeinit"});
  if (!impl->start) return std::string("the program has no start() function: it is no Expert Advisor");
  if (impl->deinit && !impl->deinit->paramSlots.empty() && !impl->deinit->paramDefaults[0]) {
    // OnDeinit(const int reason): called with REASON_PROGRAM.
    impl->deinit->paramDefaults[0] = std::make_unique<IntConstant>(SourcePos{}, 0);
  }
  return std::unique_ptr<ExpertInterpreter>(new ExpertInterpreter(std::move(impl)));
}

ExpertTestRun ExpertInterpreter::run(const ExpertTestSettings& settings) {
  ExpertTestRun out;
  const BarSeries& bars = *settings.history;
  const std::size_t end = std::min(settings.endBar, bars.size());
  if (settings.firstBar >= end) {
    out.error = "no bars to test";
    out.balance = settings.deposit;
    return out;
  }
  SimulatedTerminal term(bars, settings.firstBar, end, settings.symbol, settings.deposit, settings.account);
  Machine m;
  m.term = &term;
  m.settings = &settings;
  m.loopLimit = settings.loopLimit;
  const RunBudget& budget = settings.budget;
  const long long ticks = 4 * static_cast<long long>(end - settings.firstBar);
  m.stepLimit = budget.steps > 0 ? budget.steps : std::max(RunBudget::kLeastSteps, ticks * RunBudget::kStepsPerTick);
  m.nextCheck = std::min(kStepsBetweenChecks, m.stepLimit + 1);
  m.memory.limit = budget.memoryBytes;
  m.logLimit = budget.logBytes;
  m.tickTimeLimit = budget.tickTime;
  m.globals.resize(impl_->program.globalCount);
  RunContext c{&m, m.globals.data(), m.stack.data()};
  try {
    for (auto& d : impl_->program.globalInits) d->execute(c);
    impl_->callEvent(c, impl_->init);
    for (std::size_t b = settings.firstBar; b < end; ++b) {
      const std::int64_t o = term.pointsOf(bars.open[b]);
      const std::int64_t h = term.pointsOf(bars.high[b]);
      const std::int64_t l = term.pointsOf(bars.low[b]);
      const std::int64_t cl = term.pointsOf(bars.close[b]);
      const bool lowFirst = bars.close[b] >= bars.open[b];
      const std::int64_t path[4] = {o, lowFirst ? l : h, lowFirst ? h : l, cl};
      const double prices[4] = {bars.open[b], lowFirst ? bars.low[b] : bars.high[b],
                                lowFirst ? bars.high[b] : bars.low[b], bars.close[b]};
      for (int k = 1; k <= 4; ++k) {
        term.beginTick(b, k, path[k - 1], prices[k - 1]);
        impl_->callEvent(c, impl_->start);
      }
    }
    term.closeAtEnd();
    impl_->callEvent(c, impl_->deinit);
  } catch (const CriticalError& e) {
    out.error = e.what();
  } catch (const std::exception& e) {
    out.error = e.what();
  }
  out.trades = term.trades();
  out.balance = term.balance();
  out.refusedForMoney = term.refusedForMoney();
  out.comment = m.comment;
  return out;
}

}  // namespace zorvik::mql4
