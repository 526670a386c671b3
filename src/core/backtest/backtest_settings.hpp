#pragma once
// What a backtest run is told besides the system and the history: the broker's symbol
// properties, the money it starts with and the days it trades.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "account/account_terms.hpp"
#include "account/symbol_properties.hpp"

namespace zorvik {

class LanguageTable;

struct BacktestSettings {
  // Its digits are the history's own: a run takes them from the bar series.
  SymbolProperties symbol;
  double deposit = 10000;  // in the quote currency
  AccountTerms account;
  // Days of the test, as seconds since 1970 of their midnight in the history's time; the
  // last day is included whole. Unset: from the first bar / to the last bar.
  std::optional<std::int64_t> fromDay;
  std::optional<std::int64_t> toDay;
};

// "YYYY-MM-DD" -> seconds since 1970 of that day's midnight; nullopt for anything else,
// including days that do not exist (2025-02-30).
std::optional<std::int64_t> parseDay(std::string_view text);

// The problem of the settings for a person to read, in the table's language (German without
// one); nullopt when a run can use them.
std::optional<std::string> settingsProblem(const BacktestSettings& settings, const LanguageTable* language = nullptr);

}  // namespace zorvik
