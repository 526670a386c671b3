// "check-mq4 FILE...": checks MQL4 source files as the terminal's compiler would before
// compiling them. Every message goes to stderr as "file(line,col): error: text" (warnings as
// "warning:"); the exit code is 0 when no file has an error.
#include <iostream>

#include "command.hpp"
#include "mql4/checker.hpp"

namespace zorvik::cli {
namespace {

int runCheckMq4(Context& ctx) {
  if (ctx.args.empty()) return kUsage;
  bool allPassed = true;
  for (const std::string& file : ctx.args) {
    const mql4::CheckResult result = mql4::checkFile(file);
    for (const std::string& line : mql4::formatDiagnostics(file, result.diagnostics)) std::cerr << line << "\n";
    if (!result.ok()) allPassed = false;
  }
  return allPassed ? kDone : kFailed;
}

}  // namespace

Command checkMq4Command() {
  return {"check-mq4", "check-mq4 FILE...",
          "check MQL4 source files as the terminal's compiler does; errors on stderr, exit 1 on any",
          runCheckMq4};
}

}  // namespace zorvik::cli
