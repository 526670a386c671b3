#include "workspace/magic_numbers.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "model/file_names.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "platform/file_lock.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kLastMagic = std::numeric_limits<std::int32_t>::max();

std::int64_t magicValue(std::string_view text) { return static_cast<std::int64_t>(std::floor(leadingNumber(text))); }

// The counter as all programs see it: the settings' counter, raised by the lock file's record
// and by the library's files in the range the counter follows.
std::int64_t sharedCounter(Workspace& ws, std::set<std::int64_t>* used) {
  std::error_code ec;
  for (fs::directory_iterator it(ws.userFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!endsWith(name, kSystemExtension) && !endsWith(name, std::string(kSystemExtension) + ".del")) continue;
    const auto values = readSystemHeadValues(it->path());
    if (!values || values->magic.empty()) continue;
    raiseMagicCounter(ws.settings, values->magic);
    if (used) used->insert(magicValue(values->magic));
  }
  if (used && !ws.system().general.magic.empty()) used->insert(magicValue(ws.system().general.magic));
  std::int64_t counter = ws.settings.magic;
  if (ws.magicRun.lock) counter = std::max(counter, magicValue(ws.magicRun.lock->read()));
  return counter;
}

void tellExhausted(Workspace& ws) {
  ws.message("Es kann keine neue Magicnummer vergeben werden, der Zähler steht bereits bei ", intText(kLastMagic));
}

}  // namespace

MagicNumberLock::MagicNumberLock(Workspace& ws) : ws_(ws) {
  if (ws_.magicRun.lockDepth++ > 0) return;
  if (auto lock = FileLock::acquire(ws_.userFile(kMagicLockFile)))
    ws_.magicRun.lock = std::make_unique<FileLock>(std::move(*lock));
}

MagicNumberLock::~MagicNumberLock() {
  if (--ws_.magicRun.lockDepth == 0) ws_.magicRun.lock.reset();
}

std::optional<std::string> handOutMagicNumber(Workspace& ws) {
  MagicNumberLock lock(ws);
  std::set<std::int64_t> used;
  std::int64_t next = sharedCounter(ws, &used);
  do {
    if (next >= kLastMagic) {
      tellExhausted(ws);
      return std::nullopt;
    }
    ++next;
  } while (used.count(next));
  ws.settings.magic = static_cast<std::int32_t>(next);
  const std::string text = intText(next);
  if (ws.magicRun.lock) ws.magicRun.lock->write(text + "\r\n");
  return text;
}

bool magicNumberAvailable(Workspace& ws) {
  MagicNumberLock lock(ws);
  if (sharedCounter(ws, nullptr) < kLastMagic) return true;
  tellExhausted(ws);
  return false;
}

void tellCopyGotMagicNumber(Workspace& ws, std::string_view magic) {
  ws.message("Die Kopie hat eine eigene Magicnummer erhalten: ", magic);
}

void raiseMagicCounter(Settings& settings, std::string_view magic) {
  const double v = std::floor(leadingNumber(magic));
  if (v >= 100001 && v < 110000 && v > settings.magic) settings.magic = static_cast<std::int32_t>(v);
}

void raiseMagicCounterFromLibrary(Workspace& ws) {
  std::error_code ec;
  for (fs::directory_iterator it(ws.userFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!endsWith(name, kSystemExtension)) continue;
    if (const auto values = readSystemHeadValues(it->path())) raiseMagicCounter(ws.settings, values->magic);
  }
}

}  // namespace zorvik
