// CSV history: the terminal's History Center export ("YYYY.MM.DD,HH:MM,O,H,L,C,V", no header)
// and CSV files whose first row names the columns. Also what all history formats share: names,
// messages and the file-name conventions.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <system_error>
#include <vector>

#include "market/civil_time.hpp"
#include "market/history_checks.hpp"
#include "market/history_files.hpp"
#include "text/cp1252.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {

namespace market_detail {

std::string timeText(std::int64_t time) {
  const std::int64_t days = floorDiv(time, 86400);
  const std::int64_t secs = time - days * 86400;
  const CivilDate d = civilFromDays(days);
  char buf[48];
  const int h = static_cast<int>(secs / 3600), m = static_cast<int>(secs / 60 % 60), s = static_cast<int>(secs % 60);
  if (s == 0)
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d %02d:%02d", d.year, d.month, d.day, h, m);
  else
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d %02d:%02d:%02d", d.year, d.month, d.day, h, m, s);
  return buf;
}

}  // namespace market_detail

using namespace market_detail;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string_view trimView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

// A field as a message quotes it: short and valid UTF-8 whatever the file held.
std::string quoted(std::string_view field) {
  if (field.size() > 40) field = field.substr(0, 40);
  return "\"" + cp1252ToUtf8(field) + "\"";
}

// Locale-free; the whole field must be the number.
bool parseNumber(std::string_view f, double& v) {
  f = trimView(f);
  if (f.empty()) return false;
  const auto r = std::from_chars(f.data(), f.data() + f.size(), v, std::chars_format::fixed);
  return r.ec == std::errc() && r.ptr == f.data() + f.size() && std::isfinite(v);
}

// Reads 1..maxDigits digits from the front of s.
bool takeNumber(std::string_view& s, int minDigits, int maxDigits, int& out) {
  int n = 0, v = 0;
  while (n < maxDigits && n < static_cast<int>(s.size()) && isDigit(s[static_cast<std::size_t>(n)])) {
    v = v * 10 + (s[static_cast<std::size_t>(n)] - '0');
    ++n;
  }
  if (n < minDigits) return false;
  s.remove_prefix(static_cast<std::size_t>(n));
  out = v;
  return true;
}

bool takeChar(std::string_view& s, std::string_view allowed, char* which = nullptr) {
  if (s.empty() || allowed.find(s.front()) == std::string_view::npos) return false;
  if (which) *which = s.front();
  s.remove_prefix(1);
  return true;
}

// "YYYY.MM.DD" or "YYYY-MM-DD"; days since 1970.
bool takeDate(std::string_view& s, std::int64_t& days) {
  int y, m, d;
  char sep = 0;
  if (!takeNumber(s, 4, 4, y) || !takeChar(s, ".-/", &sep) || !takeNumber(s, 1, 2, m) ||
      !takeChar(s, std::string_view(&sep, 1)) || !takeNumber(s, 1, 2, d))
    return false;
  if (m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return false;
  days = daysFromCivil(y, m, d);
  return true;
}

// "HH:MM" or "HH:MM:SS"; seconds of the day.
bool takeClock(std::string_view& s, std::int64_t& secs) {
  int h, m, sec = 0;
  if (!takeNumber(s, 1, 2, h) || !takeChar(s, ":") || !takeNumber(s, 2, 2, m)) return false;
  if (!s.empty() && s.front() == ':') {
    s.remove_prefix(1);
    if (!takeNumber(s, 2, 2, sec)) return false;
  }
  if (h > 23 || m > 59 || sec > 59) return false;
  secs = h * 3600 + m * 60 + sec;
  return true;
}

bool parseDateAndClock(std::string_view date, std::string_view clock, std::int64_t& t) {
  date = trimView(date);
  clock = trimView(clock);
  std::int64_t days, secs;
  if (!takeDate(date, days) || !date.empty() || !takeClock(clock, secs) || !clock.empty()) return false;
  t = days * 86400 + secs;
  return true;
}

// One time field: seconds since 1970, or a date with an optional clock after ' ' or 'T'.
bool parseTimeField(std::string_view f, std::int64_t& t) {
  f = trimView(f);
  if (f.empty()) return false;
  if (std::all_of(f.begin(), f.end(), isDigit)) {
    // Seconds since 1970 of any real quote have 9 or more digits; fewer is most likely a date
    // written as YYYYMMDD, which must not be read as a moment in 1970.
    if (f.size() < 9) return false;
    const auto r = std::from_chars(f.data(), f.data() + f.size(), t);
    return r.ec == std::errc() && r.ptr == f.data() + f.size();
  }
  std::int64_t days, secs = 0;
  if (!takeDate(f, days)) return false;
  if (!f.empty()) {
    if (!takeChar(f, " T")) return false;
    while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
    if (!takeClock(f, secs) || !f.empty()) return false;
  }
  t = days * 86400 + secs;
  return true;
}

void splitFields(std::string_view line, char sep, std::vector<std::string_view>& out) {
  out.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(sep, start);
    if (at == std::string_view::npos) {
      out.push_back(line.substr(start));
      return;
    }
    out.push_back(line.substr(start, at - start));
    start = at + 1;
  }
}

