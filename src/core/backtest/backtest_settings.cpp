#include "backtest/backtest_settings.hpp"

#include <cmath>

#include "rules/refusals.hpp"

namespace zorvik {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

std::optional<std::int64_t> parseDay(std::string_view t) {
  if (t.size() != 10 || t[4] != '-' || t[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
  auto num = [&](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (t[i] - '0');
    return v;
  };
  const int y = num(0, 4), m = num(5, 2), d = num(8, 2);
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1970 || m < 1 || m > 12 || d < 1) return std::nullopt;
  if (d > kDays[m - 1] + (m == 2 && isLeap(y) ? 1 : 0)) return std::nullopt;
  return daysFromCivil(y, m, d) * 86400;
}

std::optional<std::string> settingsProblem(const BacktestSettings& s, const LanguageTable* language) {
  auto say = [&](std::string_view german) { return std::optional<std::string>(refusalText(german, language)); };
  const SymbolProperties& p = s.symbol;
  const AccountTerms& a = s.account;
  if (p.spreadPoints < 0) return say("Der Spread darf nicht negativ sein.");
  if (!(std::isfinite(s.deposit) && s.deposit > 0)) return say("Die Einlage muss ein positiver Betrag sein.");
  if (!(std::isfinite(p.contractSize) && p.contractSize > 0)) return say("Die Kontraktgröße muss positiv sein.");
  if (!(std::isfinite(p.lotStep) && p.lotStep > 0)) return say("Die Lot-Schrittweite muss positiv sein.");
  if (!(std::isfinite(p.minimumLot) && p.minimumLot > 0)) return say("Das kleinste Lot muss positiv sein.");
  if (!(std::isfinite(p.maximumLot) && p.maximumLot >= p.minimumLot))
    return say("Das größte Lot darf nicht unter dem kleinsten liegen.");
  if (p.stopLevelPoints < 0) return say("Der Stop-Level darf nicht negativ sein.");
  // NaN fails every comparison: each check asks for what is good, so NaN is refused too.
  if (!(std::isfinite(a.leverage) && a.leverage > 0)) return say("Der Hebel muss eine positive Zahl sein.");
  if (!(a.stopOutPercent >= 0 && a.stopOutPercent <= 100))
    return say("Der Stop-Out-Level muss zwischen 0 und 100 Prozent liegen.");
  if (!(std::isfinite(a.commissionPerLot) && a.commissionPerLot >= 0))
    return say("Die Kommission muss eine Zahl sein und darf nicht negativ sein.");
  if (!std::isfinite(a.swapLongPoints) || !std::isfinite(a.swapShortPoints))
    return say("Der Swap muss eine Zahl sein.");
  if (s.fromDay && s.toDay && *s.toDay < *s.fromDay) return say("Der Test endet, bevor er beginnt (--to vor --from).");
  return std::nullopt;
}

}  // namespace zorvik
