// "check SYSTEM": the consistency check as the check command of the window runs it with its
// list: the difference list, then the six rows of the information panel, one per line as
// "row<TAB>green|red<TAB>text", then the strategy lint, one finding per line as
// "lint<TAB>error|warn|info<TAB>text". The system is opened but not saved.
#include <iostream>

#include "analysis/consistency_check.hpp"
#include "command.hpp"
#include "model/trading_system.hpp"
#include "open_named_system.hpp"
#include "workspace/current_system.hpp"

namespace zorvik::cli {
namespace {

int runCheck(Context& ctx) {
  if (ctx.args.size() != 1) return kUsage;
  Workspace& ws = ctx.ws;
  const auto system = openNamedSystem(ws, ctx.args[0]);
  if (!system) return kFailed;
  const CheckResult r = evaluateSystem(ws, ws.system(), true);
  for (const auto& text : r.differences.texts()) std::cout << text << "\n";
  for (std::size_t k = 0; k < r.rows.size(); ++k)
    std::cout << k + 1 << "\t" << (r.rows[k].green ? "green" : "red") << "\t" << r.rows[k].text << "\n";
  for (const LintFinding& f : r.lint) std::cout << "lint\t" << lintLevelName(f.level) << "\t" << f.text << "\n";
  return kDone;
}

}  // namespace

Command checkCommand() {
  return {"check", "check SYSTEM",
          "check a system's symmetry and consistency, print the findings, the six rows and the lint",
          runCheck};
}

}  // namespace zorvik::cli
