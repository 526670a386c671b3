#include "library/library.hpp"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "analysis/powerswitch.hpp"
#include "library/file_names.hpp"
#include "model/component_files.hpp"
#include "model/current_system.hpp"
#include "model/group_roles.hpp"
#include "model/language.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTrashEnding = ".del";
constexpr std::string_view kDragTip = "per Drag & Drop ins System ziehen!";

const std::array<LibraryGroupDefinition, 10> kGroups{{
    {libgroup::NeuesHandelssystem, "Neues Handelssystem", "", ""},
    {libgroup::Handelssysteme, "Handelssysteme@3", ".hsy.txt", "durch Anklicken öffnen"},
    {libgroup::Signalgruppen, "Signalgruppen@3", ".sgr.txt", kDragTip},
    {libgroup::Indikatorgruppen, "Indikatorgruppen@3", ".igr.txt", kDragTip},
    {libgroup::Indikatoren, "Indikatoren@3", ".ind.txt", kDragTip},
    {libgroup::MMEinstellungen, "MM-Einstellungen@3", ".mm.txt", kDragTip},
    {libgroup::STOPEinstellungen, "STOP-Einstellungen@3", ".stp.txt", kDragTip},
    {libgroup::ExpertAdvisors, "Expert Advisors@3", ".ex4", kDragTip},
    {libgroup::Ablage, "Ablage@3", ".txt.del", kDragTip},
    {libgroup::Powerswitch, "Powerswitch@3", "", ""},
}};

const LibraryGroupDefinition& definition(int id) {
  for (const auto& d : kGroups)
    if (d.id == id) return d;
  return kGroups.front();
}

// The group whose files end like this name (in any letter case, as the Windows folder listing
// matched them); 0 for a file the library does not list.
int groupOfFileName(std::string_view name) {
  for (const auto& d : kGroups) {
    if (d.ending.empty() || name.size() <= d.ending.size()) continue;
    if (iequals(name.substr(name.size() - d.ending.size()), d.ending)) return d.id;
  }
  return 0;
}

// The kind part of a trashed file's name ("hsy" of "Trend.hsy.txt.del") with the caption of the
// group it came from.
struct TrashKind {
  std::string_view kind;
  std::string_view caption;
};
constexpr std::array<TrashKind, 7> kTrashKinds{{
    {"hsy", "Handelssysteme@3"},
    {"sgr", "Signalgruppen@3"},
    {"igr", "Indikatorgruppen@3"},
    {"ind", "Indikatoren@3"},
    {"mm", "MM-Einstellungen@3"},
    {"stp", "STOP-Einstellungen@3"},
    {"exp", "Expert Advisors@3"},
}};

// "Trend.hsy.txt.del" -> name "Trend", kind "hsy".
struct TrashName {
  std::string name;
  std::string kind;
};
TrashName splitTrashName(std::string_view fileName) {
  const std::string head = fileNameKopf(fileName);
  const std::size_t dot = head.rfind('.');
  if (dot == std::string::npos) return {head, {}};
  return {head.substr(0, dot), head.substr(dot + 1)};
}

bool fileThere(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

}  // namespace

const std::array<LibraryGroupDefinition, 10>& libraryGroupDefinitions() { return kGroups; }

std::string kindExtension(std::string_view fileName) {
  if (fileName.size() >= 4 && iequals(fileName.substr(fileName.size() - 4), ".ex4")) return "ex4";
  const std::size_t last = fileName.rfind('.');
  if (last == std::string_view::npos) return {};
  const std::size_t before = last == 0 ? std::string_view::npos : fileName.rfind('.', last - 1);
  return std::string(fileName.substr((before == std::string_view::npos ? last : before) + 1));
}

Library::Library(Workspace& ws) : ws_(ws) {}

std::int32_t Library::nextId() { return ++counter_; }

const LibraryGroup* Library::group(int id) const {
  for (const auto& g : groups_)
    if (g.id == id) return &g;
  return nullptr;
}

LibraryGroup* Library::groupById(int id) { return const_cast<LibraryGroup*>(std::as_const(*this).group(id)); }

const LibraryItem* Library::findItem(std::int32_t id) const {
  if (id <= 0) return nullptr;
  for (const auto& g : groups_)
    for (const auto& item : g.items)
      if (item.id == id) return &item;
  return nullptr;
}

LibraryItem* Library::itemById(std::int32_t id) { return const_cast<LibraryItem*>(std::as_const(*this).findItem(id)); }

const LibraryGroup* Library::groupOfItem(std::int32_t id) const {
  for (const auto& g : groups_)
    for (const auto& item : g.items)
      if (item.id == id) return &g;
  return nullptr;
}

