#include "backtest/backtest_settings.hpp"

#include <cmath>


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

std::optional<std::string> settingsProblem(const BacktestSettings& s) {
  const SymbolProperties& p = s.symbol;
  if (p.spreadPoints < 0) return "the spread must not be negative";
  if (!(std::isfinite(s.deposit) && s.deposit > 0)) return "the deposit must be a positive amount";
  if (!(std::isfinite(p.contractSize) && p.contractSize > 0)) return "the contract size must be positive";
  if (!(std::isfinite(p.lotStep) && p.lotStep > 0)) return "the lot step must be positive";
  if (!(std::isfinite(p.minimumLot) && p.minimumLot > 0)) return "the minimum lot must be positive";
  if (!(std::isfinite(p.maximumLot) && p.maximumLot >= p.minimumLot))
    return "the maximum lot must not be below the minimum lot";
  if (p.stopLevelPoints < 0) return "the stop level must not be negative";
  const AccountTerms& a = s.account;
  if (!(std::isfinite(a.leverage) && a.leverage > 0)) return "the leverage must be a positive number";
  if (!(a.stopOutPercent >= 0 && a.stopOutPercent <= 100)) return "the stop-out level must be from 0 to 100 percent";
  if (!(std::isfinite(a.commissionPerLot) && a.commissionPerLot >= 0)) return "the commission must not be negative";
  if (!std::isfinite(a.swapLongPoints) || !std::isfinite(a.swapShortPoints)) return "the swap must be a number";
  if (s.fromDay && s.toDay && *s.toDay < *s.fromDay) return "the test ends before it begins (--to before --from)";
  return std::nullopt;
}

}  // namespace zorvik
