#include "generator/generate_expert.hpp"

#include "generator/compile_install.hpp"
#include "generator/expert_generator.hpp"
#include "model/current_system.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"

namespace zorvik {

GenerateOutcome generateExpertOfOpenSystem(Workspace& ws, bool compile) {
  GenerateOutcome out;
  const TradingSystem& system = ws.system();
  if (system.systemFileName.empty() || !saveCurrentSystem(ws)) return out;
  out.eaName = expertNameOf(system.systemFileName);
  generateExpertSource(ws, system, system.general.magic, out.eaName, [&](Workspace& w, std::string_view eaName) {
    out.sourceWritten = true;
    if (!compile) return 0;
    const CompileReport report = compileAndInstall(w, eaName);
    out.created = report.outcome == CompileOutcome::Created;
    return report.result;
  });
  return out;
}

}  // namespace zorvik
