#include "rules/refusals.hpp"

#include "model/group_roles.hpp"
#include "model/language.hpp"
#include "rules/trade_rules.hpp"

namespace zorvik {

std::string indicatorPlace(int group, int position, std::string_view type, const LanguageTable* language) {
  std::string_view caption = kGroupRoles[static_cast<std::size_t>(group - 1)].caption;
  std::string shown = language ? language->translate(caption) : std::string(caption.substr(0, caption.find('@')));
  return shown + " " + std::to_string(position) + " (" + std::string(type) + ")";
}

std::string signalValueRefusal(int group, int position, std::string_view type, std::string_view value,
                               const LanguageTable* language) {
  const std::string_view caption = kGroupRoles[static_cast<std::size_t>(group - 1)].caption;
  return (language ? language->translate(caption) : std::string(caption)) + " " + std::to_string(position) + " (" +
         std::string(type) + "): \"" + std::string(value) + "\"";
}

std::string_view refusalHeadline(const std::vector<ValueProblem>& problems) {
  if (!problems.empty()) return "Der Expert Advisor wurde nicht erzeugt - diese Werte sind ungültig: ";
  return "Der Expert Advisor wurde nicht erzeugt - dieser Signalwert ist keine Zahl: ";
}

std::string notGeneratedRefusal(std::string_view fault) {
  return "the Expert Advisor cannot be generated: " + std::string(fault);
}

std::optional<std::string> moneyManagementRefusal(const TradeRules& rules) {
  if (rules.lotMethod == LotMethod::FixedFractional && rules.fraction == 0)
    return std::string("Fixed Fractional divides the equity by the fraction, which is 0");
  if (rules.lotMethod == LotMethod::FixedRatio && rules.delta == 0)
    return std::string("Fixed Ratio divides by the delta, which is 0");
  return std::nullopt;
}

std::string systemSymbolRefusal(std::string_view systemSymbol, std::string_view historySymbol) {
  return "the system trades " + std::string(systemSymbol) + ", the history is of " + std::string(historySymbol);
}

std::string indicatorSymbolRefusal(std::string_view place, std::string_view indicatorSymbol,
                                   std::string_view historySymbol) {
  return std::string(place) + " reads " + std::string(indicatorSymbol) + ", the history is " +
         std::string(historySymbol) + ": an indicator of another symbol cannot be tested";
}

std::string indicatorRefusal(std::string_view place, std::string_view what) {
  return std::string(place) + ": " + std::string(what);
}

}  // namespace zorvik
