#pragma once
// The commands of the main window whose work is done elsewhere in the program: creating,
// saving and checking the open system, generating the Expert Advisor, the uniform symbol and
// timeframe dialogs, the update check. The window calls only these methods; AppCommands
// connects them to the core. A window built without the program's parts (as in the window
// tests) keeps these defaults, which do nothing.
//
// The methods are virtual so that tests can watch what the window asks for.
#include <optional>

#include "app/system_info_strip.hpp"

namespace zorvik {

class MainCommands {
 public:
  MainCommands() = default;
  virtual ~MainCommands() = default;
  MainCommands(const MainCommands&) = delete;
  MainCommands& operator=(const MainCommands&) = delete;

  // Command 100: a new system, its name asked in an input box.
  virtual void newSystem() {}
  // Writes the open system to its file (the window calls it only when the system has a file
  // name, and plays "Write System" itself when it worked). False when the file could not be
  // written; the user has been told why.
  virtual bool saveSystem() { return true; }
  // Command 99 with an open system: save it, then generate, compile and install the Expert
  // Advisor.
  virtual void generateExpert() {}
  // The consistency check of the open system: mode 0 silent (every heartbeat), 1 with
  // messages and the difference list (command 97), 2 with the list (a click on rows 1 to 4).
  // Returns the six rows to draw, or nullopt when there is nothing to draw (no open system).
  virtual std::optional<InfoRows> checkSystem(int mode) {
    (void)mode;
    return std::nullopt;
  }
  // A click on row 5 / row 6 of the information strip.
  virtual void askEqualSymbols() {}
  virtual void askEqualTimeFrames() {}
  // The first activation of the main window: the update check.
  virtual void checkForUpdate() {}
  // "Nach Updates suchen" in the Help menu: the check again, and what it found.
  virtual void checkForUpdateAsked() {}
  // Shutdown: starts a downloaded updater; false when there is none.
  virtual bool installDownloadedUpdate() { return false; }
};

}  // namespace zorvik
