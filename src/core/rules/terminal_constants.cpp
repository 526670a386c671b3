#include "rules/terminal_constants.hpp"

#include <utility>

#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {

std::optional<AppliedPrice> appliedPriceOf(std::string_view constant) {
  static constexpr std::pair<std::string_view, AppliedPrice> kPrices[] = {
      {"PRICE_CLOSE", AppliedPrice::Close},     {"PRICE_OPEN", AppliedPrice::Open},
      {"PRICE_HIGH", AppliedPrice::High},       {"PRICE_LOW", AppliedPrice::Low},
      {"PRICE_MEDIAN", AppliedPrice::Median},   {"PRICE_TYPICAL", AppliedPrice::Typical},
      {"PRICE_WEIGHTED", AppliedPrice::Weighted},
  };
  for (const auto& [name, price] : kPrices)
    if (name == constant) return price;
  return appliedPriceFromNumber(toInt32(constant));
}

std::optional<MaMethod> maMethodOf(std::string_view constant) {
  static constexpr std::pair<std::string_view, MaMethod> kMethods[] = {
      {"MODE_SMA", MaMethod::Simple},
      {"MODE_EMA", MaMethod::Exponential},
      {"MODE_SMMA", MaMethod::Smoothed},
      {"MODE_LWMA", MaMethod::LinearWeighted},
  };
  for (const auto& [name, method] : kMethods)
    if (name == constant) return method;
  return maMethodFromNumber(toInt32(constant));
}

bool isChartSymbol(const Catalogue& catalogue, std::string_view storedSymbol) {
  const auto& ids = catalogue.symbols.ids;
  return storedSymbol == "Symbol()" || (!ids.empty() && iequals(storedSymbol, ids.front()));
}

std::string appliedPriceArgument(const Catalogue& catalogue, const DefinitionTable& definitions, std::string_view key,
                                 std::string_view storedId) {
  const ValueList& prices = catalogue.pricetypes;
  for (std::size_t i = 0; i < prices.ids.size() && i < prices.values.size(); ++i)
    if (iequals(prices.ids[i], storedId)) return prices.values[i];
  // The entry's META4 text is taken only when it is one of the applied-price constants, so
  // an edited table cannot put arbitrary text into the source.
  for (const DefinitionEntry& e : definitions.entries()) {
    if (e.type != key || !iequals(e.id, storedId)) continue;
    for (const auto& constant : prices.values)
      if (e.meta4 == constant) return constant;
    break;
  }
  return "0";
}

}  // namespace zorvik
