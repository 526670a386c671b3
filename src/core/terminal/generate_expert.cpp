#include "terminal/generate_expert.hpp"

#include "analysis/strategy_lint.hpp"

#include "generator/expert_generator.hpp"
#include "terminal/expert_source_file.hpp"
#include "model/file_names.hpp"
#include "model/trading_system.hpp"
#include "terminal/compile_install.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

std::string lintQuestion(const Workspace& ws, const TradingSystem& system) {
  std::string text;
  for (const LintFinding& f : lintSystem(ws, system))
    if (f.level != LintLevel::Info) text += "- " + f.text + "\n";
  if (text.empty()) return text;
  return ws.tr("Das System hat Schwächen:") + "\n" + text + "\n" + ws.tr("Den Expert Advisor trotzdem erzeugen?");
}

GenerateOutcome generateExpertOfOpenSystem(Workspace& ws, bool compile, bool askAboutWarnings) {
  GenerateOutcome out;
  const TradingSystem& system = ws.system();
  if (system.systemFileName.empty()) return out;
  // Every generation passes through the one "_Zorvik.mq4" of the user folder and the compiler's
  // folders beside it. Two programs generating at once would compile, install or hand out each
  // other's source; the lock that guards the magic numbers makes them take turns, from saving
  // the system to installing its EA.
  MagicNumberLock oneGenerationAtATime(ws);
  if (askAboutWarnings) {
    const std::string question = lintQuestion(ws, system);
    if (!question.empty() && !ws.host().askYesNo(question)) {
      out.declined = true;
      return out;
    }
  }
  if (!saveCurrentSystem(ws)) return out;
  // The program holds names decoded ("a/b.hsy.txt"); the EA is named after the file as stored
  // ("a%2Fb"), so a "/" or "\" in a system's name never reaches a path.
  out.eaName = expertNameOf(encodeFileName(system.systemFileName));
  generateExpertSource(ws, system, system.general.magic, out.eaName, [&](Workspace& w, std::string_view eaName) {
    out.sourceWritten = true;
    if (!compile) return 0;
    const CompileReport report = compileAndInstall(w, eaName);
    out.created = report.outcome == CompileOutcome::Created;
    out.checkedOnly = report.outcome == CompileOutcome::CheckedOnly;
    out.installed = out.created && !report.installFailed;
    return report.result;
  });
  return out;
}

}  // namespace zorvik
