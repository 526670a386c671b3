// "uniform SYSTEM (--symbol S | --timeframe ID)": one symbol (money management and every
// indicator) or one timeframe (every indicator) for the whole system, then the system is saved.
#include <iostream>

#include "analysis/uniform_symbols.hpp"
#include "command.hpp"
#include "open_named_system.hpp"
#include "text/strings.hpp"
#include "workspace/current_system.hpp"

namespace zorvik::cli {
namespace {

int runUniform(Context& ctx) {
  if (ctx.args.size() != 3 || ctx.args[2].empty()) return kUsage;
  const std::string& option = ctx.args[1];
  if (option != "--symbol" && option != "--timeframe") return kUsage;
  Workspace& ws = ctx.ws;

  std::string value = ctx.args[2];
  if (option == "--timeframe") {
    // Only the ids of the timeframe list: anything else would give an Expert Advisor that
    // quietly runs on the chart's timeframe.
    std::string id;
    for (const DefinitionEntry* e : ws.definitions.entriesOf("timeframe"))
      if (iequals(e->id, value)) id = e->id;
    if (id.empty()) {
      ws.message("Unbekannter Timeframe: ", value);
      return kFailed;
    }
    value = id;
  }

  const auto system = openNamedSystem(ws, ctx.args[0]);
  if (!system) return kFailed;
  if (option == "--symbol")
    setUniformSymbol(ws, ws.system(), value);
  else
    setUniformTimeframe(ws, ws.system(), value);
  if (!saveCurrentSystem(ws)) return kFailed;
  std::cout << system->path.filename().string() << "\n";
  return kDone;
}

}  // namespace

Command uniformCommand() {
  return {"uniform", "uniform SYSTEM (--symbol S | --timeframe ID)",
          "put the whole system on one symbol or one timeframe id (idM1 ... idMN1), save",
          runUniform};
}

}  // namespace zorvik::cli
