#include "open_named_system.hpp"

#include <filesystem>
#include <system_error>

#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"

namespace zorvik::cli {

namespace {

// A path to a file in the library's folder names that file; a path elsewhere is none of the
// library's systems (the program keeps them in one folder).
std::optional<std::string> libraryFileOfPath(Workspace& ws, const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path given = fs::weakly_canonical(fs::path(path), ec);
  if (ec) return std::nullopt;
  const fs::path library = fs::weakly_canonical(ws.userFolder(), ec);
  if (ec || given.parent_path() != library) return std::nullopt;
  return given.filename().string();
}

bool isFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::optional<SystemFile> openNamedSystem(Workspace& ws, const std::string& name) {
  // A listed name may hold a slash ("EUR/USD"): it is tried as a name before as a path.
  auto system = findSystemFile(ws.userFolder(), name);
  if (!system && name.find('/') != std::string::npos && isFile(name)) {
    const auto inLibrary = libraryFileOfPath(ws, name);
    if (!inLibrary) {
      ws.message("Das Handelssystem liegt nicht in der Bibliothek: ", name);
      return std::nullopt;
    }
    system = findSystemFile(ws.userFolder(), *inLibrary);
  }
  if (!system) {
    ws.message("Das Handelssystem gibt es nicht: ", name);
    return std::nullopt;
  }
  raiseMagicCounterFromLibrary(ws);
  if (!openSystem(ws, system->fileName)) return std::nullopt;
  return system;
}

}  // namespace zorvik::cli
