#include "text/numbers.hpp"

#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>

#include "text/strings.hpp"

namespace zorvik {

double leadingNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
  }
  if (digits == 0) return 0.0;
  std::size_t end = i;
  // An exponent counts only when digits follow it.
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') { ++j; ++expDigits; }
    if (expDigits > 0) end = j;
  }
  std::string_view num = s.substr(start, end - start);
  if (!num.empty() && num.front() == '+') num.remove_prefix(1);
  double v = 0.0;
  auto res = std::from_chars(num.data(), num.data() + num.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    return (!num.empty() && num.front() == '-') ? -std::numeric_limits<double>::max()
                                                : std::numeric_limits<double>::max();
  }
  if (res.ec != std::errc()) return 0.0;
  return v;
}

double roundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  double fl = std::floor(v);
  double diff = v - fl;
  if (diff > 0.5) return fl + 1.0;
  if (diff < 0.5) return fl;
  return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

namespace {
template <typename T>
T clampRounded(double v) {
  if (std::isnan(v)) return 0;
  double r = roundHalfEven(v);
  if (r < static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (r > static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(r);
}
}  // namespace

std::int16_t toInt16(std::string_view s) { return clampRounded<std::int16_t>(leadingNumber(s)); }
std::int32_t toInt32(std::string_view s) { return clampRounded<std::int32_t>(leadingNumber(s)); }
std::int32_t clampToInt32(double v) { return clampRounded<std::int32_t>(v); }

std::string plainDecimal(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  std::size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
  const std::size_t wholeStart = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  std::string_view whole = s.substr(wholeStart, i - wholeStart);
  const bool point = i < s.size() && s[i] == '.';
  std::string_view fraction;
  if (point) {
    const std::size_t fractionStart = ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    fraction = s.substr(fractionStart, i - fractionStart);
  }
  if (i != s.size() || whole.size() + fraction.size() == 0) return std::string(text);
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  std::string out = negative ? "-" : "";
  out += whole.empty() ? std::string_view("0") : whole;
  if (point) {
    out += '.';
    out += fraction.empty() ? std::string_view("0") : fraction;
  }
  return out;
}

std::string invariantNumber(double v) {
  if (std::isnan(v)) return "0";
  if (v == 0.0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  std::string s(buf, res.ptr);
  // to_chars with a precision keeps trailing zeros in the fraction; drop them.
  std::size_t e = s.find_first_of("eE");
  std::string mant = e == std::string::npos ? s : s.substr(0, e);
  std::string exp = e == std::string::npos ? "" : s.substr(e);
  if (mant.find('.') != std::string::npos) {
    while (!mant.empty() && mant.back() == '0') mant.pop_back();
    if (!mant.empty() && mant.back() == '.') mant.pop_back();
  }
  if (startsWith(mant, "0.")) mant.erase(0, 1);
  else if (startsWith(mant, "-0.")) mant.erase(1, 1);
  if (!exp.empty()) {
    exp[0] = 'E';
  }
  return mant + exp;
}

std::string intText(std::int64_t v) { return std::to_string(v); }

namespace {
// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}
void civilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}
constexpr long long kEpochOffset = 25569;  // 1970-01-01 as a day serial
}  // namespace

double toDaySerial(const DateTime& dt) {
  long long days = daysFromCivil(dt.year, static_cast<unsigned>(dt.month), static_cast<unsigned>(dt.day)) + kEpochOffset;
  double secs = dt.hour * 3600.0 + dt.minute * 60.0 + dt.second;
  return static_cast<double>(days) + secs / 86400.0;
}

DateTime fromDaySerial(double serial) {
  DateTime dt;
  if (!std::isfinite(serial) || std::fabs(serial) > 3e6) return dt;
  double whole = std::floor(serial);
  long long secs = static_cast<long long>(std::llround((serial - whole) * 86400.0));
  long long days = static_cast<long long>(whole);
  if (secs >= 86400) { secs -= 86400; ++days; }
  civilFromDays(days - kEpochOffset, dt.year, dt.month, dt.day);
  dt.hour = static_cast<int>(secs / 3600);
  dt.minute = static_cast<int>((secs / 60) % 60);
  dt.second = static_cast<int>(secs % 60);
  return dt;
}

DateTime localNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace zorvik
