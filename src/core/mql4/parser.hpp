#pragma once
// Parses MQL4 source into a syntax tree. Object-like #define macros are expanded on the way.
// A syntax error ends the parse: what follows it would only produce follow-up noise.
#include <string_view>

#include "mql4/diagnostic.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4 {

// The tree of `source`; faults go to `diagnostics`. The tree is complete only when no error
// was added.
Program parseProgram(std::string_view source, Diagnostics& diagnostics);

}  // namespace zorvik::mql4