bool Library::noGroupHeader(std::string_view caption) const {
  return std::none_of(groups_.begin(), groups_.end(), [&](const LibraryGroup& g) { return g.caption == caption; });
}

// Records carry the translated caption of their group; the fixed and trashed entries may carry
// the German name, and the language may have been switched since, so both count.
bool Library::isGroup(std::string_view caption, int groupId) const {
  if (caption.empty()) return false;
  const std::string_view german = definition(groupId).caption;
  return iequals(caption, ws_.tr(german)) || iequals(caption, withoutTag(german));
}

// ---------------------------------------------------------------------------------------------
// Listing

std::string Library::systemDisplay(const std::string& nameHead, const std::string& title) const {
  if (title == nameHead) return nameHead;
  return nameHead + " \"" + title + "\"";
}

LibraryItem Library::makeItem(int groupId, const std::string& fileName, std::string diskName) {
  LibraryItem item;
  item.group = ws_.tr(definition(groupId).caption);
  item.fileName = fileName;
  item.diskName = std::move(diskName);
  if (groupId == libgroup::Ablage) {
    TrashName t = splitTrashName(fileName);
    item.nameHead = t.name;
    item.display = t.name;
    for (const auto& k : kTrashKinds)
      if (iequals(k.kind, t.kind)) item.display = ws_.tr(k.caption) + ":" + t.name;
  } else {
    // The ending is known here; cutting it keeps the dots of a name ("EA 1.5.ex4" -> "EA 1.5").
    const std::string_view ending = definition(groupId).ending;
    item.nameHead = fileName.size() > ending.size() ? fileName.substr(0, fileName.size() - ending.size())
                                                    : fileNameKopf(fileName);
    item.display = item.nameHead;
  }
  return item;
}

void Library::relistLibrary() {
  groups_.clear();
  for (const auto& d : kGroups)
    groups_.push_back(LibraryGroup{d.id, ws_.tr(d.caption), d.toolTip.empty() ? std::string() : ws_.tr(d.toolTip), {}});
  listFolder();
  firstIdOfListing_ = counter_ + 1;
  for (auto& g : groups_)
    for (auto& item : g.items) item.id = nextId();
  LibraryGroup& power = *groupById(libgroup::Powerswitch);
  for (std::string_view caption : kPowerswitchCaptions) {
    LibraryItem item;
    item.group = "Powerswitch";
    item.display = ws_.tr(caption);
    item.id = nextId();
    power.items.push_back(std::move(item));
  }
  boldId_ = 0;
  const std::string& open = ws_.system().systemFileName;
  if (!open.empty()) {
    for (const auto& item : group(libgroup::Handelssysteme)->items)
      if (item.fileName == open) setBold(item.id);
  }
}

void Library::listFolder() {
  struct Listed {
    std::string key;  // upper-cased display: the order within a group
    LibraryItem item;
  };
  std::array<std::vector<Listed>, 10> byGroup;
  std::error_code ec;
  for (fs::directory_iterator it(ws_.userFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string onDisk = it->path().filename().string();
    const int groupId = groupOfFileName(onDisk);
    if (groupId == 0) continue;
    const std::string decoded = decodeFileName(onDisk);
    LibraryItem item = makeItem(groupId, decoded, encodeFileName(decoded) == onDisk ? std::string() : onDisk);
    if (groupId == libgroup::Handelssysteme) {
      // A file that cannot be read is left out; the listing goes on with the next one.
      const auto values = readSystemHeadValues(it->path());
      if (!values) continue;
      raiseMagicCounter(ws_.settings, values->magic);
      item.display = systemDisplay(item.nameHead, values->title);
    }
    const auto index = static_cast<std::size_t>(
        std::find_if(kGroups.begin(), kGroups.end(), [&](const auto& d) { return d.id == groupId; }) - kGroups.begin());
    std::string key = toUpper(item.display);
    byGroup[index].push_back(Listed{std::move(key), std::move(item)});
  }
  for (std::size_t i = 0; i < kGroups.size(); ++i) {
    auto& listed = byGroup[i];
    // Case-insensitive order is what a trader looks for; the folder's own order is arbitrary.
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
      if (a.key != b.key) return a.key < b.key;
      return a.item.fileName < b.item.fileName;
    });
    auto& items = groupById(kGroups[i].id)->items;
    items.reserve(listed.size());
    for (auto& l : listed) items.push_back(std::move(l.item));
  }
}

