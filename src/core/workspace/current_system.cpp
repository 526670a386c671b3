#include "workspace/current_system.hpp"

#include <algorithm>
#include <cmath>

#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/trading_system.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace fs = std::filesystem;

namespace {

std::size_t characterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

// A dangling link counts as taken too: writing through it would create its target.
bool fileExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

void showMagicNote(Workspace& ws) {
  std::string note;
  for (std::size_t i = 0; i < std::size(kMagicNoteLines); ++i) {
    if (i) note += "\r\n";
    if (!kMagicNoteLines[i].empty()) note += ws.tr(kMagicNoteLines[i]);
  }
  ws.host().message(note);
}

bool needsFreshMagic(std::string_view magic) { return magic.empty() || magic == "-" || characterCount(magic) == 12; }

}  // namespace

bool saveCurrentSystem(Workspace& ws, bool announce) {
  const TradingSystem& system = ws.system();
  if (system.systemFileName.empty()) return true;
  std::string error;
  if (!writeSystemFile(system, componentPath(ws.userFolder(), system.systemFileName), &error)) {
    ws.message("Das Handelssystem konnte nicht gespeichert werden: ", error);
    return false;
  }
  // What the file holds is now the system: nothing left unsaved for the window's marker.
  ws.system().changed = false;
  if (announce) ws.host().playSound(Sound::Save);
  return true;
}

bool openSystem(Workspace& ws, std::string_view fileName) {
  const std::string statusText = ws.tr("Lade Handelssystem");
  ws.host().status(statusText);
  TradingSystem& system = ws.system();
  if (!saveOrDiscardCurrentSystem(ws)) return false;

  // Read the file before touching the model: a file that is there but cannot be read must
  // not be replaced by a default system at the next save.
  const fs::path file = componentPath(ws.userFolder(), fileName);
  std::optional<std::string> bytes;
  if (fileExists(file)) {
    bytes = readFileBytes(file);
    if (!bytes) {
      ws.message("Die Datei konnte nicht gelesen werden: ", std::string(fileName));
      return false;
    }
  }

  system.systemFileName = std::string(fileName);
  system.resetAll(systemDefaults(ws));
  if (bytes) {
    applySystemDefaults(ws, system, false);
    readComponentText(ws, system, *bytes, "", 0);
    if (system.general.title.empty()) storeSystemParameter(ws, system, "general_bezeichnung", titleOfFileName(fileName));
    if (needsFreshMagic(system.general.magic)) {
      if (auto magic = handOutMagicNumber(ws)) storeSystemParameter(ws, system, "general_magic", *magic);
      if (ws.magicRun.notesConsidered < 4) {
        showMagicNote(ws);
        if (ws.magicRun.notesConsidered == 3) ws.message("Dieser Hinweis erscheint heute nicht mehr ...");
      }
      ++ws.magicRun.notesConsidered;
    }
  } else {
    applySystemDefaults(ws, system);
  }
  system.changed = false;
  system.changedKeys.clear();
  ws.host().status(statusText + " ok");
  ws.systemOpened();
  return true;
}

std::string firstFreeSystemName(const fs::path& userFolder) {
  for (long long n = 1;; ++n) {
    std::string name = "Hsys" + std::to_string(n) + std::string(kSystemExtension);
    if (!fileExists(userFolder / name)) return name;
  }
}

int pointsPerPip(int digits) { return digits == 5 || digits == 3 ? 10 : 1; }

std::string stopPointsOfPips(double pips, int digits) {
  if (!(pips > 0)) return "0";
  return invariantNumber(std::round(pips * pointsPerPip(digits)));
}

