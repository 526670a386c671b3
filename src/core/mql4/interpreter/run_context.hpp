#pragma once
// The state of one run of an Expert Advisor, and what every node is evaluated against.
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

struct Machine {
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
};

// Handed to every node: the machine, and the frames variables are found in. `locals` moves
// with each user call.
struct RunContext {
  Machine* machine;
  ValueCell* globals;
  ValueCell* locals;
};

inline void spendLoopTurn(RunContext& c, SourcePos pos) {
  if (++c.machine->loopTurns > c.machine->loopLimit) throw CriticalError(pos, "endless loop: the EA was stopped");
}

}  // namespace zorvik::mql4::interpreter
