#pragma once
// The component files of the library: whole trading systems and their parts as small
// line-oriented texts (Windows-1252, CR LF). Six writers produce them from the model; the reader
// that loads any of them into a trading system is workspace/component_reading.hpp.
//
// A file is a sequence of sections ("START name" ... "ENDE name" or "STOP name") holding
// value lines key="value". Values are not escaped: a value with line breaks simply goes on
// over several physical lines until the line that ends with the closing quote.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class TradingSystem;
class SignalGroup;
class Indicator;
struct MoneyManagementRecord;

struct ComponentKind {
  std::string_view extension;   // ".hsy.txt"
  std::string_view name;        // "Handelssystem"
  std::string_view readerCode;  // what the reader is told when such a file is dropped
};

inline constexpr std::array<ComponentKind, 6> kComponentKinds{{
    {".hsy.txt", "Handelssystem", ""},
    {".sgr.txt", "Signalgruppe", "SGR"},
    {".igr.txt", "Indikatorengruppe", "IGR"},
    {".ind.txt", "Indikator", "IND"},
    {".mm.txt", "MM", "MM"},
    {".stp.txt", "STOP", "STOP"},
}};

// The kind whose extension ends the file name; nullptr for none.
const ComponentKind* componentKindOf(std::string_view fileName);

// ---- Writers. The *Lines functions give the lines (UTF-8, without line ends); the write*
// functions replace the file atomically and return false, with a reason in *error, when it
// could not be written (the previous file is then untouched).

// general, moneymanagement, then the four group sections in group order. No COMMENT.
std::vector<std::string> systemFileLines(const TradingSystem& system);
// The four group sections exactly as in a system file, then COMMENT.
std::vector<std::string> signalGroupsFileLines(const TradingSystem& system, std::string_view comment);
// One "signalgruppe" section, then COMMENT. With selected given, only the indicators at those
// 1-based positions, in the given order (positions outside the group are skipped).
std::vector<std::string> indicatorGroupFileLines(const SignalGroup& group, std::string_view comment,
                                                 const std::vector<int>* selected = nullptr);
// The indicator block, then COMMENT; no lines at all for an empty slot (no type, no values).
std::vector<std::string> indicatorFileLines(const Indicator& indicator, std::string_view comment);
std::vector<std::string> moneyManagementFileLines(const MoneyManagementRecord& mm, std::string_view comment);
// sl, ts, tp of one group in a STOPS section, then COMMENT.
std::vector<std::string> stopsFileLines(const SignalGroup& group, std::string_view comment);

bool writeSystemFile(const TradingSystem& system, const std::filesystem::path& file, std::string* error = nullptr);
bool writeSignalGroupsFile(const TradingSystem& system, const std::filesystem::path& file, std::string_view comment,
                           std::string* error = nullptr);
bool writeIndicatorGroupFile(const SignalGroup& group, const std::filesystem::path& file,
                             std::string_view comment, const std::vector<int>* selected = nullptr,
                             std::string* error = nullptr);
// Writes nothing, and returns false, for an empty indicator slot.
bool writeIndicatorFile(const Indicator& indicator, const std::filesystem::path& file, std::string_view comment,
                        std::string* error = nullptr);
bool writeMoneyManagementFile(const MoneyManagementRecord& mm, const std::filesystem::path& file,
                              std::string_view comment, std::string* error = nullptr);
bool writeStopsFile(const SignalGroup& group, const std::filesystem::path& file, std::string_view comment,
                    std::string* error = nullptr);

// A day serial as "lastedittime" holds it: "." as decimal point, no leading blank.
std::string editTimeText(double daySerial);

}  // namespace zorvik
