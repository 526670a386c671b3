#pragma once
// The update check of the window program: the page is read through the web plug-in, the
// updater downloaded in the download window, and started when the program closes.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "update/http_fetch.hpp"
#include "update/update_check.hpp"

namespace zorvik {

class Host;
class Workspace;

class NetworkUpdateTransport : public UpdateTransport {
 public:
  NetworkUpdateTransport(Workspace& ws, Host& host, QWidget* dialogParent);
  ~NetworkUpdateTransport() override;

  // One request with the busy pointer; at most kUpdatePageLimit bytes, a fresh copy.
  std::string fetchPage(const std::string& address) override;
  // Shows the download window modally for one file.
  DownloadOutcome download(const std::string& address, const std::filesystem::path& target,
                           std::uint64_t sizeLimit) override;
  bool openInBrowser(const std::string& address) override;

  // How long the page may take before the check gives up, in ms.
  void setPageTimeout(int ms) { pageTimeoutMs_ = ms; }

 private:
  Workspace& ws_;
  Host& host_;
  QPointer<QWidget> parent_;
  WebClient web_;
  int pageTimeoutMs_ = 10000;
};

class UpdateService {
 public:
  // `runningVersion`: versionNumber(major, minor, revision) of this program.
  UpdateService(Workspace& ws, Host& host, QWidget* dialogParent, std::int64_t runningVersion);

  // The first activation of the main window: the update check (once per run).
  bool checkForUpdate();
  // The check from the Help menu: runs again and says what it found.
  void checkForUpdateAsked(const std::string& runningVersionText);
  // The shutdown sequence, after the settings are written: starts the updater downloaded in
  // this run, if there is one.
  bool installUpdater();

  const UpdateState& state() const { return state_; }
  NetworkUpdateTransport& transport() { return transport_; }

 private:
  Workspace& ws_;
  NetworkUpdateTransport transport_;
  UpdateState state_;
  std::int64_t runningVersion_;
};

}  // namespace zorvik
