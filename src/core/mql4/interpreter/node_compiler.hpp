#pragma once
// Translation of a checked MQL4 program into nodes: every variable gets its slot (global, or
// in its function's frame), every call its function or built-in, once, so that running does
// no lookup by name.
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "mql4/interpreter/statement_nodes.hpp"
#include "mql4/interpreter/user_functions.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4::interpreter {

struct CompiledProgram {
  std::vector<std::unique_ptr<CompiledFunction>> functions;
  std::vector<std::unique_ptr<DeclarationStatement>> globalInits;  // globals and statics, in order
  std::size_t globalCount = 0;
  std::unordered_map<std::string, CompiledFunction*> byName;  // the functions with a body
};

// Throws CriticalError, with the place, for what the interpreter does not run.
CompiledProgram compileProgram(const Program& program);

}  // namespace zorvik::mql4::interpreter
