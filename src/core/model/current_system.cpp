#include "model/current_system.hpp"

#include <cmath>
#include <fstream>

#include "library/file_names.hpp"
#include "model/component_files.hpp"
#include "model/system_parameters.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace fs = std::filesystem;

namespace {

std::size_t characterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

bool fileExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// The first 1000 characters of a file as UTF-8, and the same upper-cased; nullopt when the
// file cannot be opened.
struct FileHead {
  std::string text;
  std::string upper;  // same byte length as text
};

std::optional<FileHead> readFileHead(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  char buf[1000];
  in.read(buf, sizeof buf);
  FileHead head;
  head.text = cp1252ToUtf8(std::string_view(buf, static_cast<std::size_t>(in.gcount())));
  head.upper = toUpper(head.text);
  return head;
}

// The value of "key=" in a file head, without its quotes. The key must start a line: a
// comment mentioning "magic=" is not the magic number.
std::string headValue(const FileHead& head, std::string_view key) {
  const std::string wanted = toUpper(key) + "=";
  std::size_t pos = 0;
  while ((pos = head.upper.find(wanted, pos)) != std::string::npos) {
    if (pos == 0 || head.upper[pos - 1] == '\n' || head.upper[pos - 1] == '\r') break;
    ++pos;
  }
  if (pos == std::string::npos) return {};
  const std::size_t start = pos + wanted.size();
  const std::size_t end = head.text.find_first_of("\r\n", start);
  std::string value = head.text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  if (!value.empty() && value.front() == '"') value.erase(0, 1);
  if (!value.empty() && value.back() == '"') value.pop_back();
  return value;
}

std::string quickValue(const fs::path& file, std::string_view key) {
  const auto head = readFileHead(file);
  return head ? headValue(*head, key) : std::string();
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
  const TradingSystem& hs = ws.system();
  if (hs.systemFileName.empty()) return true;
  std::string error;
  if (!writeSystemFile(hs, componentPath(ws, hs.systemFileName), &error)) {
    ws.message("Das Handelssystem konnte nicht gespeichert werden: ", error);
    return false;
  }
  if (announce) ws.host().playSound(Sound::Save);
  return true;
}

bool openSystem(Workspace& ws, std::string_view fileName) {
  const std::string statusText = ws.tr("Lade Handelssystem");
  ws.host().status(statusText);
  TradingSystem& hs = ws.system();
  if (!saveOrDiscardCurrentSystem(ws)) return false;

  // Read the file before touching the model: a file that is there but cannot be read must
  // not be replaced by a default system at the next save.
  const fs::path file = componentPath(ws, fileName);
  std::optional<std::string> bytes;
  if (fileExists(file)) {
    bytes = readFileBytes(file);
    if (!bytes) {
      ws.message("Die Datei konnte nicht gelesen werden: ", std::string(fileName));
      return false;
    }
  }

  hs.systemFileName = std::string(fileName);
  hs.resetAll(systemDefaults(ws));
  if (bytes) {
    readComponentText(ws, hs, *bytes, "", 0);
    if (hs.general.title.empty()) storeSystemParameter(ws, hs, "general_bezeichnung", titleOfFileName(fileName));
    if (needsFreshMagic(hs.general.magic)) {
      storeSystemParameter(ws, hs, "general_magic", nextRunningNumber(ws.settings));
      if (ws.magicNoteCount < 4) {
        showMagicNote(ws);
        if (ws.magicNoteCount == 3) ws.message("Dieser Hinweis erscheint heute nicht mehr ...");
      }
      ++ws.magicNoteCount;
    }
  } else {
    applySystemDefaults(ws, hs);
  }
  hs.changed = false;
  hs.changedKeys.clear();
  ws.host().status(statusText + " ok");
  ws.systemOpened();
  return true;
}

std::string firstFreeSystemName(const Workspace& ws) {
  for (long long n = 1;; ++n) {
    std::string name = "Hsys" + std::to_string(n) + std::string(kSystemExtension);
    if (!fileExists(ws.userFile(name))) return name;
  }
}

std::optional<std::string> createSystem(Workspace& ws, std::string_view name) {
  if (name.empty()) return std::nullopt;
  std::string fileName = std::string(name) + std::string(kSystemExtension);
  if (fileExists(componentPath(ws, fileName))) {
    ws.message("Dieser Name wird bereits verwendet.Bitte einen neuen wählen oder abbrechen...");
    return std::nullopt;
  }
  if (!saveOrDiscardCurrentSystem(ws)) return std::nullopt;
  const std::string previous = ws.system().systemFileName;
  if (!openSystem(ws, fileName)) return std::nullopt;
  ws.host().playSound(Sound::NewSystem);
  const bool saved = saveCurrentSystem(ws);
  ws.host().refreshLibrary();
  if (!saved) {
    reopenAfterFailedCreate(ws, previous);
    return std::nullopt;
  }
  return fileName;
}

bool saveOrDiscardCurrentSystem(Workspace& ws) {
  if (saveCurrentSystem(ws)) return true;
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
template <typename Ask>
std::optional<std::string> newSystemAsking(Workspace& ws, Ask ask) {
  if (!saveOrDiscardCurrentSystem(ws)) return std::nullopt;
  while (true) {
    const std::string name = ask();
    if (name.empty()) return std::nullopt;
    if (!fileExists(componentPath(ws, name + std::string(kSystemExtension)))) return createSystem(ws, name);
    ws.message("Dieser Name wird bereits verwendet.Bitte einen neuen wählen oder abbrechen...");
  }
}

}  // namespace

std::optional<std::string> newSystemFromDialog(Workspace& ws) {
  return newSystemAsking(ws, [&ws] { return ws.host().chooseSystemName(ws.tr("Name Handelssystem")); });
}

std::optional<std::string> newSystemFromCommand(Workspace& ws) {
  return newSystemAsking(ws, [&ws] {
    const std::string offered = titleOfFileName(firstFreeSystemName(ws));
    return ws.host()
        .inputBox(ws.tr("Name des neuen Handelssystems:"), ws.tr("Name Handelssystem"), offered)
        .value_or(std::string());
  });
}

std::string readTitle(const Workspace& ws, std::string_view fileName) {
  return quickValue(componentPath(ws, fileName), "bezeichnung");
}

std::string readMagic(const Workspace& ws, std::string_view fileName) {
  return quickValue(componentPath(ws, fileName), "magic");
}

std::optional<SystemHeadValues> readSystemHeadValues(const std::filesystem::path& file) {
  const auto head = readFileHead(file);
  if (!head) return std::nullopt;
  return SystemHeadValues{headValue(*head, "bezeichnung"), headValue(*head, "magic")};
}

void raiseMagicCounter(Settings& settings, std::string_view magic) {
  const double v = std::floor(leadingNumber(magic));
  if (v >= 100001 && v < 110000 && v > settings.magic) settings.magic = static_cast<std::int32_t>(v);
}

void raiseMagicCounterFromLibrary(Workspace& ws) {
  std::error_code ec;
  for (fs::directory_iterator it(ws.userFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (endsWith(name, kSystemExtension)) raiseMagicCounter(ws.settings, quickValue(it->path(), "magic"));
  }
}

}  // namespace zorvik
