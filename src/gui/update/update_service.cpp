#include "update/update_service.hpp"

#include <QApplication>
#include <QDesktopServices>

#include "update/download_dialog.hpp"
#include "update/http_fetch.hpp"
#include "update/update_page.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

NetworkUpdateTransport::NetworkUpdateTransport(Workspace& ws, Host& host, QWidget* dialogParent)
    : ws_(ws), host_(host), parent_(dialogParent) {}

NetworkUpdateTransport::~NetworkUpdateTransport() = default;

std::string NetworkUpdateTransport::fetchPage(const std::string& address) {
  // Strict: an address Qt would have to repair is not the one the core checked.
  const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  if (!url.isValid()) return {};
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const FetchedPage page =
      web_.fetchPage(url, static_cast<qint64>(kUpdatePageLimit), QByteArrayLiteral("FTP Demo"), pageTimeoutMs_);
  QApplication::restoreOverrideCursor();
  return page.body.toStdString();
}

DownloadOutcome NetworkUpdateTransport::download(const std::string& address, const std::filesystem::path& target,
                                                 std::uint64_t sizeLimit) {
  DownloadDialog window(ws_, host_, parent_);
  window.setDownloads({{QString::fromStdString(address), QString::fromStdString(target.string()),
                        static_cast<qint64>(std::min<std::uint64_t>(sizeLimit, INT64_MAX))}});
  window.exec();
  if (window.outcomes().isEmpty()) {
    DownloadOutcome none;
    none.cancelled = window.cancelled();
    none.error = "no download";
    return none;
  }
  return window.outcomes().front();
}

bool NetworkUpdateTransport::openInBrowser(const std::string& address) {
  const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  return url.isValid() && QDesktopServices::openUrl(url);
}

UpdateService::UpdateService(Workspace& ws, Host& host, QWidget* dialogParent, std::int64_t runningVersion)
    : ws_(ws), transport_(ws, host, dialogParent), runningVersion_(runningVersion) {}

bool UpdateService::checkForUpdate() { return zorvik::checkForUpdate(ws_, transport_, state_, runningVersion_); }

void UpdateService::checkForUpdateAsked(const std::string& runningVersionText) {
  zorvik::checkForUpdateAsked(ws_, transport_, state_, runningVersion_, runningVersionText);
}

bool UpdateService::installUpdater() { return zorvik::installUpdater(ws_, state_); }

}  // namespace zorvik
