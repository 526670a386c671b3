#include "update/update_check.hpp"

#include <chrono>
#include <system_error>

#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"
#include "update/sha256.hpp"
#include "update/update_page.hpp"
#include "workspace/workspace.hpp"

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

DownloadCheck checkDownloadedFile(const fs::path& file, std::uint64_t size, const std::string& sha256) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return DownloadCheck::Unreadable;
  const std::uintmax_t actual = fs::file_size(file, ec);
  if (ec) return DownloadCheck::Unreadable;
  if (actual != size) return DownloadCheck::SizeDiffers;
  const auto digest = sha256HexOfFile(file);
  if (!digest) return DownloadCheck::Unreadable;
  return *digest == toLower(sha256) ? DownloadCheck::Matches : DownloadCheck::DigestDiffers;
}

bool downloadComplete(const DownloadOutcome& o, std::uint64_t lengthMin) {
  if (o.cancelled || !o.error.empty() || o.bytes == 0) return false;
  if (o.announced && *o.announced != o.bytes) return false;
  return o.bytes >= lengthMin;
}

std::string readLastUpdateInfo(const fs::path& userFolder) {
  auto lines = readTextLines(userFolder / kLastUpdateInfoFile);
  if (!lines || lines->empty()) return {};
  // The first field of the first line.
  const std::string& line = lines->front();
  return unquote(trim(std::string_view(line).substr(0, line.find(','))));
}

bool writeLastUpdateInfo(const fs::path& userFolder, const std::string& versionText) {
  return writeTextLines(userFolder / kLastUpdateInfoFile, {versionText});
}

bool checkForUpdate(Workspace& ws, UpdateTransport& transport, UpdateState& state, std::int64_t runningVersion) {
  if (state.checked) return false;
  state.checked = true;
  // An updater left by an earlier run is never started; the next one is fetched fresh.
  const fs::path updater = ws.root() / kUpdaterFile;
  removeFile(updater);

  const std::string address = trim(ws.settings.updateUrl);
  state.finding = UpdateFinding::NoUpdatePage;
  if (address.empty()) return false;
  const std::string requested = pageAddress(address);
  // The page decides which program runs, so a page anyone on the way could rewrite is not read.
  if (!pageAddressAllowed(requested)) {
    state.finding = UpdateFinding::Refused;
    ws.host().status(ws.tr("Update-Seite abgelehnt (nur https): ") + requested);
    return false;
  }
  const std::string answer = transport.fetchPage(requested);
  state.finding = answer.empty() ? UpdateFinding::NoAnswer : UpdateFinding::PageInvalid;
  const UpdatePage page = parseUpdatePage(answer);
  if (!page.valid) return false;
  state.offeredVersion = page.version;
  state.finding = UpdateFinding::UpToDate;

  const std::int64_t offered = versionNumber(page.version);
  std::int64_t running = runningVersion;
  const fs::path marker = ws.root() / kImmediateUpdateMarker;
  std::error_code ec;
  if (fs::exists(marker, ec)) {
    removeFile(marker);
    running = 0;
  }
  if (offered <= running) return false;
  state.finding = UpdateFinding::Offered;

  // Checked before the user is told the download starts: a link to plain http, to another
  // host than the page's (and not trusted in the settings) or to nothing is refused.
  if (!downloadAddressAllowed(page.link, requested, trustedUpdateHosts(ws.settings.updateHosts))) {
    state.finding = UpdateFinding::Refused;
    ws.host().status(ws.tr("Update-Adresse abgelehnt (nur https auf dem Server der Update-Seite): ") + page.link);
    return false;
  }

  const std::string announcement = ws.tr("Es ist eine neuere Version") + " " + page.version + " " +
                                   ws.tr("von Zorvik verfügbar!") + "\r\n";
  if (!page.hasDigest) {
    // An old page: without a digest nothing ties the file to the page, so it is not fetched
    // here at all; the trader may fetch it in the browser and decide.
    writeLastUpdateInfo(ws.userFolder(), page.version);
    if (ws.host().askYesNo(announcement +
                           ws.tr("Die Update-Seite nennt keine Prüfsumme, daher wird das Update nicht automatisch "
                                 "installiert. Download-Adresse im Browser öffnen?") +
                           "\r\n" + page.link)) {
      transport.openInBrowser(page.link);
    }
    return false;
  }
  const std::optional<ExpectedFile> expected = expectedFileOf(page);
  if (!expected) {
    ws.host().status(ws.tr("Update-Seite fehlerhaft: Prüfsumme (SHA256:) oder Größe (Size:) ungültig"));
    return false;
  }

  const std::string notice = announcement + ws.tr("Diese wird nun automatisch geladen...");
  if (readLastUpdateInfo(ws.userFolder()) != page.version) {
    ws.host().message(notice);
  } else if (!ws.host().askYesNo(notice)) {
    return false;
  }
  writeLastUpdateInfo(ws.userFolder(), page.version);

  const DownloadOutcome outcome = transport.download(page.link, updater, expected->size + kDownloadMargin);
  // Whatever is left of a failed or unverified download is not the updater the page means;
  // it must never be started.
  if (outcome.overLimit) {
    removeFile(updater);
    ws.message("Das Update wurde verworfen: es ist größer, als die Update-Seite angibt. Bytes laut Seite: ",
               std::to_string(expected->size));
    return false;
  }
  if (!downloadComplete(outcome, lengthMinOf(page.lengthMin)) || outcome.bytes != expected->size) {
    removeFile(updater);
    if (!outcome.cancelled) ws.message("Das Update konnte nicht vollständig geladen werden.");
    return false;
  }
  switch (checkDownloadedFile(updater, expected->size, expected->sha256)) {
    case DownloadCheck::Matches:
      break;
    case DownloadCheck::DigestDiffers:
      removeFile(updater);
      ws.message("Das Update wurde verworfen: seine Prüfsumme (SHA-256) stimmt nicht mit der Update-Seite überein.");
      return false;
    case DownloadCheck::SizeDiffers:
    case DownloadCheck::Unreadable:
      removeFile(updater);
      ws.message("Das Update konnte nicht vollständig geladen werden.");
      return false;
  }
  ws.host().message(ws.tr("Das Zorvik-Update") + " " + page.version + " " +
                    ws.tr("wurde soeben geladen und wird beim Beenden von Zorvik installiert!"));
  state.updatePending = true;
  state.pendingBytes = expected->size;
  state.pendingSha256 = expected->sha256;
  return true;
}

