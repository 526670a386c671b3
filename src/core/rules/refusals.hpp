#pragma once
// Every refusal of a system's rules, worded once: why a system cannot become an Expert Advisor
// (see systemRulesOf) and why its rules cannot be run on a history. The backtest's sentences
// are English for now and are shown after "Der Backtest ist nicht möglich:".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/value_checks.hpp"

namespace zorvik {

struct TradeRules;
class LanguageTable;

// "LONG 2 (RSI)", as the trader numbers the indicators of a group; the caption German, or
// translated when a language table is given.
std::string indicatorPlace(int group, int position, std::string_view type, const LanguageTable* language = nullptr);

// A signal value that is not a number: `SHORT 1 (2 Moving Averages): "drei"`.
std::string signalValueRefusal(int group, int position, std::string_view type, std::string_view value,
                               const LanguageTable* language);

// The German sentence a message box puts before the fault of a refusal (see RulesRefusal): for
// values the listing cannot take, or for a signal value that is not a number.
std::string_view refusalHeadline(const std::vector<ValueProblem>& problems);

// The system's Expert Advisor could not be generated, for the reason given.
std::string notGeneratedRefusal(std::string_view fault);

// The problem of a stored money-management type none of the three methods: its Expert Advisor
// would have no lot line (every order refused), so neither it nor a backtest is made. German,
// translated by whoever shows it, as every value problem.
inline constexpr std::string_view kUnknownMoneyManagement =
    "ist keine der Methoden Fixed Lots, Fixed Fractional, Fixed Ratio";

// Money management the terminal would stop on (a division by zero), before the test starts.
std::optional<std::string> moneyManagementRefusal(const TradeRules& rules);

// The system trades another symbol than the history's.
std::string systemSymbolRefusal(std::string_view systemSymbol, std::string_view historySymbol);
// An indicator reads another symbol than the history's.
std::string indicatorSymbolRefusal(std::string_view place, std::string_view indicatorSymbol,
                                   std::string_view historySymbol);
// An indicator that cannot be computed on the history, for the reason given.
std::string indicatorRefusal(std::string_view place, std::string_view what);
inline constexpr std::string_view kUnknownMethodOrPrice = "unknown averaging method or applied price";
inline constexpr std::string_view kUnknownAppliedPrice = "unknown applied price";
inline constexpr std::string_view kUnknownPriceField = "unknown price field";

}  // namespace zorvik
