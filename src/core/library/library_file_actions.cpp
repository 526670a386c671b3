// The library's file actions, the commands of its context menu: move to the trash, restore,
// delete, rename and save the open system under a new name. Each one that would overwrite
// another file refuses before it touches anything.
#include <filesystem>

#include "library/library.hpp"
#include "library/library_internal.hpp"
#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "text/strings.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace fs = std::filesystem;
using namespace detail;

// A file listed under a name that escaping would not give back ("EUR+USD.hsy.txt", written by
// another program) is renamed to the escaped form of the name shown; without this, opening it
// would open a new, empty system of the shown name instead.
bool Library::makeCanonical(LibraryItem& record) {
  if (record.diskName.empty()) return true;
  const fs::path target = componentPath(ws_.userFolder(), record.fileName);
  if (fileThere(target)) {
    ws_.message("Dieser Dateiname existiert bereits !");
    return false;
  }
  std::error_code ec;
  fs::rename(ws_.userFile(record.diskName), target, ec);
  if (ec) {
    ws_.message("Die Datei konnte nicht umbenannt werden: ", record.diskName);
    return false;
  }
  record.diskName.clear();
  if (LibraryItem* item = itemById(record.id)) {
    item->diskName.clear();
    syncCurrent(*item);
  }
  return true;
}

