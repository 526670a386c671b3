#pragma once
// The component files of the library: whole trading systems and their parts as small
// line-oriented texts (Windows-1252, CR LF). Six writers produce them from the model, one
// reader loads any of them into a trading system, and two procedures fill catalogue defaults
// into a system and into a new indicator.
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
class Workspace;
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
std::vector<std::string> systemFileLines(const TradingSystem& hs);
// The four group sections exactly as in a system file, then COMMENT.
std::vector<std::string> signalGroupsFileLines(const TradingSystem& hs, std::string_view comment);
// One "signalgruppe" section, then COMMENT. With selected given, only the indicators at those
// 1-based positions, in the given order (positions outside the group are skipped).
std::vector<std::string> indicatorGroupFileLines(const SignalGroup& group, std::string_view comment,
                                                 const std::vector<int>* selected = nullptr);
// The indicator block, then COMMENT; no lines at all for an empty slot (no type, no values).
std::vector<std::string> indicatorFileLines(const Indicator& indicator, std::string_view comment);
std::vector<std::string> moneyManagementFileLines(const MoneyManagementRecord& mm, std::string_view comment);
// sl, ts, tp of one group in a STOPS section, then COMMENT.
std::vector<std::string> stopsFileLines(const SignalGroup& group, std::string_view comment);

bool writeSystemFile(const TradingSystem& hs, const std::filesystem::path& file, std::string* error = nullptr);
bool writeSignalGroupsFile(const TradingSystem& hs, const std::filesystem::path& file, std::string_view comment,
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

// ---- Reader.
//
// Reads any component file into the system. kindCode is one of the reader codes above
// (compared without regard to case); indicator and stop files, whose lines carry no group,
// go to targetGroup (1..4), as do indicator groups. Indicators are always appended, never
// replaced. A magic number of "-", "" or "123456" in a general section is replaced by a fresh
// running number (and the user told so); an account "000000" becomes the first known account.
// Afterwards every group that holds indicators is marked in use (editok 1).
//
// Never throws; bad lines are skipped and whatever can be read is read. A file that cannot
// be opened leaves the system as it was, shows a message and gives false.
// The workspace gives the definition table, the known accounts and the magic counter.
bool readComponent(Workspace& ws, TradingSystem& hs, const std::filesystem::path& file, std::string_view kindCode,
                   int targetGroup);
// The same for file contents already in memory (raw Windows-1252 bytes).
void readComponentText(Workspace& ws, TradingSystem& hs, std::string_view bytes, std::string_view kindCode,
                       int targetGroup);

// ---- Defaults.

// Fills the defaults of the catalogue's "!" rows into the system: money management, stops of
// the exit groups, general settings (title from the file name, a fresh magic number) and the
// thresholds of all four groups. Opening an existing file applies them first too, so that a
// key the file lacks keeps its default instead of an empty value reaching the Expert Advisor;
// there the magic number is left to the file (drawMagic false).
void applySystemDefaults(Workspace& ws, TradingSystem& hs, bool drawMagic = true);
// Fills the defaults of the indicator's type row and stamps "lastedittime" with the given
// day serial, or with the current time.
void applyIndicatorDefaults(const Workspace& ws, Indicator& indicator,
                            std::optional<double> nowSerial = std::nullopt);
// A day serial as "lastedittime" holds it: "." as decimal point, no leading blank.
std::string editTimeText(double daySerial);

}  // namespace zorvik
