#pragma once
// Values of command-line options, read strictly: the whole text must be the number, so "20x",
// "1e3" or an empty value is refused instead of read in part. Each kind of value (points, a
// money amount, digits, a day, minutes) has one reader and one rule, whichever command reads it.
#include <cstdint>
#include <optional>
#include <string>

#include "rules/refusals.hpp"

namespace zorvik {
struct BacktestSettings;
}

namespace zorvik::cli {

// A whole number from low to high.
std::optional<long long> wholeNumber(const std::string& text, long long low, long long high);
// A positive amount in plain decimals ("10000", "2500.50").
std::optional<double> amount(const std::string& text);
// Any finite number in plain decimals, signed ("-1.5", "0", "200"); whether it is in range
// is for the one who uses it to say.
std::optional<double> plainNumber(const std::string& text);

// One kind of option value: how it is read, and what it must be, for the refusal
// "--spread x: ist keine ganze Zahl von Punkten zwischen 0 und 100000" (German, translated
// like every other refusal).
template <class T>
struct OptionKind {
  std::optional<T> (*read)(const std::string& text);
  const char* expected;
};

extern const OptionKind<int> kPointsOption;          // --spread, --stop-level
extern const OptionKind<double> kMoneyOption;        // --deposit
// --leverage, --stop-out, --commission, --swap-long, --swap-short: read here, their ranges
// checked with the rest of the settings.
extern const OptionKind<double> kNumberOption;
extern const OptionKind<int> kDigitsOption;          // --digits
extern const OptionKind<std::int64_t> kDayOption;    // --from, --to: seconds of the day's midnight
extern const OptionKind<int> kMinutesOption;         // --timeframe of a history file
extern const OptionKind<int> kTabOption;             // --from of copy: the tab number, checked by the copy

// Reads the value of `option` into `into`; false, with the sentence that refuses it in
// `refusal` (in the table's language, German without one), when the value is not of the kind.
template <class T, class Into>
bool readOption(const OptionKind<T>& kind, const std::string& option, const std::string& value, Into& into,
                std::string& refusal, const LanguageTable* language = nullptr) {
  const std::optional<T> read = kind.read(value);
  if (!read) {
    refusal = option + " " + value + ": " + refusalText(kind.expected, language);
    return false;
  }
  into = *read;
  return true;
}

// The broker's and the account's options that backtest and run-mq4 both take: --spread,
// --stop-level (also --stoplevel), --deposit, --leverage, --stop-out, --commission,
// --swap-long, --swap-short. False when `option` is none of them; true when it is, with
// `refusal` set when its value is not of its kind.
bool readBrokerOption(const std::string& option, const std::string& value, BacktestSettings& settings,
                      std::string& refusal, const LanguageTable* language = nullptr);

}  // namespace zorvik::cli
