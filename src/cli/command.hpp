#pragma once
// zorvik-cli: the program's core without a window. Each command lives in its own file below
// commands/ and hands its description to the command table.
#include <functional>
#include <string>
#include <vector>

#include "workspace/workspace.hpp"

namespace zorvik::cli {

enum ExitCode { kDone = 0, kFailed = 1, kUsage = 2 };

struct Context {
  Workspace& ws;
  std::vector<std::string> args;  // the words after the command name
  bool assumeYes = false;         // --yes: questions are answered with Yes
  // The command saved the settings itself and judged the outcome: they are not saved again,
  // and a failure there no longer decides the exit code.
  bool settingsHandled = false;
};

struct Command {
  std::string name;
  std::string usage;    // e.g. "new NAME"
  std::string summary;  // one line for the help
  std::function<int(Context&)> run;
  // Set for a command that reads only the files it is given: it runs without a working folder,
  // so nothing is read from or written into the current folder (no settings, no res/ or user/).
  std::function<int(const std::vector<std::string>& args)> runWithoutWorkspace = nullptr;
};

// Every command, in the order the help lists them.
const std::vector<Command>& commands();

Command backtestCommand();
Command checkCommand();
Command checkMq4Command();
Command compileCommand();
Command terminalCommand();
Command copyCommand();
Command generateCommand();
Command historyCommand();
Command infoCommand();
Command newCommand();
Command resaveCommand();
Command runMq4Command();
Command uniformCommand();

}  // namespace zorvik::cli
