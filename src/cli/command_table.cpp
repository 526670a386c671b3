#include "command.hpp"

namespace zorvik::cli {

// A table rather than commands registering themselves: the help's order is then written down
// here instead of following the order in which the linker happens to run static initialisers.
const std::vector<Command>& commands() {
  static const std::vector<Command> all{
      checkCommand(),    compileCommand(), terminalCommand(), copyCommand(),    generateCommand(),
      historyCommand(),  backtestCommand(),
      infoCommand(),     newCommand(),     resaveCommand(),   uniformCommand(),
  };
  return all;
}

}  // namespace zorvik::cli