// Walks the lines of a text: LF or CR LF ends a line; numbers are 1-based.
class LineWalker {
 public:
  explicit LineWalker(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) text_.remove_prefix(3);  // a byte order mark some editors add
  }
  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++number_;
    return true;
  }
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

// The shape of "YYYY.MM.DD" at the front, valid or not: a History Center line with a bad date
// is then refused for its date instead of being taken for a header row.
bool looksLikeDate(std::string_view s) {
  if (s.size() < 8 || !std::all_of(s.begin(), s.begin() + 4, isDigit) || std::string_view(".-/").find(s[4]) == std::string_view::npos)
    return false;
  return isDigit(s[5]);
}

bool blank(std::string_view line) { return trimView(line).empty(); }

HistoryRead refused(const std::string& name, std::string place, std::string reason) {
  HistoryRead r;
  r.error = HistoryError{name, std::move(place), std::move(reason)};
  return r;
}

std::string linePlace(std::size_t n) { return "line " + std::to_string(n); }

// A bar parsed from a line, checked against the one before it.
struct BarCollector {
  BarSeries& s;
  std::string fault;
  bool add(std::int64_t t, double o, double h, double l, double c, double v) {
    const bool hasPrev = !s.empty();
    const std::int64_t prev = hasPrev ? s.time.back() : 0;
    if (!barSound(t, o, h, l, c, v, hasPrev, prev)) {
      fault = barFault(t, o, h, l, c, v, hasPrev, prev);
      return false;
    }
    s.push_back({t, o, h, l, c, v});
    return true;
  }
};

std::string normalisedColumnName(std::string_view f) {
  f = trimView(f);
  if (f.size() >= 2 && f.front() == '<' && f.back() == '>') f = f.substr(1, f.size() - 2);  // "<OPEN>"
  return toLower(trimView(f));
}

HistoryRead readHistoryCenter(LineWalker& lines, std::string_view first, const std::string& name, HistoryRead r) {
  std::vector<std::string_view> f;
  BarCollector bars{r.series, {}};
  std::string_view line = first;
  do {
    if (blank(line)) continue;
    const std::size_t n = lines.number();
    splitFields(line, ',', f);
    if (f.size() != 7) return refused(name, linePlace(n), "expected 7 fields, found " + std::to_string(f.size()));
    std::int64_t t;
    if (!parseDateAndClock(f[0], f[1], t)) return refused(name, linePlace(n), "bad time " + quoted(f[0]) + "," + quoted(f[1]));
    double v[5];
    static constexpr std::array<const char*, 5> what{"open", "high", "low", "close", "volume"};
    for (std::size_t i = 0; i < 5; ++i)
      if (!parseNumber(f[i + 2], v[i])) return refused(name, linePlace(n), std::string("bad ") + what[i] + " " + quoted(f[i + 2]));
    if (!bars.add(t, v[0], v[1], v[2], v[3], v[4])) return refused(name, linePlace(n), bars.fault);
  } while (lines.next(line));
  r.format = HistoryFormat::HistoryCenterCsv;
  return r;
}

