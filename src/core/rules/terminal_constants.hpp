#pragma once
// The terminal's constants a stored choice stands for: the catalogue maps an id to the text the
// Expert Advisor passes ("MODE_EMA", "PRICE_CLOSE", "60" or a plain number), and the rules read
// what that text means.
#include <optional>
#include <string>
#include <string_view>

#include "indicators/indicator_basics.hpp"

namespace zorvik {

class Catalogue;
class DefinitionTable;

// MODE_SMA .. MODE_LWMA or their numbers; nullopt for anything else.
std::optional<MaMethod> maMethodOf(std::string_view constant);
// PRICE_CLOSE .. PRICE_WEIGHTED or their numbers; nullopt for anything else.
std::optional<AppliedPrice> appliedPriceOf(std::string_view constant);

// True when a stored symbol, an indicator's or the traded one, stands for the chart's:
// "Symbol()" or the catalogue's first symbol, as the editor offers it in either language. The
// lint, the backtest and the generator all ask this one test.
bool isChartSymbol(const Catalogue& catalogue, std::string_view storedSymbol);

// The applied-price constant of a fast or slow price. The two-average types keep their prices
// under ids of their own ("idOPENf", "idOPENs"), which the pricetype list does not hold; they
// are resolved through their definition-table entries so the chosen price reaches the
// Expert Advisor. "0" when nothing matches.
std::string appliedPriceArgument(const Catalogue& catalogue, const DefinitionTable& definitions, std::string_view key,
                                 std::string_view storedId);

}  // namespace zorvik
