#pragma once
// The MQL4 lines one indicator contributes to a check function of the Expert Advisor: it
// computes its values with the terminal's built-in indicator functions, compares them and adds
// its signal value to the point counter `ic` when the comparison holds.
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class Catalogue;
class DefinitionTable;
class Indicator;
class Listing;

// Appends the indicator's lines to out. The side code ("L", "S", "XL", "XS", already swapped
// for reversed indicators) picks the comparison: "L" and "XS" bullish, "S" and "XL" bearish.
// Missing parameters contribute empty text; nothing here fails.
void writeIndicatorCode(const Catalogue& catalogue, const DefinitionTable& definitions, const Indicator& indicator,
                        Listing& out, std::string_view side);

// True for the types the generator writes lines for; any other type contributes nothing.
bool hasIndicatorCode(std::string_view indicatorType);

// True when the lines written for this type and side code ("L", "S", "XL", "XS", already
// swapped for reversed indicators; empty for neither) can add the indicator's signal value:
// a type without such a line only counts towards the threshold's sum and never fires.
bool writesSignalLine(std::string_view indicatorType, std::string_view sideCode);

// Why an indicator's written test can never hold with its parameters, on the given side:
// a MACD whose signal period is 1 (its OsMA is then always 0), or an RSI or Stochastic level
// at or beyond the end of their scale of 0 to 100 for the side's comparison (an RSI below 0,
// a %K above 100). None when it can hold, or when it writes no test at all. For a level, the
// key of the parameter that holds it.
enum class NeverHolds { No, OsmaAlwaysZero, LevelBeyondScale };
struct NeverHoldsFinding {
  NeverHolds reason = NeverHolds::No;
  std::string_view levelKey;
};
NeverHoldsFinding testNeverHolds(const Indicator& indicator, std::string_view sideCode);

// The symbol argument of an indicator call: `tSymbol` for the chart's symbol, otherwise the
// stored symbol as an escaped MQL4 string literal.
std::string symbolArgument(const Catalogue& catalogue, std::string_view storedSymbol);

// The applied-price constant of a fast or slow price. The two-average types keep their prices
// under ids of their own ("idOPENf", "idOPENs"), which the pricetype list does not hold; they
// are resolved through their definition-table entries so the chosen price reaches the
// Expert Advisor. "0" when nothing matches.
std::string appliedPriceArgument(const Catalogue& catalogue, const DefinitionTable& definitions, std::string_view key,
                                 std::string_view storedId);

}  // namespace zorvik
