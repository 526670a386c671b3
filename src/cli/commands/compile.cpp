// "compile NAME": compiles the generated user/_Zorvik.mq4 and installs it as NAME.ex4.
#include <iostream>

#include "command.hpp"
#include "terminal/compile_install.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::cli {
namespace {

int runCompile(Context& ctx) {
  if (ctx.args.size() != 1) return kUsage;
  const fs::path source = ctx.ws.userFile("_Zorvik.mq4");
  if (!fs::exists(source)) {
    std::cerr << "no generated source: " << source.string() << "\n";
    return kFailed;
  }
  // Without a compiler our own check is the verdict: a well-formed source passes.
  const CompileOutcome outcome = compileAndInstall(ctx.ws, ctx.args[0]).outcome;
  return outcome == CompileOutcome::Created || outcome == CompileOutcome::CheckedOnly ? kDone : kFailed;
}

}  // namespace

Command compileCommand() {
  return {"compile", "compile NAME", "compile user/_Zorvik.mq4 and install it as NAME.ex4", runCompile};
}

}  // namespace zorvik::cli