HistoryRead readWithHeader(LineWalker& lines, std::string_view header, const std::string& name, HistoryRead r) {
  const std::size_t headerLine = lines.number();
  // The separator the header row uses most; a comma when it uses none.
  char sep = ',';
  std::size_t best = static_cast<std::size_t>(std::count(header.begin(), header.end(), ','));
  for (char c : {';', '\t'})
    if (const auto k = static_cast<std::size_t>(std::count(header.begin(), header.end(), c)); k > best) {
      best = k;
      sep = c;
    }
  std::vector<std::string_view> f;
  splitFields(header, sep, f);
  enum Col { kTime, kDate, kOpen, kHigh, kLow, kClose, kVolume, kTickVolume, kCount };
  std::array<int, kCount> col;
  col.fill(-1);
  for (std::size_t i = 0; i < f.size(); ++i) {
    const std::string c = normalisedColumnName(f[i]);
    int which = -1;
    if (c == "time" || c == "datetime" || c == "timestamp") which = kTime;
    else if (c == "date") which = kDate;
    else if (c == "open") which = kOpen;
    else if (c == "high") which = kHigh;
    else if (c == "low") which = kLow;
    else if (c == "close") which = kClose;
    else if (c == "volume" || c == "vol") which = kVolume;
    else if (c == "tickvol" || c == "tick_volume" || c == "tick volume") which = kTickVolume;
    if (which < 0) continue;  // other columns (spread, real volume) are not part of a bar
    if (col[static_cast<std::size_t>(which)] >= 0)
      return refused(name, linePlace(headerLine), "column " + quoted(f[i]) + " named twice");
    col[static_cast<std::size_t>(which)] = static_cast<int>(i);
  }
  // Data tools that write their time index as the first column leave its name empty
  // (",Open,High,Low,Close,Volume"). With no named time or date column, that unnamed column is
  // the time when the first data row holds a date-time there; an unnamed row-number column
  // is not, and the header stays refused as naming no time.
  if (col[kTime] < 0 && col[kDate] < 0 && !f.empty() && normalisedColumnName(f[0]).empty()) {
    LineWalker ahead = lines;
    std::string_view row;
    while (ahead.next(row) && blank(row)) {
    }
    std::vector<std::string_view> rowFields;
    splitFields(row, sep, rowFields);
    std::int64_t t;
    if (!blank(row) && parseTimeField(rowFields.front(), t)) col[kTime] = 0;
  }
  // The tick volume is what the terminal counts; a plain volume column is used when it is all there is.
  const int volumeCol = col[kTickVolume] >= 0 ? col[kTickVolume] : col[kVolume];
  if ((col[kTime] < 0 && col[kDate] < 0) || col[kOpen] < 0 || col[kHigh] < 0 || col[kLow] < 0 || col[kClose] < 0)
    return refused(name, linePlace(headerLine), "no header row naming time (or date), open, high, low and close");
  const std::size_t fields = f.size();

  BarCollector bars{r.series, {}};
  std::string_view line;
  while (lines.next(line)) {
    if (blank(line)) continue;
    const std::size_t n = lines.number();
    splitFields(line, sep, f);
    if (f.size() != fields)
      return refused(name, linePlace(n), "expected " + std::to_string(fields) + " fields, found " + std::to_string(f.size()));
    auto at = [&](int c) { return f[static_cast<std::size_t>(c)]; };
    std::int64_t t;
    bool timeOk;
    if (col[kDate] >= 0 && col[kTime] >= 0) timeOk = parseDateAndClock(at(col[kDate]), at(col[kTime]), t);
    else timeOk = parseTimeField(at(col[kTime] >= 0 ? col[kTime] : col[kDate]), t);
    if (!timeOk) return refused(name, linePlace(n), "bad time " + quoted(at(col[kTime] >= 0 ? col[kTime] : col[kDate])));
    double v[5] = {0, 0, 0, 0, 0};
    static constexpr std::array<const char*, 5> what{"open", "high", "low", "close", "volume"};
    const int cols[5] = {col[kOpen], col[kHigh], col[kLow], col[kClose], volumeCol};
    for (std::size_t i = 0; i < 5; ++i)
      if (cols[i] >= 0 && !parseNumber(at(cols[i]), v[i]))
        return refused(name, linePlace(n), std::string("bad ") + what[i] + " " + quoted(at(cols[i])));
    if (!bars.add(t, v[0], v[1], v[2], v[3], v[4])) return refused(name, linePlace(n), bars.fault);
  }
  r.format = HistoryFormat::HeaderCsv;
  return r;
}

