#pragma once
// Opening, creating and saving the current trading system, and keeping every system's magic
// number unique. File names here are the names the program holds (decoded, with ".hsy.txt",
// "a/b.hsy.txt"); every file access escapes them (model/file_names.hpp).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/host.hpp"

namespace zorvik {

class Workspace;
struct Settings;

// Makes the named system the current one: saves the current system first, resets the model
// to the new name and reads the file if it exists; a system without a file gets the catalogue
// defaults and a fresh magic number. A system whose magic number is missing, "-" or 12
// characters long gets a fresh one, with a note the first four times in a run.
// If the current system cannot be saved first, it stays open (its changes would be lost
// otherwise) and the result is false.
bool openSystem(Workspace& ws, std::string_view fileName);

// Writes the current system to its file. True when written, or when no system is open;
// false (with a message) when the write failed, the previous file then being untouched.
// With announce set a successful write plays the event sound of saving.
bool saveCurrentSystem(Workspace& ws, bool announce = false);

// Saves the open system before another one takes its place. When that save fails the user is
// asked whether to discard the changes that cannot be written: true when saved or discarded.
bool saveOrDiscardCurrentSystem(Workspace& ws);
// The question asked when the open system cannot be saved: true when its changes may go.
bool askToDiscardUnsavableChanges(Workspace& ws);
// After a new system could not be written: it is dropped and the system open before (none
// for an empty name) is opened again from its file, with a message that says so.
void reopenAfterFailedCreate(Workspace& ws, const std::string& previousFileName);

// "Hsys" followed by the smallest n >= 1 whose "Hsys<n>.hsy.txt" is not in the user folder,
// with the extension.
std::string firstFreeSystemName(const std::filesystem::path& userFolder);

// New system, named in the "choose a system" dialog (which refuses path characters) or in an
// input box offering the first free name. A used name is refused and asked again; an empty
// answer cancels. Returns the new system's file name, or nullopt when nothing was created.
// The dialog also asks the starting stops: the catalogue's 5, 6 and 7 points are half a pip on
// a five-digit quote, below its spread, so a new system would lose on every trade. It offers
// kOfferedStarting, which the two exit groups receive in points of the chosen quotes.
std::optional<std::string> newSystemFromDialog(Workspace& ws);
std::optional<std::string> newSystemFromCommand(Workspace& ws);
// The common end of both: creates, opens and saves the system named name (without extension).
// A used or empty name is refused (with the message for a used name), and so is a name of
// dots and spaces alone (".", "..") or one holding a control character, each with its message. With stops given, the two
// exit groups take them before the first save; without, the catalogue's defaults stand.
std::optional<std::string> createSystem(Workspace& ws, std::string_view name, const NewSystemChoice* stops = nullptr);

// 30 pips stop loss, 60 pips take profit, no trailing stop, on five-digit quotes.
inline const NewSystemChoice kOfferedStarting{"", 5, 30, 60, 0};
// Points per pip on quotes of that many decimals: 10 for 5 and 3 (yen), else 1.
int pointsPerPip(int digits);
// The stored stop distance of a pip distance: whole points, "0" for none.
std::string stopPointsOfPips(double pips, int digits);
// The lines of the automatic-magic note, before translation.
inline constexpr std::string_view kMagicNoteLines[] = {
    "Habe automatisch eine eindeutige Magicnummer zugewiesen.",
    "",
    " Diese kann manuell geändert werden.",
    "Das sollte jedoch mit aller Vorsicht geschehen,",
    "da sich bei gleicher Magicnummer gleichzeitig laufende EAs gegenseitig beeinflussen !",
};

}  // namespace zorvik
