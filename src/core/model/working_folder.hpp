#pragma once
// Where the program keeps its files. Started from a folder that already holds the program's
// data ("res/DVDefTable2.dat"), that folder is the working folder (run.sh, a portable copy).
// Otherwise, as an installed program, every user gets a folder of their own below their data
// folder, created on the first start from the shipped res/ and the demo library.
#include <filesystem>
#include <string>

namespace zorvik {

namespace fs = std::filesystem;

// True when the folder holds the program's data files.
bool isWorkingFolder(const fs::path& folder);

// Copies every file of `from` that is missing below `to`, keeping the folder structure.
// Existing files are never touched. Returns false (with a reason) when a copy failed.
bool copyMissingFiles(const fs::path& from, const fs::path& to, std::string* error = nullptr);

// The working folder for a start from `current`: `current` itself when it is a working folder;
// otherwise `userDataFolder`, completed from `shippedRes` (into res/) and `shippedDemo` (into
// user/, only when user/ does not exist yet, so that a trader's deleted demo files stay deleted).
fs::path chooseWorkingFolder(const fs::path& current, const fs::path& userDataFolder, const fs::path& shippedRes,
                             const fs::path& shippedDemo, std::string* error = nullptr);

}  // namespace zorvik
