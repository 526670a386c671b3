#include "terminal/expert_source_file.hpp"

#include "generator/expert_generator.hpp"
#include "rules/refusals.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

bool writeExpertSource(Workspace& ws, const TradingSystem& system, std::string_view magic) {
  const ExpertOptions options{std::string(magic), expertTimeStamp(localNow()), &ws.language};
  const ExpertSource source = expertSourceFileText(system, ws.catalogue, ws.definitions, options);
  if (!source.ok()) {
    ws.message(std::string(refusalHeadline(source.problems)), source.fault);
    return false;
  }
  const fs::path file = ws.userFile(kExpertSourceFile);
  std::string error;
  // The listing is written again from the system at every generation: no wait for the disk.
  if (!writeFileAtomic(file, source.fileText, &error, Durability::Regenerable)) {
    ws.message("Der Quelltext des Expert Advisors konnte nicht geschrieben werden: ", file.string() + " (" + error + ")");
    return false;
  }
  return true;
}

int generateExpertSource(Workspace& ws, const TradingSystem& system, std::string_view magic, std::string_view eaName,
                    const CompileAndInstall& compileAndInstall) {
  if (eaName.empty()) {
    ws.message("Diese Aktion kann derzeit nicht ausgeführt werden - leeres System ...");
    return 0;
  }
  if (!writeExpertSource(ws, system, magic)) return 0;
  return compileAndInstall ? compileAndInstall(ws, eaName) : 0;
}

}  // namespace zorvik
