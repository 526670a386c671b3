#pragma once
// The program-wide state: working folder, settings, language, definition table, catalogue and
// the lists the whole program reads. main() creates one and passes it by reference; tests
// create as many as they like, each on its own folder.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "brokers/broker_symbols.hpp"
#include "brokers/known_accounts.hpp"
#include "help/help_texts.hpp"
#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "model/language.hpp"
#include "model/settings.hpp"
#include "platform/host.hpp"
#include "workspace/magic_number_run.hpp"

namespace zorvik {

namespace fs = std::filesystem;

class TradingSystem;

class Workspace {
 public:
  Workspace(fs::path workingFolder, Host& host);
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // The one current trading system, created with the workspace and refilled on every open.
  TradingSystem& system() { return *system_; }
  const TradingSystem& system() const { return *system_; }
  // Views that show the current system register here; they are told after every open (the
  // model is refilled in place, so whatever they built from the old content is stale).
  void addSystemOpenedListener(std::function<void()> listener) { systemOpenedListeners_.push_back(std::move(listener)); }
  void systemOpened() const {
    for (const auto& l : systemOpenedListeners_) l();
  }

  const fs::path& root() const { return root_; }
  const fs::path& resFolder() const { return res_; }
  const fs::path& userFolder() const { return user_; }
  fs::path resFile(std::string_view name) const { return res_ / fs::path(std::string(name)); }
  fs::path userFile(std::string_view name) const { return user_ / fs::path(std::string(name)); }

  Host& host() const { return *host_; }

  // Translates a German text for display.
  std::string tr(std::string_view german) const { return language.translate(german); }
  // Shows a German message, translated, in a message box.
  void message(std::string_view german, std::string_view appended = {}) const;
  bool ask(std::string_view german, std::string_view appended = {}) const;
  CaptionLanguage captionLanguage() const { return captionLanguageOf(language.name()); }

  // The settings file: read it if present, then the definition table in either case.
  void loadSettings();
  // Writes the settings file anew; false (with a message) when it cannot be written.
  bool saveSettings();

  // Start-up up to the help texts: folders, role names, settings, language, definition table,
  // magic floor, catalogue, help texts. The window program adds its own steps after this.
  void startUp();

  // Loads the help texts from "CodeHelp.txt"; a missing file leaves them empty.
  void loadHelpTexts();

  Settings settings;
  LanguageTable language;
  DefinitionTable definitions;
  Catalogue catalogue;
  std::vector<KnownAccount> knownAccounts;
  // The broker symbol list in use (the first broker's until an account switches it), and
  // its symbols in file order.
  std::vector<BrokerSymbolRecord> brokerRecords;
  std::vector<std::string> brokerSymbols;
  // Symbols the user replaced by hand (old, new), in the order chosen; kept for the whole run
  // so that a symbol is asked for once only.
  std::vector<std::pair<std::string, std::string>> manualSymbolReplacements;
  // Help texts of the parameter rows and other help keys, read once at start-up.
  HelpTextTable helpTexts;
  // Run state of the magic numbers, kept apart from the records above.
  MagicNumberRun magicRun;

 private:
  std::vector<std::function<void()>> systemOpenedListeners_;
  fs::path root_;
  fs::path res_;
  fs::path user_;
  Host* host_;
  std::unique_ptr<TradingSystem> system_;
};

// Reads the list of a broker into the workspace's broker records and symbols.
void readBrokerSymbols(Workspace& ws, int broker);
// Reads the list of a broker and rebuilds the catalogue's Symbols list from it.
void fillBrokerSymbols(Workspace& ws, int broker);

}  // namespace zorvik
