// "generate SYSTEM [--source-only]": opens the system as a library click does, saves it, writes
// the Expert Advisor source and (unless --source-only) compiles and installs it. Prints the path
// of the source, or of the EA once it was created.
#include <iostream>

#include "command.hpp"
#include "generator/generate_expert.hpp"
#include "model/current_system.hpp"
#include "open_named_system.hpp"

namespace zorvik::cli {
namespace {

int runGenerate(Context& ctx) {
  bool compile = true;
  std::vector<std::string> names;
  for (const auto& a : ctx.args) {
    if (a == "--source-only") compile = false;
    else names.push_back(a);
  }
  if (names.size() != 1) return kUsage;
  Workspace& ws = ctx.ws;
  const auto system = openNamedSystem(ws, names[0]);
  if (!system) return kFailed;
  const GenerateOutcome out = generateExpertOfOpenSystem(ws, compile);
  if (!out.sourceWritten) return kFailed;
  if (!compile) {
    std::cout << ws.userFile("_Zorvik.mq4").string() << "\n";
    return kDone;
  }
  if (!out.created) return kFailed;
  std::cout << ws.userFile(out.eaName + ".ex4").string() << "\n";
  return kDone;
}

}  // namespace

Command generateCommand() {
  return {"generate", "generate SYSTEM [--source-only]",
          "write the Expert Advisor of a system and compile and install it",
          runGenerate};
}

}  // namespace zorvik::cli
