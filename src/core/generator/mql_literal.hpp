#pragma once
#include <string>
#include <string_view>

namespace zorvik {

// The text as an MQL4 string literal, quotes included: backslash, quote, tab and line breaks
// escaped, so that no stored text can end the literal. Other control characters are refused
// by valueProblem before; should one arrive, it is written as "?".
std::string mqlStringLiteral(std::string_view text);

}  // namespace zorvik
