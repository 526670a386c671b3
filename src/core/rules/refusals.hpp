#pragma once
// Every refusal of a system's rules, worded once: why a system cannot become an Expert Advisor
// (see systemRulesOf) and why its rules cannot be run on a history. Each sentence is written
// in German and shown in the trader's language: with a language table it is translated, with
// none it stays German. A backtest refusing a system says exactly what the generator says.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/value_checks.hpp"

namespace zorvik {

struct TradeRules;
class LanguageTable;

// The German sentence, translated when a table is given, with "%1", "%2", ... replaced by the
// values in order. The values are inserted after the translation, so the table holds one line
// per sentence, whatever a trader's names and numbers are.
std::string refusalText(std::string_view german, const LanguageTable* language,
                        std::initializer_list<std::string_view> values = {});

// "LONG 2 (RSI)", as the trader numbers the indicators of a group; the caption German, or
// translated when a language table is given.
std::string indicatorPlace(int group, int position, std::string_view type, const LanguageTable* language = nullptr);

// A signal value that is not a number: `SHORT 1 (2 Moving Averages): "drei"`.
std::string signalValueRefusal(int group, int position, std::string_view type, std::string_view value,
                               const LanguageTable* language);

// The German sentence a message box puts before the fault of a refusal (see RulesRefusal): for
// values the listing cannot take, or for a signal value that is not a number.
std::string_view refusalHeadline(const std::vector<ValueProblem>& problems);

// The generator's refusal as one text: the headline and the fault, in the table's language.
std::string notGeneratedRefusal(const std::vector<ValueProblem>& problems, std::string_view fault,
                                const LanguageTable* language);

// The problem of a stored money-management type none of the three methods: its Expert Advisor
// would have no lot line (every order refused), so neither it nor a backtest is made. German,
// translated by whoever shows it, as every value problem.
inline constexpr std::string_view kUnknownMoneyManagement =
    "ist keine der Methoden Fixed Lots, Fixed Fractional, Fixed Ratio";

// Money management the terminal would stop on (a division by zero), before the test starts.
std::optional<std::string> moneyManagementRefusal(const TradeRules& rules, const LanguageTable* language);

// The system trades another symbol than the history's.
std::string systemSymbolRefusal(std::string_view systemSymbol, std::string_view historySymbol,
                                const LanguageTable* language);
// An indicator reads another symbol than the history's.
std::string indicatorSymbolRefusal(std::string_view place, std::string_view indicatorSymbol,
                                   std::string_view historySymbol, const LanguageTable* language);
// An indicator of a timeframe the history's bars cannot be gathered into.
std::string indicatorTimeframeRefusal(std::string_view place, int historyMinutes, int indicatorMinutes,
                                      const LanguageTable* language);
// An indicator that cannot be computed on the history. The detail comes from the indicator's
// arithmetic and is English; German mode leaves it out rather than mix the languages.
std::string indicatorRefusal(std::string_view place, std::string_view detail, const LanguageTable* language);
// The same for a method or price constant the indicator does not know.
inline constexpr std::string_view kUnknownMethodOrPrice = "%1: unbekannte Mittelungsmethode oder unbekannter Preis";
inline constexpr std::string_view kUnknownAppliedPrice = "%1: unbekannter Preis";
inline constexpr std::string_view kUnknownPriceField = "%1: unbekanntes Preisfeld";

// The history holds no bar, or none inside the days of the test.
inline constexpr std::string_view kNoBars = "Die Historie enthält keine Bars.";
inline constexpr std::string_view kNoBarsInWindow = "Zwischen dem ersten und dem letzten Testtag liegt keine Bar der Historie.";

}  // namespace zorvik
