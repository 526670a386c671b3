#pragma once
// The state of one run of an Expert Advisor, and what every node is evaluated against.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "mql4/interpreter/values.hpp"

namespace zorvik::mql4 {
class SimulatedTerminal;
struct ExpertTestSettings;
}

namespace zorvik::mql4::interpreter {

// Cells of the call stack, shared by the frames of all user calls; a call whose frame does not
// fit is a stack overflow.
constexpr std::size_t kStackCells = 1 << 15;

// Steps between two looks at the budgets and the clock: rare enough to cost nothing, often
// enough that a tick's wall time is overrun by a millisecond at most.
constexpr long long kStepsBetweenChecks = 1 << 16;

struct Machine {
  // First, so that it outlives the arrays that give their memory back to it.
  MemoryMeter memory;
  std::vector<ValueCell> globals;
  std::vector<ValueCell> stack = std::vector<ValueCell>(kStackCells);
  std::size_t top = 0;  // first free cell of the stack
  ValueCell ret;        // the value of the last return
  SimulatedTerminal* term = nullptr;
  const ExpertTestSettings* settings = nullptr;
  long long loopLimit = 0;  // the settings' loopLimit
  std::string comment;  // the last Comment()
  long long loopTurns = 0;  // in the current call of init(), start() or deinit()
  int depth = 0;            // of user calls
  const std::string* function = nullptr;  // the user function running now, for the stop's message

  // The run's budgets (ExpertTestSettings::budget, resolved).
  long long stepLimit = 0;
  long long logLimit = 0;
  std::chrono::steady_clock::duration tickTimeLimit{};
  long long steps = 0;      // calls and loop turns so far in this run
  long long nextCheck = 0;  // the step count at which the budgets are looked at next
  long long logBytes = 0;   // written to the log so far
  // The clock is read only at the checks: `event` counts the calls of init(), start() and
  // deinit(), and the first check within one notes when it had started, near enough.
  long long event = 0;
  long long clockedEvent = -1;
  std::chrono::steady_clock::time_point eventStart{};
};

// Handed to every node: the machine, and the frames variables are found in. `locals` moves
// with each user call.
struct RunContext {
  Machine* machine;
  ValueCell* globals;
  ValueCell* locals;
};

// Stops the run, naming the budget and where it ran out.
[[noreturn]] void budgetExhausted(const Machine& m, SourcePos pos, const std::string& budget);

// At each check: the step budget, then the wall time of the current call of init(), start() or
// deinit(). Throws when one is used up.
void checkBudgets(Machine& m, SourcePos pos);

// Every user call and every loop turn is one step of the run.
inline void spendStep(RunContext& c, SourcePos pos) {
  Machine& m = *c.machine;
  if (++m.steps >= m.nextCheck) checkBudgets(m, pos);
}

inline void spendLoopTurn(RunContext& c, SourcePos pos) {
  if (++c.machine->loopTurns > c.machine->loopLimit) throw CriticalError(pos, "endless loop: the EA was stopped");
  spendStep(c, pos);
}

// Takes bytes of the run's memory budget for arrays and strings.
inline void chargeMemory(Machine& m, SourcePos pos, long long bytes) {
  if (m.memory.used + bytes > m.memory.limit) budgetExhausted(m, pos, "memory");
  m.memory.used += bytes;
}

// A text about to be made: it must fit in what is left of the memory budget.
inline void fitsMemory(const Machine& m, SourcePos pos, long long bytes) {
  if (m.memory.used + bytes > m.memory.limit) budgetExhausted(m, pos, "memory");
}

// Stores a string into a cell, its growth charged to the memory budget.
inline void assignString(Machine& m, ValueCell& to, std::string&& text, SourcePos pos) {
  const long long growth = static_cast<long long>(text.size()) - static_cast<long long>(to.stringValue.size());
  if (growth > 0)
    chargeMemory(m, pos, growth);
  else
    m.memory.used += growth;
  to.stringValue = std::move(text);
}

inline void clearString(Machine& m, ValueCell& x) {
  m.memory.used -= static_cast<long long>(x.stringValue.size());
  x.stringValue.clear();
}

}  // namespace zorvik::mql4::interpreter
