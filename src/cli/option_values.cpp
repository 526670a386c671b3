#include "option_values.hpp"

#include <charconv>
#include <cmath>

#include "backtest/backtest_settings.hpp"

namespace zorvik::cli {

std::optional<long long> wholeNumber(const std::string& text, long long low, long long high) {
  long long v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < low || v > high)
    return std::nullopt;
  return v;
}

std::optional<double> amount(const std::string& text) {
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v) || v <= 0)
    return std::nullopt;
  return v;
}

std::optional<double> plainNumber(const std::string& text) {
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

namespace {

template <long long kLow, long long kHigh>
std::optional<int> wholeInt(const std::string& text) {
  const auto v = wholeNumber(text, kLow, kHigh);
  return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
}

}  // namespace

const OptionKind<int> kPointsOption{wholeInt<0, 100000>, "ist keine ganze Zahl von Punkten zwischen 0 und 100000"};
const OptionKind<double> kMoneyOption{amount, "ist kein positiver Betrag"};
const OptionKind<double> kNumberOption{plainNumber, "ist keine Zahl"};
const OptionKind<int> kDigitsOption{wholeInt<0, 8>, "ist keine ganze Zahl zwischen 0 und 8"};
const OptionKind<std::int64_t> kDayOption{[](const std::string& text) { return parseDay(text); },
                                          "ist kein Tag der Form YYYY-MM-DD"};
// Six digits at most: a week has 10080 minutes, a month about 43200.
const OptionKind<int> kMinutesOption{wholeInt<1, 999999>, "ist keine ganze Zahl von Minuten zwischen 1 und 999999"};
// Two digits at most; which tabs hold a signal group the copy itself says.
const OptionKind<int> kTabOption{wholeInt<0, 99>, "ist keine Registernummer"};

bool readBrokerOption(const std::string& option, const std::string& value, BacktestSettings& settings,
                      std::string& refusal, const LanguageTable* language) {
  SymbolProperties& symbol = settings.symbol;
  AccountTerms& account = settings.account;
  if (option == "--spread") {
    readOption(kPointsOption, option, value, symbol.spreadPoints, refusal, language);
  } else if (option == "--stop-level" || option == "--stoplevel") {
    readOption(kPointsOption, option, value, symbol.stopLevelPoints, refusal, language);
  } else if (option == "--deposit") {
    readOption(kMoneyOption, option, value, settings.deposit, refusal, language);
  } else if (option == "--leverage") {
    readOption(kNumberOption, option, value, account.leverage, refusal, language);
  } else if (option == "--stop-out") {
    readOption(kNumberOption, option, value, account.stopOutPercent, refusal, language);
  } else if (option == "--commission") {
    readOption(kNumberOption, option, value, account.commissionPerLot, refusal, language);
  } else if (option == "--swap-long") {
    readOption(kNumberOption, option, value, account.swapLongPoints, refusal, language);
  } else if (option == "--swap-short") {
    readOption(kNumberOption, option, value, account.swapShortPoints, refusal, language);
  } else {
    return false;
  }
  return true;
}

}  // namespace zorvik::cli
