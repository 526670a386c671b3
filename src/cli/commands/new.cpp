// "new NAME": creates a trading system with the catalogue defaults and a magic number no other
// system of the library uses, saves it and prints its file name. Settings that cannot be saved
// afterwards are reported, but the system was created: exit 0.
#include <iostream>

#include "command.hpp"
#include "model/file_names.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"

namespace zorvik::cli {
namespace {

int runNew(Context& ctx) {
  if (ctx.args.size() != 1 || ctx.args[0].empty()) return kUsage;
  // The window program raises the counter while it lists the library; do the same here.
  raiseMagicCounterFromLibrary(ctx.ws);
  const auto fileName = createSystem(ctx.ws, ctx.args[0]);
  if (!fileName) return kFailed;
  std::cout << encodeFileName(*fileName) << "\n";
  // The system is there whatever becomes of the settings: a settings file that cannot be written
  // gets its own message, and the command still reports the system as created. Its magic number
  // stays taken all the same, through the record of the magic-number lock.
  ctx.settingsHandled = true;
  if (!ctx.ws.saveSettings()) ctx.ws.message("Das Handelssystem wurde trotzdem angelegt: ", encodeFileName(*fileName));
  return kDone;
}

}  // namespace

Command newCommand() {
  return {"new", "new NAME", "create and save a new trading system, print its file name", runNew};
}

}  // namespace zorvik::cli