// Digits and chars of a price: the symbol's decimals when they hold it exactly, else the
// shortest form that reads back to the same number (nothing is lost on a round trip).
void appendPrice(std::string& out, double v, int digits) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, digits);
  double back = 0;
  std::from_chars(buf, r.ptr, back);
  if (back != v) r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void appendNumber(std::string& out, double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  out.append(buf, r.ptr);
}

void append2(std::string& out, int v) {
  out += static_cast<char>('0' + v / 10);
  out += static_cast<char>('0' + v % 10);
}

// "YYYY<sep>MM<sep>DD" then `between` then "HH:MM" (":SS" when withSeconds).
void appendTime(std::string& out, std::int64_t t, char sep, char between, bool withSeconds) {
  const std::int64_t days = floorDiv(t, 86400);
  const std::int64_t secs = t - days * 86400;
  const CivilDate d = civilFromDays(days);
  out += std::to_string(d.year);
  out += sep;
  append2(out, d.month);
  out += sep;
  append2(out, d.day);
  out += between;
  append2(out, static_cast<int>(secs / 3600));
  out += ':';
  append2(out, static_cast<int>(secs / 60 % 60));
  if (withSeconds) {
    out += ':';
    append2(out, static_cast<int>(secs % 60));
  }
}

std::optional<std::string> checkedForText(const BarSeries& s, std::string* error) {
  std::string why;
  std::size_t bad = 0;
  if (s.empty()) why = "no bars";
  else if (s.digits < 0 || s.digits > 10) why = "digits " + std::to_string(s.digits) + " out of range";
  else if (why = seriesFault(s, &bad); !why.empty()) why = "bar " + std::to_string(bad) + ": " + why;
  if (why.empty()) return std::string();
  if (error) *error = why;
  return std::nullopt;
}

}  // namespace

std::string_view historyFormatName(HistoryFormat format) {
  switch (format) {
    case HistoryFormat::Hst400: return "hst v400";
    case HistoryFormat::Hst401: return "hst v401";
    case HistoryFormat::HistoryCenterCsv: return "History Center CSV";
    case HistoryFormat::HeaderCsv: return "CSV with header";
  }
  return "?";
}

std::string HistoryError::message() const {
  // The reason may quote the file's own bytes, and a printed control character would act on
  // the trader's terminal.
  std::string m = file;
  if (!place.empty()) m += ": " + place;
  return withControlsEscaped(m + ": " + reason);
}

std::string historyTimeText(std::int64_t time) { return timeText(time); }

NameParts symbolFromFileName(const std::filesystem::path& path) {
  const std::string stem = path.stem().string();
  NameParts out;
  std::size_t i = 0;
  while (i < stem.size() && isLetter(stem[i])) ++i;
  out.symbol = stem.substr(0, i);
  const std::string_view rest = std::string_view(stem).substr(i);
  if (!out.symbol.empty() && !rest.empty() && rest.size() <= 5 && std::all_of(rest.begin(), rest.end(), isDigit)) {
    int minutes = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), minutes);
    out.timeframeMinutes = minutes;
  }
  return out;
}

int defaultDigits(std::string_view symbol) { return ifind(symbol, "JPY") != std::string_view::npos ? 3 : 5; }

