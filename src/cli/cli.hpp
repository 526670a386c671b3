#pragma once
// zorvik-cli: the program's core without a window. Each command lives in its own file and
// registers itself with ZORVIK_CLI_COMMAND.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/file_names.hpp"
#include "model/workspace.hpp"
#include "platform/host.hpp"

namespace zorvik::cli {

enum ExitCode { kDone = 0, kFailed = 1, kUsage = 2 };

struct Context {
  Workspace& ws;
  std::vector<std::string> args;  // the words after the command name
  bool assumeYes = false;         // --yes: questions are answered with Yes
};

struct Command {
  std::string name;
  std::string usage;    // e.g. "new NAME"
  std::string summary;  // one line for the help
  std::function<int(Context&)> run;
};

std::vector<Command>& commands();

// Opens the system a command names (listed name or file name) as a click in the library does:
// the magic counter is raised from the library first. nullopt, with the message said, when
// there is no such system or it cannot be opened.
std::optional<SystemFile> openNamedSystem(Workspace& ws, const std::string& name);

struct Registrar {
  explicit Registrar(Command c) { commands().push_back(std::move(c)); }
};

}  // namespace zorvik::cli

#define ZORVIK_CLI_CONCAT2(a, b) a##b
#define ZORVIK_CLI_CONCAT(a, b) ZORVIK_CLI_CONCAT2(a, b)
#define ZORVIK_CLI_COMMAND(...) \
  static const ::zorvik::cli::Registrar ZORVIK_CLI_CONCAT(zorvikCliRegistrar, __LINE__){::zorvik::cli::Command{__VA_ARGS__}}
