#include "app/main_commands.hpp"

#include "model/workspace.hpp"
#include "text/strings.hpp"

namespace zorvik {

void MainCommands::notConnected(std::string_view germanCaption) const {
  ws_.host().status(ws_.tr("Noch nicht angeschlossen: ") + replaceAll(ws_.tr(germanCaption), "&", ""));
}

void MainCommands::newSystem() { notConnected("&Neues Handelssystem@2"); }

void MainCommands::saveSystem() { notConnected("&Handelssystem speichern"); }

void MainCommands::generateExpert() { notConnected("&jetzt erzeugen@2"); }

std::optional<InfoRows> MainCommands::checkSystem(int mode) {
  if (mode != 0) notConnected("&System testen@2");
  return std::nullopt;
}

void MainCommands::askEqualSymbols() { notConnected("&System testen@2"); }

void MainCommands::askEqualTimeFrames() { notConnected("&System testen@2"); }

void MainCommands::checkForUpdate() {}

bool MainCommands::installDownloadedUpdate() { return false; }

}  // namespace zorvik