HistoryRead readCsvHistory(std::string_view text, const std::string& name, const CsvHistoryOptions& options) {
  HistoryRead r;
  if (options.digits > 10) return refused(name, "", "digits " + std::to_string(options.digits) + " out of range");
  if (options.timeframeMinutes < 0)
    return refused(name, "", "timeframe " + std::to_string(options.timeframeMinutes) + " not positive");
  const NameParts parts = symbolFromFileName(name);
  r.series.symbol = !options.symbol.empty() ? options.symbol : parts.symbol;
  if (r.series.symbol.empty())
    return refused(name, "", "no symbol: give one, or name the file after it (EURUSD60.csv)");
  r.series.digits = options.digits >= 0 ? options.digits : defaultDigits(r.series.symbol);

  LineWalker lines(text);
  std::string_view first;
  while (lines.next(first) && blank(first)) {
  }
  if (blank(first)) return refused(name, "", "no bars");
  r = looksLikeDate(trimView(first)) ? readHistoryCenter(lines, first, name, std::move(r))
                                     : readWithHeader(lines, first, name, std::move(r));
  if (!r.ok()) return r;
  BarSeries& s = r.series;
  if (s.empty()) return refused(name, "", "no bars");

  s.timeframeMinutes = options.timeframeMinutes > 0 ? options.timeframeMinutes : parts.timeframeMinutes;
  if (s.timeframeMinutes == 0) {
    // Neither given nor in the name: the bars' own spacing. Gaps (nights, weekends, missing
    // bars) only widen it, so the smallest step is the timeframe; months vary in length.
    if (s.size() < 2)
      return refused(name, "", "one bar does not tell the timeframe: give it, or name the file after it (EURUSD60.csv)");
    std::int64_t gap = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 1; i < s.size(); ++i) gap = std::min(gap, s.time[i] - s.time[i - 1]);
    if (gap >= 28 * 86400 && gap <= 31 * 86400) s.timeframeMinutes = 43200;
    else if (gap % 60 == 0 && gap / 60 <= 43200) s.timeframeMinutes = static_cast<int>(gap / 60);
    else return refused(name, "", "bars " + std::to_string(gap) + " seconds apart do not make a timeframe");
  }
  return r;
}

HistoryRead readCsvHistoryFile(const std::filesystem::path& path, const CsvHistoryOptions& options) {
  // The text is read whole, so a file beyond any real history is refused before a byte is read;
  // the limit is read as the most, in case the file grows meanwhile.
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxCsvHistoryBytes)
    return refused(path.string(), "",
                   std::to_string(size) + " bytes, more than the " + std::to_string(kMaxCsvHistoryBytes) +
                       " a CSV history may have");
  try {
    const auto bytes = readFileBytes(path, static_cast<std::size_t>(kMaxCsvHistoryBytes) + 1);
    if (!bytes) return refused(path.string(), "", "cannot read the file");
    if (bytes->size() > kMaxCsvHistoryBytes)
      return refused(path.string(), "", "more than the " + std::to_string(kMaxCsvHistoryBytes) + " bytes a CSV history may have");
    return readCsvHistory(*bytes, path.string(), options);
  } catch (const std::bad_alloc&) {
    return refused(path.string(), "", "not enough memory to read the file");
  }
}

std::optional<std::string> historyCenterCsvText(const BarSeries& s, std::string* error) {
  auto out = checkedForText(s, error);
  if (!out) return out;
  out->reserve(s.size() * 64);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s.time[i] % 60 != 0) {
      if (error) *error = "bar " + std::to_string(i + 1) + ": time with seconds has no History Center form";
      return std::nullopt;
    }
    appendTime(*out, s.time[i], '.', ',', false);
    for (double p : {s.open[i], s.high[i], s.low[i], s.close[i]}) {
      *out += ',';
      appendPrice(*out, p, s.digits);
    }
    *out += ',';
    appendNumber(*out, s.volume[i]);
    *out += "\r\n";
  }
  return out;
}

std::optional<std::string> headerCsvText(const BarSeries& s, std::string* error) {
  auto out = checkedForText(s, error);
  if (!out) return out;
  out->reserve(s.size() * 72 + 40);
  *out += "time,open,high,low,close,volume\r\n";
  for (std::size_t i = 0; i < s.size(); ++i) {
    appendTime(*out, s.time[i], '-', ' ', true);
    for (double p : {s.open[i], s.high[i], s.low[i], s.close[i]}) {
      *out += ',';
      appendPrice(*out, p, s.digits);
    }
    *out += ',';
    appendNumber(*out, s.volume[i]);
    *out += "\r\n";
  }
  return out;
}

}  // namespace zorvik
