// "generate SYSTEM [--source-only [-o FILE]]": opens the system as a library click does, prints
// the lint's warnings to stderr (they do not stop it), saves it, writes the Expert Advisor
// source, checks it and (unless --source-only) compiles and installs it. Prints the path of the source, or
// of the EA once it was created. Fails when the EA could not be put into the MetaTrader folder.
#include <iostream>
#include <optional>

#include "analysis/strategy_lint.hpp"
#include "command.hpp"
#include "mql4/checker.hpp"
#include "open_named_system.hpp"
#include "terminal/generate_expert.hpp"
#include "text/text_files.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"

namespace zorvik::cli {
namespace {

int runGenerate(Context& ctx) {
  bool compile = true;
  std::optional<fs::path> target;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    const std::string& a = ctx.args[i];
    if (a == "--source-only") {
      compile = false;
    } else if (a == "-o") {
      if (target || i + 1 >= ctx.args.size() || ctx.args[i + 1].empty()) return kUsage;
      target = fs::path(ctx.args[++i]);
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 1 || (target && compile)) return kUsage;
  Workspace& ws = ctx.ws;
  if (target) {
    // Refused before anything is written: the trader named a place that is not there.
    std::error_code ec;
    const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) {
      ws.message("Der Ordner für die Quelldatei existiert nicht: ", folder.string());
      return kFailed;
    }
  }
  // Held until the source is copied to its target: another program's generation would replace
  // the fixed-name source in between.
  MagicNumberLock oneGenerationAtATime(ws);
  const auto system = openNamedSystem(ws, names[0]);
  if (!system) return kFailed;
  for (const LintFinding& f : lintSystem(ws, ws.system()))
    if (f.level != LintLevel::Info) std::cerr << "lint\t" << lintLevelName(f.level) << "\t" << f.text << "\n";
  const GenerateOutcome out = generateExpertOfOpenSystem(ws, compile, false);
  if (!out.sourceWritten) return kFailed;
  if (!compile) {
    const fs::path source = ws.userFile("_Zorvik.mq4");
    // The source leaves here without a compile step: our check is all it gets. Its errors are
    // listed and fail the command; the source is written all the same, for a look at it.
    const mql4::CheckResult check = mql4::checkFile(source);
    for (const mql4::Diagnostic& d : check.diagnostics)
      if (d.severity == mql4::Severity::Error) std::cerr << mql4::formatDiagnostic(source.string(), d) << "\n";
    const int verdict = check.ok() ? kDone : kFailed;
    if (target) {
      const auto bytes = readFileBytes(source);
      if (!bytes || !writeFileAtomic(*target, *bytes)) {
        ws.message("Die Quelldatei kann nicht geschrieben werden: ", target->string());
        return kFailed;
      }
      std::cout << target->string() << "\n";
      return verdict;
    }
    std::cout << source.string() << "\n";
    return verdict;
  }
  if (out.checkedOnly) {
    // No compiler: the checked source is the result, kept under the EA's name.
    std::cout << ws.userFile(out.eaName + ".mq4").string() << "\n";
    return kDone;
  }
  if (!out.created) return kFailed;
  std::cout << ws.userFile(out.eaName + ".ex4").string() << "\n";
  return out.installed ? kDone : kFailed;
}

}  // namespace

Command generateCommand() {
  return {"generate", "generate SYSTEM [--source-only [-o FILE]]",
          "write the Expert Advisor of a system and compile and install it",
          runGenerate};
}

}  // namespace zorvik::cli