LibraryOutcome Library::moveToTrash() {
  LibraryItem r = current_;
  // Only the six text kinds have a place in the trash: a trashed Expert Advisor would vanish
  // from every group.
  if (r.fileName.empty() || r.group.empty() || isGroup(r.group, libgroup::Powerswitch) ||
      isGroup(r.group, libgroup::Trash) || isGroup(r.group, libgroup::ExpertAdvisors) ||
      !componentKindOf(r.fileName)) {
    ws_.message("Das kann nicht entfernt werden!");
    return LibraryOutcome::Nothing;
  }
  if (!makeCanonical(r)) return LibraryOutcome::Nothing;
  // The open system is saved into the file that goes to the trash and then closed: left open,
  // the next save would write it back into the systems group.
  const bool openSystem = ws_.system().systemFileName == r.fileName;
  if (openSystem && !saveCurrentSystem(ws_)) return LibraryOutcome::Nothing;
  const std::string trashed = r.fileName + std::string(kTrashEnding);
  if (fileThere(componentPath(ws_.userFolder(), trashed))) {
    ws_.message("Dieses Bauteil liegt bereits in der Ablage: ", r.display);
    return LibraryOutcome::Nothing;
  }
  std::error_code ec;
  fs::rename(componentPath(ws_.userFolder(), r.fileName), componentPath(ws_.userFolder(), trashed), ec);
  if (ec) {
    ws_.message("Die Datei konnte nicht umbenannt werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  if (openSystem) {
    ws_.system().systemFileName.clear();
    ws_.settings.lastSystemId = 0;
  }
  LibraryGroup* trash = groupById(libgroup::Trash);
  if (!trash) {
    ws_.message("Die Ablage fehlt!");
    return openSystem ? LibraryOutcome::SystemClosed : LibraryOutcome::Nothing;
  }
  LibraryItem moved = makeItem(libgroup::Trash, trashed, {});
  moved.id = nextId();
  for (auto& g : groups_) std::erase_if(g.items, [&](const LibraryItem& i) { return i.id == r.id; });
  if (boldId_ == r.id) boldId_ = 0;
  current_ = moved;
  insertSorted(*trash, std::move(moved));
  return openSystem ? LibraryOutcome::SystemClosed : LibraryOutcome::Changed;
}

LibraryOutcome Library::restore() {
  const LibraryItem& r = current_;
  if (!isGroup(r.group, libgroup::Trash) || !endsWith(r.fileName, kTrashEnding)) return LibraryOutcome::Nothing;
  const std::string restored = r.fileName.substr(0, r.fileName.size() - kTrashEnding.size());
  // A file of that name made since would be overwritten, and it is the newer one.
  if (fileThere(componentPath(ws_.userFolder(), restored))) {
    ws_.message("Dieser Dateiname existiert bereits !");
    return LibraryOutcome::Nothing;
  }
  const fs::path from = r.diskName.empty() ? componentPath(ws_.userFolder(), r.fileName) : ws_.userFile(r.diskName);
  std::error_code ec;
  fs::rename(from, componentPath(ws_.userFolder(), restored), ec);
  if (ec) {
    ws_.message("Die Datei konnte nicht umbenannt werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  relistLibrary();
  return LibraryOutcome::Changed;
}

LibraryOutcome Library::remove() {
  const LibraryItem r = current_;
  // Trashed items may be deleted: the trash is where a trader empties things for good.
  if (r.fileName.empty() || r.group.empty() || isGroup(r.group, libgroup::Powerswitch)) {
    ws_.message("Das kann nicht entfernt werden!");
    return LibraryOutcome::Nothing;
  }
  const bool system = isGroup(r.group, libgroup::TradingSystems) ||
                      (isGroup(r.group, libgroup::Trash) && iequals(splitTrashName(r.fileName).kind, "hsy"));
  const std::string question = ws_.tr(system ? "Wollen Sie wirklich das Handelssystem" : "Wollen Sie wirklich das Bauteil") +
                               " " + r.nameHead + " " + ws_.tr("löschen ?");
  if (!ws_.host().askYesNo(question)) return LibraryOutcome::Nothing;
  const fs::path path = r.diskName.empty() ? componentPath(ws_.userFolder(), r.fileName) : ws_.userFile(r.diskName);
  std::error_code ec;
  if (fileThere(path) && !fs::remove(path, ec)) {
    ws_.message("Die Datei konnte nicht gelöscht werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  for (auto& g : groups_) std::erase_if(g.items, [&](const LibraryItem& i) { return i.id == r.id; });
  if (boldId_ == r.id) boldId_ = 0;
  if (ws_.system().systemFileName == r.fileName) {
    ws_.system().systemFileName.clear();
    ws_.settings.lastSystemId = 0;
    return LibraryOutcome::SystemClosed;
  }
  return LibraryOutcome::Changed;
}

std::optional<std::string> Library::askNewName(std::string_view prompt, const std::string& oldHead,
                                               std::string_view extension) {
  const auto answer = ws_.host().inputBox(ws_.tr(prompt), "-", oldHead);
  if (!answer || answer->empty()) return std::nullopt;
  if (decodesToControlCharacter(*answer)) {
    ws_.message("Der Name enthält ein Steuerzeichen (auch als %00 bis %1F oder %7F geschrieben) und kann nicht verwendet werden: ",
                *answer);
    return std::nullopt;
  }
  if (fileThere(componentPath(ws_.userFolder(), *answer + "." + std::string(extension)))) {
    ws_.message(*answer != oldHead ? "Dieser Dateiname existiert bereits !" : "Der Name bleibt gleich...");
    return std::nullopt;
  }
  return answer;
}

LibraryOutcome Library::rename() {
  LibraryItem r = current_;
  const int groupId = [&] {
    for (const auto& d : libraryGroupDefinitions())
      if (!d.ending.empty() && d.id != libgroup::Trash && isGroup(r.group, d.id)) return d.id;
    return 0;
  }();
  // Trashed files keep their name until restored: their kind extension is "txt.del".
  if (r.fileName.empty() || groupId == 0) return LibraryOutcome::Nothing;
  const std::string extension = kindExtension(r.fileName);
  const auto answer = askNewName("Umbenennen", r.nameHead, extension);
  if (!answer) return LibraryOutcome::Nothing;
  if (!makeCanonical(r)) return LibraryOutcome::Nothing;
  const std::string renamed = *answer + "." + extension;
  std::error_code ec;
  fs::rename(componentPath(ws_.userFolder(), r.fileName), componentPath(ws_.userFolder(), renamed), ec);
  if (ec) {
    ws_.message("Die Datei konnte nicht umbenannt werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  const bool openSystem = ws_.system().systemFileName == r.fileName;
  if (openSystem) ws_.system().systemFileName = renamed;
  LibraryItem item = makeItem(groupId, renamed, {});
  if (groupId == libgroup::TradingSystems) item.display = systemDisplay(item.nameHead, readTitle(ws_.userFolder(), renamed));
  item.id = r.id;
  LibraryGroup& g = *groupById(groupId);
  std::erase_if(g.items, [&](const LibraryItem& i) { return i.id == r.id; });
  syncCurrent(item);
  insertSorted(g, std::move(item));
  if (boldId_ == r.id) setBold(r.id);
  return LibraryOutcome::Changed;
}

std::string Library::saveAsProposal() const {
  // The name of the pressed item is offered, as renaming does, although the open system is
  // the one saved: the trader names the copy starting from what was clicked.
  if (!current_.nameHead.empty()) return current_.nameHead;
  const std::string& open = ws_.system().systemFileName;
  return endsWith(open, kSystemExtension) ? open.substr(0, open.size() - kSystemExtension.size())
                                          : fileNameHead(open);
}

LibraryOutcome Library::saveAs() {
  TradingSystem& system = ws_.system();
  if (system.systemFileName.empty()) {
    ws_.message("Zuerst ein System laden");
    return LibraryOutcome::Nothing;
  }
  const std::string oldName = system.systemFileName;
  const auto answer = askNewName("Speichern unter", saveAsProposal(), "hsy.txt");
  if (!answer) return LibraryOutcome::Nothing;
  if (!saveCurrentSystem(ws_, true)) return LibraryOutcome::Nothing;
  const std::string newName = *answer + std::string(kSystemExtension);
  // The copy is a system of its own and must not trade under the original's magic number.
  // Choosing it and writing the file happen under the lock, so no other program takes it.
  MagicNumberLock lock(ws_);
  if (fileThere(componentPath(ws_.userFolder(), newName))) {
    ws_.message("Dieser Dateiname existiert bereits !");
    return LibraryOutcome::Nothing;
  }
  const auto magic = handOutMagicNumber(ws_);
  if (!magic) return LibraryOutcome::Nothing;
  const std::string oldMagic = system.general.magic;
  system.systemFileName = newName;
  system.setParameter("general_magic", *magic);
  if (!saveCurrentSystem(ws_, true)) {
    system.systemFileName = oldName;
    system.setParameter("general_magic", oldMagic);
    return LibraryOutcome::Nothing;
  }
  tellCopyGotMagicNumber(ws_, *magic);
  relistLibrary();
  return LibraryOutcome::SystemOpened;
}

}  // namespace zorvik
