#include "open_named_system.hpp"

#include "model/current_system.hpp"

namespace zorvik::cli {

std::optional<SystemFile> openNamedSystem(Workspace& ws, const std::string& name) {
  auto system = findSystemFile(ws, name);
  if (!system) {
    ws.message("Das Handelssystem gibt es nicht: ", name);
    return std::nullopt;
  }
  raiseMagicCounterFromLibrary(ws);
  if (!openSystem(ws, system->fileName)) return std::nullopt;
  return system;
}

}  // namespace zorvik::cli
