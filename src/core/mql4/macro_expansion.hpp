#pragma once
// #define NAME tokens... replaces NAME by its tokens from there on; #undef ends that. Runs over
// the tokens before the parser sees them. Macros with parameters are refused.
#include <deque>
#include <string>
#include <vector>

#include "mql4/diagnostic.hpp"
#include "mql4/lexer.hpp"

namespace zorvik::mql4 {

// The tokens of `raw` (taken apart) with every macro expanded, into `out`. A macro's tokens
// point into its text, kept in `macroTexts`, which must live as long as `out`. False, with the
// fault in `diagnostics`, for a malformed #define or an expansion that grows without end.
bool expandMacros(std::vector<Token>& raw, std::vector<Token>& out, std::deque<std::string>& macroTexts,
                  Diagnostics& diagnostics);

}  // namespace zorvik::mql4
