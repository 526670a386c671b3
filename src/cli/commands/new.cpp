// "new NAME": creates a trading system with the catalogue defaults and a magic number no other
// system of the library uses, saves it and prints its file name.
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
  return kDone;
}

}  // namespace

Command newCommand() {
  return {"new", "new NAME", "create and save a new trading system, print its file name", runNew};
}

}  // namespace zorvik::cli