void Library::insertSorted(LibraryGroup& g, LibraryItem item) {
  const std::string key = toUpper(item.display);
  auto pos = std::find_if(g.items.begin(), g.items.end(), [&](const LibraryItem& other) {
    const std::string otherKey = toUpper(other.display);
    return otherKey != key ? key < otherKey : item.fileName < other.fileName;
  });
  g.items.insert(pos, std::move(item));
}

// ---------------------------------------------------------------------------------------------
// Bold item, refresh, numbers

void Library::setBold(std::int32_t id) {
  boldId_ = id;
  if (const std::int32_t n = listingNumber(id); n > 0) ws_.settings.lastHsId = n;
}

void Library::addSystemItem(std::string_view fileName) {
  LibraryItem item = makeItem(libgroup::Handelssysteme, std::string(fileName), {});
  item.display = systemDisplay(item.nameHead, readTitle(ws_, fileName));
  item.id = nextId();
  const std::int32_t id = item.id;
  insertSorted(*groupById(libgroup::Handelssysteme), std::move(item));
  setBold(id);
}

bool Library::markOpenSystem(std::string_view name) {
  for (const auto& item : group(libgroup::Handelssysteme)->items) {
    if (item.display == name || startsWith(item.display, std::string(name) + " ")) {
      setBold(item.id);
      return true;
    }
  }
  return false;
}

void Library::refreshItem(std::int32_t id) {
  LibraryItem* item = itemById(id);
  if (!item || item->fileName.empty() || !isGroup(item->group, libgroup::Handelssysteme)) return;
  const fs::path path = item->diskName.empty() ? componentPath(ws_, item->fileName) : ws_.userFile(item->diskName);
  const auto values = readSystemHeadValues(path);
  if (!values) return;
  item->display = systemDisplay(item->nameHead, values->title);
  syncCurrent(*item);
}

std::int32_t Library::listingNumber(std::int32_t id) const {
  return id >= firstIdOfListing_ ? id - firstIdOfListing_ + 1 : 0;
}

const LibraryItem* Library::lastSystemItem() const {
  const std::int32_t n = ws_.settings.lastHsId;
  if (n <= 0) return nullptr;
  const std::int32_t id = firstIdOfListing_ + n - 1;
  for (const auto& item : group(libgroup::Handelssysteme)->items)
    if (item.id == id) return &item;
  return nullptr;
}

void Library::syncCurrent(const LibraryItem& item) {
  if (current_.id == item.id) current_ = item;
  if (previous_.id == item.id) previous_ = item;
}