void checkForUpdateAsked(Workspace& ws, UpdateTransport& transport, UpdateState& state, std::int64_t runningVersion,
                         const std::string& runningVersionText) {
  if (state.updatePending) {
    ws.message("Das Update ist bereits geladen und wird beim Beenden von Zorvik installiert.");
    return;
  }
  state.checked = false;
  checkForUpdate(ws, transport, state, runningVersion);
  switch (state.finding) {
    case UpdateFinding::NotChecked:
    case UpdateFinding::Offered:
      return;
    case UpdateFinding::NoUpdatePage:
      ws.message("Es ist keine Update-Seite eingestellt (UPDATEURL in Zorvik.ini).");
      return;
    case UpdateFinding::Refused:
      ws.message("Die Update-Seite wurde abgelehnt: nur https auf dem Server der Update-Seite ist erlaubt.");
      return;
    case UpdateFinding::NoAnswer:
      ws.message("Die Update-Seite hat nicht geantwortet. Besteht eine Netzwerkverbindung?");
      return;
    case UpdateFinding::PageInvalid:
      ws.message("Die Update-Seite nennt keine Version; sie ist keine Update-Seite von Zorvik.");
      return;
    case UpdateFinding::UpToDate:
      ws.message("Zorvik ist auf dem neuesten Stand. Version: ", runningVersionText);
      return;
  }
}

bool installUpdater(Workspace& ws, UpdateState& state) {
  if (!state.updatePending) return false;
  const fs::path updater = ws.root() / kUpdaterFile;
  // Only the very file this run checked: it may have been replaced since.
  if (checkDownloadedFile(updater, state.pendingBytes, state.pendingSha256) != DownloadCheck::Matches) return false;
  ws.message("Das Update wird nun installiert!");
  ws.host().processEvents(std::chrono::milliseconds(1000));
  state.updatePending = false;
  return ws.host().startProgram(updater, {}, ws.root());
}

}  // namespace zorvik
