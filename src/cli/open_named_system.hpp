#pragma once
// What the commands that work on one system share: opening the system a command line names.
#include <optional>
#include <string>

#include "model/file_names.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::cli {

// Opens the system a command names (listed name, file name or a path into the library) as a click in the library does:
// the magic counter is raised from the library first. nullopt, with the message said, when
// there is no such system or it cannot be opened.
std::optional<SystemFile> openNamedSystem(Workspace& ws, const std::string& name);

}  // namespace zorvik::cli
