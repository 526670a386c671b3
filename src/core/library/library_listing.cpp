// The library's listing: the group table, reading the folder into sorted groups, the item
// counter and the bold item of the open system.
#include <algorithm>
#include <filesystem>
#include <utility>

#include "analysis/powerswitch.hpp"
#include "library/library.hpp"
#include "library/library_internal.hpp"
#include "model/file_names.hpp"
#include "model/language.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "text/strings.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace fs = std::filesystem;
using namespace detail;

namespace {

constexpr std::string_view kDragTip = "per Drag & Drop ins System ziehen!";

const std::array<LibraryGroupDefinition, 10> kGroups{{
    {libgroup::NewSystem, "Neues Handelssystem", "", ""},
    {libgroup::TradingSystems, "Handelssysteme@3", ".hsy.txt", "durch Anklicken öffnen"},
    {libgroup::SignalGroups, "Signalgruppen@3", ".sgr.txt", kDragTip},
    {libgroup::IndicatorGroups, "Indikatorgruppen@3", ".igr.txt", kDragTip},
    {libgroup::Indicators, "Indikatoren@3", ".ind.txt", kDragTip},
    {libgroup::MoneyManagement, "MM-Einstellungen@3", ".mm.txt", kDragTip},
    {libgroup::Stops, "STOP-Einstellungen@3", ".stp.txt", kDragTip},
    {libgroup::ExpertAdvisors, "Expert Advisors@3", ".ex4", kDragTip},
    {libgroup::Trash, "Ablage@3", ".txt.del", kDragTip},
    {libgroup::Powerswitch, "Powerswitch@3", "", ""},
}};

// The group whose files end like this name (in any letter case, as the Windows folder listing
// matched them); 0 for a file the library does not list.
int groupOfFileName(std::string_view name) {
  if (isExpertSourceName(name)) return libgroup::ExpertAdvisors;
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

}  // namespace

bool isExpertSourceName(std::string_view fileName) {
  constexpr std::string_view kEnding = ".mq4";
  constexpr std::string_view kWorkingCopyPrefix = "_Zorvik";
  // "_Zorvik.mq4" and its run folders are the generator's working copies, not a trader's EA.
  if (fileName.size() <= kEnding.size() || fileName.starts_with(kWorkingCopyPrefix)) return false;
  return iequals(fileName.substr(fileName.size() - kEnding.size()), kEnding);
}

namespace detail {

const LibraryGroupDefinition& groupDefinition(int id) {
  for (const auto& d : kGroups)
    if (d.id == id) return d;
  return kGroups.front();
}

TrashName splitTrashName(std::string_view fileName) {
  const std::string head = fileNameHead(fileName);
  const std::size_t dot = head.rfind('.');
  if (dot == std::string::npos) return {head, {}};
  return {head.substr(0, dot), head.substr(dot + 1)};
}

bool fileThere(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

}  // namespace detail

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

bool Library::hasGroupCaption(std::string_view caption) const {
  return std::any_of(groups_.begin(), groups_.end(), [&](const LibraryGroup& g) { return g.caption == caption; });
}

// Records carry the translated caption of their group; the fixed and trashed entries may carry
// the German name, and the language may have been switched since, so both count.
bool Library::isGroup(std::string_view caption, int groupId) const {
  if (caption.empty()) return false;
  const std::string_view german = groupDefinition(groupId).caption;
  return iequals(caption, ws_.tr(german)) || iequals(caption, withoutTag(german));
}

// ---------------------------------------------------------------------------------------------
// Reading the folder

std::filesystem::path Library::expertSource(const LibraryItem& record) const {
  if (!isGroup(record.group, libgroup::ExpertAdvisors) || record.nameHead.empty()) return {};
  const fs::path source = componentPath(ws_.userFolder(), record.nameHead + ".mq4");
  return fileThere(source) ? source : fs::path();
}

std::string Library::systemDisplay(const std::string& nameHead, const std::string& title) const {
  if (title == nameHead) return nameHead;
  return nameHead + " \"" + title + "\"";
}

LibraryItem Library::makeItem(int groupId, const std::string& fileName, std::string diskName) {
  LibraryItem item;
  item.group = ws_.tr(groupDefinition(groupId).caption);
  item.fileName = fileName;
  item.diskName = std::move(diskName);
  if (groupId == libgroup::Trash) {
    TrashName t = splitTrashName(fileName);
    item.nameHead = t.name;
    item.display = t.name;
    for (const auto& k : kTrashKinds)
      if (iequals(k.kind, t.kind)) item.display = ws_.tr(k.caption) + ":" + t.name;
  } else {
    // The ending is known here; cutting it keeps the dots of a name ("EA 1.5.ex4" -> "EA 1.5").
    const std::string_view ending = groupDefinition(groupId).ending;
    item.nameHead = fileName.size() > ending.size() ? fileName.substr(0, fileName.size() - ending.size())
                                                    : fileNameHead(fileName);
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
    for (const auto& item : group(libgroup::TradingSystems)->items)
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
    // A name that decodes to a control character ("%00") is listed as it stands on disk: the
    // decoded name could not lead back to the file, and a NUL would cut the path.
    std::string decoded = decodeFileName(onDisk);
    if (decodesToControlCharacter(decoded)) decoded = onDisk;
    LibraryItem item = makeItem(groupId, decoded, encodeFileName(decoded) == onDisk ? std::string() : onDisk);
    if (isExpertSourceName(item.fileName)) item.display = item.nameHead + " (" + ws_.tr("nicht kompiliert") + ")";
    if (groupId == libgroup::TradingSystems) {
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
  // An Expert Advisor that was compiled is listed once, by its .ex4; its source only shows
  // beside it when there is nothing compiled (no compiler was found).
  for (std::size_t i = 0; i < kGroups.size(); ++i) {
    if (kGroups[i].id != libgroup::ExpertAdvisors) continue;
    auto& listed = byGroup[i];
    std::vector<std::string> compiled;
    for (const Listed& l : listed)
      if (!isExpertSourceName(l.item.fileName)) compiled.push_back(toUpper(l.item.nameHead));
    std::erase_if(listed, [&compiled](const Listed& l) {
      return isExpertSourceName(l.item.fileName) &&
             std::find(compiled.begin(), compiled.end(), toUpper(l.item.nameHead)) != compiled.end();
    });
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
  if (const std::int32_t n = listingNumber(id); n > 0) ws_.settings.lastSystemId = n;
}

void Library::addSystemItem(std::string_view fileName) {
  LibraryItem item = makeItem(libgroup::TradingSystems, std::string(fileName), {});
  item.display = systemDisplay(item.nameHead, readTitle(ws_.userFolder(), fileName));
  item.id = nextId();
  const std::int32_t id = item.id;
  insertSorted(*groupById(libgroup::TradingSystems), std::move(item));
  setBold(id);
}

bool Library::markOpenSystem(std::string_view name) {
  for (const auto& item : group(libgroup::TradingSystems)->items) {
    if (item.display == name || startsWith(item.display, std::string(name) + " ")) {
      setBold(item.id);
      return true;
    }
  }
  return false;
}

void Library::refreshItem(std::int32_t id) {
  LibraryItem* item = itemById(id);
  if (!item || item->fileName.empty() || !isGroup(item->group, libgroup::TradingSystems)) return;
  const fs::path path = item->diskName.empty() ? componentPath(ws_.userFolder(), item->fileName) : ws_.userFile(item->diskName);
  const auto values = readSystemHeadValues(path);
  if (!values) return;
  item->display = systemDisplay(item->nameHead, values->title);
  syncCurrent(*item);
}

std::int32_t Library::listingNumber(std::int32_t id) const {
  return id >= firstIdOfListing_ ? id - firstIdOfListing_ + 1 : 0;
}

const LibraryItem* Library::lastSystemItem() const {
  const std::int32_t n = ws_.settings.lastSystemId;
  if (n <= 0) return nullptr;
  const std::int32_t id = firstIdOfListing_ + n - 1;
  for (const auto& item : group(libgroup::TradingSystems)->items)
    if (item.id == id) return &item;
  return nullptr;
}

void Library::syncCurrent(const LibraryItem& item) {
  if (current_.id == item.id) current_ = item;
  if (previous_.id == item.id) previous_ = item;
}

}  // namespace zorvik
