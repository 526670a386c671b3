#pragma once
// Reading and writing price history: MetaTrader 4 history files (.hst, versions 400 and 401),
// the terminal's History Center CSV export and CSV files with a header row.
//
// Readers never throw on bad input and never guess: a file is either read whole and sound, or
// refused with the file, the record or line, and the reason.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "market/bar_series.hpp"

namespace zorvik {

// The most bars a history may hold: 10^8, which is 190 years of M1 around the clock. The bound
// is what keeps a damaged or hostile file (a sparse .hst whose size claims a terabyte) from
// making a reader reserve memory it will never fill; at the limit the columns take 4.8 GB.
inline constexpr std::size_t kMaxHistoryBars = 100'000'000;
// The largest CSV history read: kMaxHistoryBars lines of 80 bytes, more than a History Center
// line of M1 (about 52) or a header CSV line with seconds and volume needs.
inline constexpr std::uintmax_t kMaxCsvHistoryBytes = std::uintmax_t{kMaxHistoryBars} * 80;

enum class HistoryFormat {
  Hst400,            // .hst version 400: 44-byte records, int32 time, order open/low/high/close
  Hst401,            // .hst version 401: 60-byte records, int64 time, open/high/low/close
  HistoryCenterCsv,  // "YYYY.MM.DD,HH:MM,O,H,L,C,V" without a header row
  HeaderCsv,         // a header row naming time (or date [+ time]), open, high, low, close[, volume]
};

// "hst v400", "hst v401", "History Center CSV", "CSV with header".
std::string_view historyFormatName(HistoryFormat format);

// Where and why a history was refused. `place` is "record 17" (1-based, .hst), "line 4"
// (1-based, CSV), "header", or empty when the file as a whole is at fault (empty, unreadable).
struct HistoryError {
  std::string file;
  std::string place;
  std::string reason;
  // "EURUSD60.hst: record 17: high 1.1 below open/close 1.2"
  std::string message() const;
};

struct HistoryRead {
  BarSeries series;
  HistoryFormat format = HistoryFormat::Hst401;
  std::optional<HistoryError> error;
  bool ok() const { return !error.has_value(); }
};

// Settings for a CSV history; the .hst header carries its own.
struct CsvHistoryOptions {
  std::string symbol;        // empty: the file name's leading letters ("EURUSD60.csv" -> EURUSD)
  int timeframeMinutes = 0;  // 0: the digits right after those letters, else the smallest gap between bars
  int digits = -1;           // < 0: 3 for a symbol containing JPY, else 5
};

// .hst on bytes already in memory (`name` only names the file in a message).
HistoryRead readHst(std::string_view bytes, const std::string& name);
// .hst from disk, decoded chunk by chunk straight into the columns (no copy of the whole file).
HistoryRead readHstFile(const std::filesystem::path& path);

// Either CSV form: a first line that starts with a date is the History Center export, anything
// else must be a header row. Separators: ',' (or ';' / tab when the header row uses them).
HistoryRead readCsvHistory(std::string_view text, const std::string& name, const CsvHistoryOptions& options = {});
HistoryRead readCsvHistoryFile(const std::filesystem::path& path, const CsvHistoryOptions& options = {});

// By the file's extension: ".hst" (any case) as .hst, everything else as CSV.
HistoryRead readHistoryFile(const std::filesystem::path& path, const CsvHistoryOptions& options = {});

// Symbol and timeframe from a file name: "EURUSD60.csv" -> {"EURUSD", 60}, "GBPJPY.csv" ->
// {"GBPJPY", 0}, "eurusd_H1.csv" -> {"eurusd", 0}.
struct NameParts {
  std::string symbol;
  int timeframeMinutes = 0;
};
NameParts symbolFromFileName(const std::filesystem::path& path);

// 3 for a symbol containing "JPY" (any case), else 5.
int defaultDigits(std::string_view symbol);

// Writers. The series is checked as a reader would check it (a writer never produces a file its
// reader refuses); a refusal sets *error and returns nothing. Version 400 also needs every time
// to fit 32 bits.
std::optional<std::string> hstBytes(const BarSeries& series, int version, std::string* error = nullptr);
std::optional<std::string> historyCenterCsvText(const BarSeries& series, std::string* error = nullptr);
std::optional<std::string> headerCsvText(const BarSeries& series, std::string* error = nullptr);
// Writes in the given format, replacing the file atomically.
bool writeHistoryFile(const std::filesystem::path& path, const BarSeries& series, HistoryFormat format,
                      std::string* error = nullptr);

// Bar time as the terminal prints it: "2024.03.01 13:00".
std::string historyTimeText(std::int64_t time);

}  // namespace zorvik
