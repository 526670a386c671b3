#include "mql4/interpreter/values.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "market/civil_time.hpp"

namespace zorvik::mql4::interpreter {

std::string doubleText(double v, int digits) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", std::clamp(digits, 0, 16), v);
  return buf;
}

std::string timeText(long long t, int mode) {
  const long long days = market_detail::floorDiv(t, 86400);
  const long long sec = t - days * 86400;
  const auto c = market_detail::civilFromDays(days);
  char buf[64];
  std::string out;
  if (mode & 1) {
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", c.year, c.month, c.day);
    out = buf;
  }
  if (mode & 6) {
    if (!out.empty()) out += ' ';
    if (mode & 4)
      std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", sec / 3600, sec / 60 % 60, sec % 60);
    else
      std::snprintf(buf, sizeof buf, "%02lld:%02lld", sec / 3600, sec / 60 % 60);
    out += buf;
  }
  return out;
}

}  // namespace zorvik::mql4::interpreter
