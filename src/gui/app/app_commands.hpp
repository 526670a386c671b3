#pragma once
// The window program's commands, connected to the work the core does: creating and saving the
// open system, the consistency check, the uniform symbol and timeframe dialogs, generating,
// compiling and installing the Expert Advisor, and the update check with its updater.
#include <filesystem>
#include <functional>
#include <memory>

#include "app/main_commands.hpp"

class QWidget;

namespace zorvik {

class Host;
class UpdateService;
class Workspace;

class AppCommands : public MainCommands {
 public:
  // The dialog parent owns the progress window of the update download.
  AppCommands(Workspace& ws, Host& host, QWidget* dialogParent);
  ~AppCommands() override;

  // Runs after the open system was written by the save command (its title may have changed).
  std::function<void()> systemSaved;
  // Opens a folder in the desktop's file manager (the folder of a kept source).
  std::function<void(const std::filesystem::path&)> openFolder;

  void newSystem() override;
  bool saveSystem() override;
  void generateExpert() override;
  std::optional<InfoRows> checkSystem(int mode) override;
  void askEqualSymbols() override;
  void askEqualTimeFrames() override;
  void checkForUpdate() override;
  void checkForUpdateAsked() override;
  bool installDownloadedUpdate() override;

 private:
  Workspace& ws_;
  Host& host_;
  QWidget* dialogParent_;
  std::unique_ptr<UpdateService> update_;
};

}  // namespace zorvik
