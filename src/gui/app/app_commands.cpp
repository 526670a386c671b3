#include "app/app_commands.hpp"

#include "analysis/consistency_check.hpp"
#include "analysis/uniform_symbols.hpp"
#include "app/missing_compiler.hpp"
#include "app/system_test_report.hpp"
#include "model/trading_system.hpp"
#include "terminal/compile_steps.hpp"
#include "terminal/generate_expert.hpp"
#include "update/update_page.hpp"
#include "update/update_service.hpp"
#include "window/display_modes.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

#include <QDesktopServices>
#include <QUrl>

namespace zorvik {

namespace {
std::int64_t runningVersion() {
  const ProgramVersion v = programVersion();
  return versionNumber(v.major, v.minor, v.revision);
}
}  // namespace

AppCommands::AppCommands(Workspace& ws, Host& host, QWidget* dialogParent)
    : openFolder([this](const std::filesystem::path& folder) {
        // Without a file manager (a bare desktop, a server) nothing would happen at all: the
        // trader is told, with the folder to look in.
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string()))))
          ws_.message("Es konnte kein Dateimanager gestartet werden. Der Ordner ist: ", folder.string());
      }),
      ws_(ws),
      host_(host),
      dialogParent_(dialogParent),
      update_(std::make_unique<UpdateService>(ws, host, dialogParent, runningVersion())) {}

AppCommands::~AppCommands() = default;

void AppCommands::newSystem() {
  // The dialog refuses the characters a system name cannot hold as they are typed.
  if (newSystemFromDialog(ws_)) host_.refreshLibrary();
}

bool AppCommands::saveSystem() {
  if (!saveCurrentSystem(ws_)) return false;
  if (systemSaved) systemSaved();
  return true;
}

void AppCommands::generateExpert() {
  const TradingSystem& system = ws_.system();
  if (!system.systemFileName.empty()) {
    const ExpertFiles files = expertFilesFor(ws_, expertNameOf(system.systemFileName));
    if (!compile::findCompiler(files)) {
      keepSourceWithoutCompiler(ws_, files, !host_.findProgram("wine").empty(), dialogParent_, openFolder);
      return;
    }
  }
  generateExpertOfOpenSystem(ws_);
}

std::optional<InfoRows> AppCommands::checkSystem(int mode) {
  const CheckMode m = mode == 1 ? CheckMode::Messages : mode == 2 ? CheckMode::List : CheckMode::Silent;
  if (m == CheckMode::Messages) {
    // The trader's own test: one report instead of a box per finding.
    const CheckResult r = evaluateSystem(ws_, ws_.system(), true);
    if (!r.drawRows) return std::nullopt;
    SystemTestReport report(ws_, r, dialogParent_);
    report.exec();
    return InfoRows(r.rows.begin(), r.rows.end());
  }
  // The silent run happens ten times a second; it never builds the difference texts.
  const CheckResult r = m == CheckMode::Silent ? evaluateSystem(ws_, ws_.system(), false)
                                               : zorvik::checkSystem(ws_, ws_.system(), m);
  if (!r.drawRows) return std::nullopt;
  return InfoRows(r.rows.begin(), r.rows.end());
}

void AppCommands::askEqualSymbols() { zorvik::askEqualSymbols(ws_); }

void AppCommands::askEqualTimeFrames() { zorvik::askEqualTimeFrames(ws_); }

void AppCommands::checkForUpdate() { update_->checkForUpdate(); }

void AppCommands::checkForUpdateAsked() {
  const ProgramVersion v = programVersion();
  update_->checkForUpdateAsked(std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                               std::to_string(v.revision));
}

bool AppCommands::installDownloadedUpdate() { return update_->installUpdater(); }

}  // namespace zorvik
