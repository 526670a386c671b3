#pragma once
// Reading component files into a trading system, and filling the catalogue's defaults into a
// system and into a new indicator. Reading needs the program-wide records: the definition
// table turns list indexes into ids, the known accounts fill a blank account, and a missing
// magic number is drawn from the shared counter.
#include <filesystem>
#include <optional>
#include <string_view>

namespace zorvik {

class Indicator;
class TradingSystem;
class Workspace;

// ---- Reader.
//
// Reads any component file into the system. kindCode is one of the reader codes of kComponentKinds
// (compared without regard to case); indicator and stop files, whose lines carry no group,
// go to targetGroup (1..4), as do indicator groups. Indicators are always appended, never
// replaced. A magic number of "-", "" or "123456" in a general section is replaced by a fresh
// running number (and the user told so); an account "000000" becomes the first known account.
// Afterwards every group that holds indicators is marked in use (editok 1).
//
// Never throws; bad lines are skipped and whatever can be read is read. A file that cannot
// be opened leaves the system as it was, shows a message and gives false.
// The workspace gives the definition table, the known accounts and the magic counter.
bool readComponent(Workspace& ws, TradingSystem& system, const std::filesystem::path& file, std::string_view kindCode,
                   int targetGroup);
// The same for file contents already in memory (raw Windows-1252 bytes).
void readComponentText(Workspace& ws, TradingSystem& system, std::string_view bytes, std::string_view kindCode,
                       int targetGroup);

// ---- Defaults.

// Fills the defaults of the catalogue's "!" rows into the system: money management, stops of
// the exit groups, general settings (title from the file name, a fresh magic number) and the
// thresholds of all four groups. Opening an existing file applies them first too, so that a
// key the file lacks keeps its default instead of an empty value reaching the Expert Advisor;
// there the magic number is left to the file (drawMagic false).
void applySystemDefaults(Workspace& ws, TradingSystem& system, bool drawMagic = true);
// Fills the defaults of the indicator's type row and stamps "lastedittime" with the given
// day serial, or with the current time.
void applyIndicatorDefaults(const Workspace& ws, Indicator& indicator,
                            std::optional<double> nowSerial = std::nullopt);

}  // namespace zorvik
