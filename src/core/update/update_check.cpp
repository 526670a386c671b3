#include "update/update_check.hpp"

#include <chrono>
#include <system_error>

#include "model/workspace.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"
#include "update/update_page.hpp"

namespace zorvik {
namespace {

void removeFile(const fs::path& file) {
  std::error_code ec;
  fs::remove(file, ec);
}

std::uint64_t lengthMinOf(const std::string& text) {
  const double v = leadingNumber(text);
  return v > 0 && v < 1e15 ? static_cast<std::uint64_t>(v) : 0;
}

}  // namespace

bool downloadComplete(const DownloadOutcome& o, std::uint64_t lengthMin) {
  if (o.cancelled || !o.error.empty() || o.bytes == 0) return false;
  if (o.announced && *o.announced != o.bytes) return false;
  return o.bytes >= lengthMin;
}

std::string readLastUpdateInfo(const Workspace& ws) {
  auto lines = readTextLines(ws.userFile(kLastUpdateInfoFile));
  if (!lines || lines->empty()) return {};
  // The first field of the first line.
  const std::string& line = lines->front();
  return unquote(trim(std::string_view(line).substr(0, line.find(','))));
}

bool writeLastUpdateInfo(const Workspace& ws, const std::string& versionText) {
  return writeTextLines(ws.userFile(kLastUpdateInfoFile), {versionText});
}

bool checkForUpdate(Workspace& ws, UpdateTransport& transport, UpdateState& state, std::int64_t runningVersion) {
  if (state.checked) return false;
  state.checked = true;
  // An updater left by an earlier run is never started; the next one is fetched fresh.
  const fs::path updater = ws.root() / kUpdaterFile;
  removeFile(updater);

  const std::string address = trim(ws.settings.updateUrl);
  if (address.empty()) return false;
  const std::string requested = pageAddress(address);
  const UpdatePage page = parseUpdatePage(transport.fetchPage(requested));
  if (!page.valid) return false;

  const std::int64_t offered = versionNumber(page.version);
  std::int64_t running = runningVersion;
  const fs::path marker = ws.root() / kImmediateUpdateMarker;
  std::error_code ec;
  if (fs::exists(marker, ec)) {
    removeFile(marker);
    running = 0;
  }
  if (offered <= running) return false;

  // Checked before the user is told the download starts: a page that points to a plain http
  // address (or to nothing) would have us run a program anyone on the way could replace.
  if (!downloadAddressAllowed(page.link, requested)) {
    ws.host().status(ws.tr("Update-Adresse abgelehnt (nur https): ") + page.link);
    return false;
  }

  const std::string notice = ws.tr("Es ist eine neuere Version") + " " + page.version + " " +
                             ws.tr("von Zorvik verfügbar!") + "\r\n" + ws.tr("Diese wird nun automatisch geladen...");
  if (readLastUpdateInfo(ws) != page.version) {
    ws.host().message(notice);
  } else if (!ws.host().askYesNo(notice)) {
    return false;
  }
  writeLastUpdateInfo(ws, page.version);

  const DownloadOutcome outcome = transport.download(page.link, updater);
  if (!downloadComplete(outcome, lengthMinOf(page.lengthMin))) {
    // Whatever is left is not the updater we meant to fetch; it must never be started.
    removeFile(updater);
    if (!outcome.cancelled) ws.message("Das Update konnte nicht vollständig geladen werden.");
    return false;
  }
  ws.host().message(ws.tr("Das Zorvik-Update") + " " + page.version + " " +
                    ws.tr("wurde soeben geladen und wird beim Beenden von Zorvik installiert!"));
  state.updatePending = true;
  state.pendingBytes = outcome.bytes;
  return true;
}

bool installUpdater(Workspace& ws, UpdateState& state) {
  if (!state.updatePending) return false;
  const fs::path updater = ws.root() / kUpdaterFile;
  std::error_code ec;
  // Only the very file this run wrote: present, and of the size it had when it was complete.
  if (!fs::is_regular_file(updater, ec) || fs::file_size(updater, ec) != state.pendingBytes || ec) return false;
  ws.message("Das Update wird nun installiert!");
  ws.host().processEvents(std::chrono::milliseconds(1000));
  state.updatePending = false;
  return ws.host().startProgram(updater, {}, ws.root());
}

}  // namespace zorvik
