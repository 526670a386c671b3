// "resave SYSTEM": opens a system as a click in the library does and saves it again, so that it
// gets a unique magic number and the file is in the form the program writes.
#include <iostream>

#include "command.hpp"
#include "open_named_system.hpp"
#include "workspace/current_system.hpp"

namespace zorvik::cli {
namespace {

int runResave(Context& ctx) {
  if (ctx.args.size() != 1) return kUsage;
  Workspace& ws = ctx.ws;
  const auto system = openNamedSystem(ws, ctx.args[0]);
  if (!system) return kFailed;
  ws.host().playSound(Sound::Open);
  if (!saveCurrentSystem(ws, true)) return kFailed;
  std::cout << system->path.filename().string() << "\n";
  return kDone;
}

}  // namespace

Command resaveCommand() {
  return {"resave", "resave SYSTEM", "open a system (name or file name) and save it again", runResave};
}

}  // namespace zorvik::cli
