#pragma once
// The MQL4 lines one indicator contributes to a check function of the Expert Advisor: it
// computes its operands with the terminal's built-in indicator functions, compares them as its
// rule says and adds its signal value to the point counter `ic` when the comparison holds.
#include <string>
#include <string_view>

namespace zorvik {

class Catalogue;
class DefinitionTable;
class Indicator;
class Listing;
struct IndicatorRule;

// Appends the rule's lines to out. A kind without code contributes nothing.
void writeIndicatorCode(const IndicatorRule& rule, Listing& out);

// The same for a stored indicator voting for the side code ("L", "S", "XL", "XS", already
// swapped for reversed indicators).
void writeIndicatorCode(const Catalogue& catalogue, const DefinitionTable& definitions, const Indicator& indicator,
                        Listing& out, std::string_view side);

// The symbol argument of an indicator call: `tSymbol` for the chart's symbol, otherwise the
// stored symbol as an escaped MQL4 string literal.
std::string symbolArgument(const Catalogue& catalogue, std::string_view storedSymbol);

}  // namespace zorvik
