#include "rules/refusals.hpp"

#include "market/timeframes.hpp"
#include "model/group_roles.hpp"
#include "model/language.hpp"
#include "rules/trade_rules.hpp"

namespace zorvik {

std::string refusalText(std::string_view german, const LanguageTable* language,
                        std::initializer_list<std::string_view> values) {
  const std::string sentence = language ? language->translate(german) : withoutTag(german);
  std::string out;
  out.reserve(sentence.size());
  for (std::size_t i = 0; i < sentence.size(); ++i) {
    // One pass: a value that itself holds "%2" (a symbol, a comment) is not filled in again.
    if (sentence[i] == '%' && i + 1 < sentence.size() && sentence[i + 1] >= '1' && sentence[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(sentence[i + 1] - '1');
      if (n < values.size()) {
        out += *(values.begin() + n);
        ++i;
        continue;
      }
    }
    out += sentence[i];
  }
  return out;
}

std::string indicatorPlace(int group, int position, std::string_view type, const LanguageTable* language) {
  std::string_view caption = kGroupRoles[static_cast<std::size_t>(group - 1)].caption;
  std::string shown = language ? language->translate(caption) : std::string(caption.substr(0, caption.find('@')));
  return shown + " " + std::to_string(position) + " (" + std::string(type) + ")";
}

std::string signalValueRefusal(int group, int position, std::string_view type, std::string_view value,
                               const LanguageTable* language) {
  return indicatorPlace(group, position, type, language) + ": \"" + std::string(value) + "\"";
}

std::string_view refusalHeadline(const std::vector<ValueProblem>& problems) {
  if (!problems.empty()) return "Der Expert Advisor wurde nicht erzeugt - diese Werte sind ungültig: ";
  return "Der Expert Advisor wurde nicht erzeugt - dieser Signalwert ist keine Zahl: ";
}

std::string notGeneratedRefusal(const std::vector<ValueProblem>& problems, std::string_view fault,
                                const LanguageTable* language) {
  return refusalText(refusalHeadline(problems), language) + std::string(fault);
}

std::optional<std::string> moneyManagementRefusal(const TradeRules& rules, const LanguageTable* language) {
  if (rules.lotMethod == LotMethod::FixedFractional && rules.fraction == 0)
    return refusalText("Fixed Fractional teilt das Kapital durch Fraction, und Fraction ist 0.", language);
  if (rules.lotMethod == LotMethod::FixedRatio && rules.delta == 0)
    return refusalText("Fixed Ratio teilt durch Delta, und Delta ist 0.", language);
  return std::nullopt;
}

std::string systemSymbolRefusal(std::string_view systemSymbol, std::string_view historySymbol,
                                const LanguageTable* language) {
  return refusalText("Das System handelt %1, die Historie ist von %2.", language, {systemSymbol, historySymbol});
}

std::string indicatorSymbolRefusal(std::string_view place, std::string_view indicatorSymbol,
                                   std::string_view historySymbol, const LanguageTable* language) {
  return refusalText("%1 liest %2, die Historie ist von %3: ein Indikator eines anderen Symbols kann nicht getestet werden.",
                     language, {place, indicatorSymbol, historySymbol});
}

std::string indicatorTimeframeRefusal(std::string_view place, int historyMinutes, int indicatorMinutes,
                                      const LanguageTable* language) {
  const std::string wanted = timeframeName(indicatorMinutes);
  const std::string have = timeframeName(historyMinutes);
  return refusalText(
      "%1: %2-Bars lassen sich nicht aus den %3-Bars der Historie bilden (nur ein ganzes Vielfaches, das einen Tag teilt, oder W1 und MN1).",
      language, {place, wanted, have});
}

std::string indicatorRefusal(std::string_view place, std::string_view detail, const LanguageTable* language) {
  const std::string sentence = refusalText("%1 kann auf dieser Historie nicht berechnet werden.", language, {place});
  if (!language || !language->english() || detail.empty()) return sentence;
  return sentence + " (" + std::string(detail) + ")";
}

}  // namespace zorvik
