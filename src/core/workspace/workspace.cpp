#include "workspace/workspace.hpp"

#include "model/trading_system.hpp"
#include "platform/file_lock.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {

Workspace::Workspace(fs::path workingFolder, Host& host)
    : root_(std::move(workingFolder)),
      res_(root_ / "res"),
      user_(root_ / "user"),
      host_(&host),
      system_(std::make_unique<TradingSystem>()) {}

Workspace::~Workspace() = default;

void Workspace::message(std::string_view german, std::string_view appended) const {
  host_->message(tr(german) + std::string(appended));
}

bool Workspace::ask(std::string_view german, std::string_view appended) const {
  return host_->askYesNo(tr(german) + std::string(appended));
}

void Workspace::loadSettings() {
  if (auto lines = readTextLines(resFile("Zorvik.ini"))) parseSettings(*lines, settings, language, res_);
  if (!definitions.read(resFile("DVDefTable2.dat"))) {
    message("Die Definitionstabelle fehlt oder ist nicht lesbar; es stehen keine Auswahllisten zur Verfügung: ",
            resFile("DVDefTable2.dat").string());
  } else if (!definitions.duplicateReport().empty()) {
    message("Doppelte ID in Tabelle ! ", definitions.duplicateReport());
  }
  knownAccounts = knownAccountsFrom(definitions);
}

bool Workspace::saveSettings() {
  std::string error;
  if (writeTextLines(resFile("Zorvik.ini"), settingsLines(settings, language), &error)) return true;
  message("Die Einstellungen konnten nicht gespeichert werden: ", error);
  return false;
}

void Workspace::startUp() {
  std::error_code ec;
  fs::create_directories(res_, ec);
  fs::create_directories(user_, ec);
  if (!fs::is_directory(user_)) message("Der Ordner konnte nicht angelegt werden: ", user_.string());
  ignoreFileSizeSignal();
  removeTemporaryFilesOnTermination();
  removeStaleTemporaryFiles(user_);
  removeStaleTemporaryFiles(res_);
  loadSettings();
  if (settings.magic < 100) settings.magic = 100000;
  readBrokerSymbols(*this, 1);
  catalogue.readParameterCoding(language, brokerSymbols);
  catalogue.readIndicatorCoding();
  loadHelpTexts();
}

void Workspace::loadHelpTexts() { helpTexts.loadHelpTexts(resFile("CodeHelp.txt")); }

void readBrokerSymbols(Workspace& ws, int broker) {
  ws.brokerRecords = readBrokerSymbolList(ws.resFile(brokerListFile(broker)));
  ws.brokerSymbols = symbolsOf(ws.brokerRecords);
}

void fillBrokerSymbols(Workspace& ws, int broker) {
  readBrokerSymbols(ws, broker);
  ws.catalogue.setSymbols(ws.language, ws.brokerSymbols);
}

}  // namespace zorvik