std::optional<std::string> createSystem(Workspace& ws, std::string_view name, const NewSystemChoice* stops) {
  if (name.empty()) return std::nullopt;
  if (decodesToControlCharacter(name)) {
    ws.message("Der Name enthält ein Steuerzeichen (auch als %00 bis %1F oder %7F geschrieben) und kann nicht verwendet werden: ",
               std::string(name));
    return std::nullopt;
  }
  // "." and ".." name the folders themselves once the extension is gone again, and a name of
  // dots and spaces alone gives a file the generator cannot name an Expert Advisor after.
  if (name.find_first_not_of(". ") == std::string_view::npos) {
    ws.message("Ein Name nur aus Punkten und Leerzeichen kann nicht verwendet werden: ", std::string(name));
    return std::nullopt;
  }
  std::string fileName = std::string(name) + std::string(kSystemExtension);
  // Checking the name and writing the new file are one step for every program working on this
  // library: of two creating the same name at once, the second finds the first one's file.
  MagicNumberLock lock(ws);
  if (fileExists(componentPath(ws.userFolder(), fileName))) {
    ws.message("Dieser Name wird bereits verwendet.Bitte einen neuen wählen oder abbrechen...");
    return std::nullopt;
  }
  if (!magicNumberAvailable(ws)) return std::nullopt;
  const std::string previous = ws.system().systemFileName;
  if (!openSystem(ws, fileName)) return std::nullopt;
  if (stops) {
    for (SignalGroup* exit : {&ws.system().group(2), &ws.system().group(4)}) {
      exit->sl = stopPointsOfPips(stops->stoplossPips, stops->digits);
      exit->tp = stopPointsOfPips(stops->takeprofitPips, stops->digits);
      exit->ts = stopPointsOfPips(stops->trailingPips, stops->digits);
    }
  }
  ws.host().playSound(Sound::NewSystem);
  const bool saved = saveCurrentSystem(ws);
  ws.host().refreshLibrary();
  if (!saved) {
    reopenAfterFailedCreate(ws, previous);
    return std::nullopt;
  }
  return fileName;
}

bool saveOrDiscardCurrentSystem(Workspace& ws) { return saveCurrentSystem(ws) || askToDiscardUnsavableChanges(ws); }

bool askToDiscardUnsavableChanges(Workspace& ws) {
  return ws.ask(
      "Das geöffnete Handelssystem kann nicht gespeichert werden. Sollen seine Änderungen verworfen werden?");
}

void reopenAfterFailedCreate(Workspace& ws, const std::string& previousFileName) {
  // The new system has no file; keeping it open would make every later open, new or save
  // under fail on it first. Its state is dropped unsaved and the system from before comes
  // back as its file holds it (it was saved, or its changes discarded, just before).
  ws.system().systemFileName.clear();
  ws.system().changed = false;
  ws.message("Das neue Handelssystem wurde nicht angelegt, das bisherige bleibt geöffnet.");
  if (!previousFileName.empty()) openSystem(ws, previousFileName);
  else ws.systemOpened();
}

namespace {

// Asks until the answer is empty or names no existing system, then creates that system.
// ask gives the whole choice; one without stops keeps the catalogue's.
template <typename Ask>
std::optional<std::string> newSystemAsking(Workspace& ws, Ask ask) {
  if (!saveOrDiscardCurrentSystem(ws)) return std::nullopt;
  std::optional<NewSystemChoice> offered;
  while (true) {
    const std::pair<std::string, std::optional<NewSystemChoice>> answer = ask(offered);
    const std::string& name = answer.first;
    if (name.empty()) return std::nullopt;
    offered = answer.second;  // asked again, the dialog keeps the stops just chosen
    if (!fileExists(componentPath(ws.userFolder(), name + std::string(kSystemExtension))))
      return createSystem(ws, name, answer.second ? &*answer.second : nullptr);
    ws.message("Dieser Name wird bereits verwendet.Bitte einen neuen wählen oder abbrechen...");
  }
}

}  // namespace

std::optional<std::string> newSystemFromDialog(Workspace& ws) {
  return newSystemAsking(ws, [&ws](const std::optional<NewSystemChoice>& before) {
    auto choice = ws.host().chooseNewSystem(ws.tr("Name Handelssystem"), before.value_or(kOfferedStarting));
    std::string name = choice ? choice->name : std::string();
    return std::make_pair(std::move(name), std::move(choice));
  });
}

std::optional<std::string> newSystemFromCommand(Workspace& ws) {
  return newSystemAsking(ws, [&ws](const std::optional<NewSystemChoice>&) {
    const std::string offered = titleOfFileName(firstFreeSystemName(ws.userFolder()));
    std::string name = ws.host()
                           .inputBox(ws.tr("Name des neuen Handelssystems:"), ws.tr("Name Handelssystem"), offered)
                           .value_or(std::string());
    return std::make_pair(std::move(name), std::optional<NewSystemChoice>());
  });
}

}  // namespace zorvik
