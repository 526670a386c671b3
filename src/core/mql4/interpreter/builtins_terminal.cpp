// GetLastError, IsTesting and the other questions about the terminal, and the EA's output:
// Print, Alert, Comment.
#include <string>

#include "mql4/interpreter.hpp"
#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct TerminalCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  // A line of the EA's log, with the tick's time in front as the terminal's journal has it.
  // Only what is written counts against the log budget: without a log nothing piles up.
  void log(RunContext& c, const std::string& text) {
    Machine& m = *c.machine;
    const auto& sink = m.settings->log;
    if (!sink) return;
    std::string line = timeText(term(c).time(), 7) + "  " + text;
    m.logBytes += static_cast<long long>(line.size()) + 1;
    if (m.logBytes > m.logLimit) budgetExhausted(m, pos, "log");
    sink(line);
  }

  long long evalInt(RunContext& c) override {
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::GetLastError: return t.takeLastError();
      case BuiltinId::IsTesting: case BuiltinId::IsDemo: case BuiltinId::IsConnected: case BuiltinId::IsTradeAllowed:
      case BuiltinId::IsExpertEnabled:
        return 1;
      case BuiltinId::IsOptimization: case BuiltinId::IsVisualMode: case BuiltinId::IsStopped:
      case BuiltinId::IsTradeContextBusy:
        return 0;
      case BuiltinId::GetTickCount: return 0;  // no wall clock: a run is the same on every machine
      default: return ExpressionNode::evalInt(c);
    }
  }

  void evalForEffect(RunContext& c) override {
    switch (id) {
      case BuiltinId::Print: case BuiltinId::Alert: log(c, joinedArgs(c)); return;
      case BuiltinId::Comment: c.machine->comment = joinedArgs(c); return;
      case BuiltinId::Sleep: (void)args[0]->evalInt(c); return;  // time only moves with the ticks
      default: ExpressionNode::evalForEffect(c); return;
    }
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeTerminalCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<TerminalCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