// A file listed under a name that escaping would not give back ("EUR+USD.hsy.txt", written by
// another program) is renamed to the escaped form of the name shown; without this, opening it
// would open a new, empty system of the shown name instead.
bool Library::makeCanonical(LibraryItem& record) {
  if (record.diskName.empty()) return true;
  const fs::path target = componentPath(ws_, record.fileName);
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

// ---------------------------------------------------------------------------------------------
// Mouse

void Library::press(const LibraryItem& record) {
  previous_ = current_;
  current_ = record;
}

LibraryOutcome Library::click(const LibraryItem& record, int selectedTab) {
  if (isGroup(record.group, libgroup::Handelssysteme) && !record.fileName.empty()) {
    LibraryItem r = record;
    if (!makeCanonical(r)) return LibraryOutcome::Nothing;
    const std::int32_t formerBold = boldId_;
    if (!openSystem(ws_, r.fileName)) return LibraryOutcome::Nothing;
    // The system left behind was saved; its title may have changed while it was open.
    if (formerBold != 0 && formerBold != r.id) refreshItem(formerBold);
    setBold(r.id);
    ws_.host().playSound(Sound::Open);
    return LibraryOutcome::SystemOpened;
  }
  if (isGroup(record.group, libgroup::Powerswitch)) {
    return runPowerswitchEntry(ws_, record.display, selectedTab) == PowerswitchOutcome::Copied
               ? LibraryOutcome::PageChanged
               : LibraryOutcome::Nothing;
  }
  return LibraryOutcome::Nothing;
}

std::string Library::emptyGroupMessage(int groupId) const {
  const LibraryGroup* g = group(groupId);
  if (!g || !g->items.empty() || groupId == libgroup::NeuesHandelssystem) return {};
  std::string text = groupId == libgroup::Ablage ? std::string("Es sind noch keine Ablagen in der Toolbox vorhanden")
                                                 : "Es sind noch keine " + g->caption + " in der Toolbox vorhanden";
  return text + "\r\nDie Toolbox wird gefüllt, indem man im Handelssystem auf\r\n" +
         "den ->Toolbox Button klickt und eine Auswahl trifft ...";
}

bool Library::mayDrag(const LibraryItem& record) const {
  if (ws_.system().systemFileName.empty()) {
    ws_.message("Bitte zuerst ein Handelssystem öffnen");
    return false;
  }
  if (record.fileName.empty()) return false;
  return !isGroup(record.group, libgroup::Handelssysteme) && !isGroup(record.group, libgroup::Powerswitch) &&
         !isGroup(record.group, libgroup::ExpertAdvisors);
}

LibraryOutcome Library::drop(const LibraryItem& record, int selectedTab) {
  ws_.host().playSound(Sound::Drop);
  if (ws_.system().systemFileName.empty()) {
    ws_.message("Bitte zuerst ein Handelssystem öffnen");
    return LibraryOutcome::Nothing;
  }
  const bool signalTab = groupRoleOf(selectedTab).has_value();
  std::string_view code;
  if (isGroup(record.group, libgroup::Handelssysteme)) {
    ws_.message("Bitte System durch Anklicken öffnen statt Drag&Drop !");
    return LibraryOutcome::Nothing;
  } else if (isGroup(record.group, libgroup::Signalgruppen) || isGroup(record.group, libgroup::Indikatorgruppen) ||
             isGroup(record.group, libgroup::Indikatoren)) {
    if (!signalTab) {
      ws_.message("Es kann nur auf L / XL / S / XS gedroppt werden !");
      return LibraryOutcome::Nothing;
    }
    code = isGroup(record.group, libgroup::Signalgruppen) ? "SGR"
           : isGroup(record.group, libgroup::Indikatorgruppen) ? "IGR"
                                                               : "IND";
  } else if (isGroup(record.group, libgroup::MMEinstellungen)) {
    code = "MM";
  } else if (isGroup(record.group, libgroup::STOPEinstellungen)) {
    if (selectedTab != 2 && selectedTab != 4) {
      ws_.message("Es kann nur auf XL oder XS gedroppt werden !");
      return LibraryOutcome::Nothing;
    }
    code = "STOP";
  } else if (isGroup(record.group, libgroup::Ablage)) {
    ws_.message("Das Bauteil muß zuerst wiederhergestellt werden !");
    return LibraryOutcome::Nothing;
  } else {
    return LibraryOutcome::Nothing;
  }
  if (record.fileName.empty()) return LibraryOutcome::Nothing;
  LibraryItem r = record;
  if (!makeCanonical(r)) return LibraryOutcome::Nothing;
  return readComponent(ws_, ws_.system(), componentPath(ws_, r.fileName), code, selectedTab) ? LibraryOutcome::PageChanged
                                                                                         : LibraryOutcome::Nothing;
}

// ---------------------------------------------------------------------------------------------
// Context-menu commands

LibraryOutcome Library::moveToTrash() {
  LibraryItem r = current_;
  // Only the six text kinds have a place in the trash: a trashed Expert Advisor would vanish
  // from every group.
  if (r.fileName.empty() || r.group.empty() || isGroup(r.group, libgroup::Powerswitch) ||
      isGroup(r.group, libgroup::Ablage) || isGroup(r.group, libgroup::ExpertAdvisors) ||
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
  if (fileThere(componentPath(ws_, trashed))) {
    ws_.message("Dieses Bauteil liegt bereits in der Ablage: ", r.display);
    return LibraryOutcome::Nothing;
  }
  std::error_code ec;
  fs::rename(componentPath(ws_, r.fileName), componentPath(ws_, trashed), ec);
  if (ec) {
    ws_.message("Die Datei konnte nicht umbenannt werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  if (openSystem) {
    ws_.system().systemFileName.clear();
    ws_.settings.lastHsId = 0;
  }
  LibraryGroup* trash = groupById(libgroup::Ablage);
  if (!trash) {
    ws_.message("Die Ablage fehlt!");
    return openSystem ? LibraryOutcome::SystemClosed : LibraryOutcome::Nothing;
  }
  LibraryItem moved = makeItem(libgroup::Ablage, trashed, {});
  moved.id = nextId();
  for (auto& g : groups_) std::erase_if(g.items, [&](const LibraryItem& i) { return i.id == r.id; });
  if (boldId_ == r.id) boldId_ = 0;
  current_ = moved;
  insertSorted(*trash, std::move(moved));
  return openSystem ? LibraryOutcome::SystemClosed : LibraryOutcome::Changed;
}

LibraryOutcome Library::restore() {
  const LibraryItem& r = current_;
  if (!isGroup(r.group, libgroup::Ablage) || !endsWith(r.fileName, kTrashEnding)) return LibraryOutcome::Nothing;
  const std::string restored = r.fileName.substr(0, r.fileName.size() - kTrashEnding.size());
  // A file of that name made since would be overwritten, and it is the newer one.
  if (fileThere(componentPath(ws_, restored))) {
    ws_.message("Dieser Dateiname existiert bereits !");
    return LibraryOutcome::Nothing;
  }
  const fs::path from = r.diskName.empty() ? componentPath(ws_, r.fileName) : ws_.userFile(r.diskName);
  std::error_code ec;
  fs::rename(from, componentPath(ws_, restored), ec);
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
  const bool system = isGroup(r.group, libgroup::Handelssysteme) ||
                      (isGroup(r.group, libgroup::Ablage) && iequals(splitTrashName(r.fileName).kind, "hsy"));
  const std::string question = ws_.tr(system ? "Wollen Sie wirklich das Handelssystem" : "Wollen Sie wirklich das Bauteil") +
                               " " + r.nameHead + " " + ws_.tr("löschen ?");
  if (!ws_.host().askYesNo(question)) return LibraryOutcome::Nothing;
  const fs::path path = r.diskName.empty() ? componentPath(ws_, r.fileName) : ws_.userFile(r.diskName);
  std::error_code ec;
  if (fileThere(path) && !fs::remove(path, ec)) {
    ws_.message("Die Datei konnte nicht gelöscht werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  for (auto& g : groups_) std::erase_if(g.items, [&](const LibraryItem& i) { return i.id == r.id; });
  if (boldId_ == r.id) boldId_ = 0;
  if (ws_.system().systemFileName == r.fileName) {
    ws_.system().systemFileName.clear();
    ws_.settings.lastHsId = 0;
    return LibraryOutcome::SystemClosed;
  }
  return LibraryOutcome::Changed;
}

std::optional<std::string> Library::askNewName(std::string_view prompt, const std::string& oldHead,
                                               std::string_view extension) {
  const auto answer = ws_.host().inputBox(ws_.tr(prompt), "-", oldHead);
  if (!answer || answer->empty()) return std::nullopt;
  if (fileThere(componentPath(ws_, *answer + "." + std::string(extension)))) {
    ws_.message(*answer != oldHead ? "Dieser Dateiname existiert bereits !" : "Der Name bleibt gleich...");
    return std::nullopt;
  }
  return answer;
}

LibraryOutcome Library::rename() {
  LibraryItem r = current_;
  const int groupId = [&] {
    for (const auto& d : kGroups)
      if (!d.ending.empty() && d.id != libgroup::Ablage && isGroup(r.group, d.id)) return d.id;
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
  fs::rename(componentPath(ws_, r.fileName), componentPath(ws_, renamed), ec);
  if (ec) {
    ws_.message("Die Datei konnte nicht umbenannt werden: ", r.fileName);
    return LibraryOutcome::Nothing;
  }
  const bool openSystem = ws_.system().systemFileName == r.fileName;
  if (openSystem) ws_.system().systemFileName = renamed;
  LibraryItem item = makeItem(groupId, renamed, {});
  if (groupId == libgroup::Handelssysteme) item.display = systemDisplay(item.nameHead, readTitle(ws_, renamed));
  item.id = r.id;
  LibraryGroup& g = *groupById(groupId);
  std::erase_if(g.items, [&](const LibraryItem& i) { return i.id == r.id; });
  syncCurrent(item);
  insertSorted(g, std::move(item));
  if (boldId_ == r.id) setBold(r.id);
  return LibraryOutcome::Changed;
}

LibraryOutcome Library::saveAs() {
  TradingSystem& hs = ws_.system();
  if (hs.systemFileName.empty()) {
    ws_.message("Zuerst ein System laden");
    return LibraryOutcome::Nothing;
  }
  const std::string oldName = hs.systemFileName;
  const std::string oldHead = endsWith(oldName, kSystemExtension)
                                  ? oldName.substr(0, oldName.size() - kSystemExtension.size())
                                  : fileNameKopf(oldName);
  const auto answer = askNewName("Speichern unter", oldHead, "hsy.txt");
  if (!answer) return LibraryOutcome::Nothing;
  if (!saveCurrentSystem(ws_, true)) return LibraryOutcome::Nothing;
  hs.systemFileName = *answer + std::string(kSystemExtension);
  if (!saveCurrentSystem(ws_, true)) {
    hs.systemFileName = oldName;
    return LibraryOutcome::Nothing;
  }
  relistLibrary();
  return LibraryOutcome::SystemOpened;
}

}  // namespace zorvik
