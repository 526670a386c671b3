// "terminal": starts the MetaTrader terminal of the settings.
#include "command.hpp"
#include "terminal/compile_install.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::cli {
namespace {

int runTerminal(Context& ctx) {
  if (!ctx.args.empty()) return kUsage;
  return startTerminal(ctx.ws) ? kDone : kFailed;
}

}  // namespace

Command terminalCommand() {
  return {"terminal", "terminal", "start the MetaTrader terminal", runTerminal};
}

}  // namespace zorvik::cli
