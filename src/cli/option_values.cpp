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

const OptionKind<int> kPointsOption{wholeInt<0, 100000>, "a whole number of points from 0 to 100000"};
const OptionKind<double> kMoneyOption{amount, "a positive amount"};
const OptionKind<double> kNumberOption{plainNumber, "a number"};
const OptionKind<int> kDigitsOption{wholeInt<0, 8>, "a whole number from 0 to 8"};
const OptionKind<std::int64_t> kDayOption{[](const std::string& text) { return parseDay(text); },
                                          "a day of the form YYYY-MM-DD"};
// Six digits at most: a week has 10080 minutes, a month about 43200.
const OptionKind<int> kMinutesOption{wholeInt<1, 999999>, "a whole number of minutes from 1 to 999999"};
// Two digits at most; which tabs hold a signal group the copy itself says.
const OptionKind<int> kTabOption{wholeInt<0, 99>, "a tab number"};

bool readBrokerOption(const std::string& option, const std::string& value, BacktestSettings& settings,
                      std::string& refusal) {
  SymbolProperties& symbol = settings.symbol;
  AccountTerms& account = settings.account;
  if (option == "--spread") {
    readOption(kPointsOption, option, value, symbol.spreadPoints, refusal);
  } else if (option == "--stop-level" || option == "--stoplevel") {
    readOption(kPointsOption, option, value, symbol.stopLevelPoints, refusal);
  } else if (option == "--deposit") {
    readOption(kMoneyOption, option, value, settings.deposit, refusal);
  } else if (option == "--leverage") {
    readOption(kNumberOption, option, value, account.leverage, refusal);
  } else if (option == "--stop-out") {
    readOption(kNumberOption, option, value, account.stopOutPercent, refusal);
  } else if (option == "--commission") {
    readOption(kNumberOption, option, value, account.commissionPerLot, refusal);
  } else if (option == "--swap-long") {
    readOption(kNumberOption, option, value, account.swapLongPoints, refusal);
  } else if (option == "--swap-short") {
    readOption(kNumberOption, option, value, account.swapShortPoints, refusal);
  } else {
    return false;
  }
  return true;
}

}  // namespace zorvik::cli
