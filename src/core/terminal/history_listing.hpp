#pragma once
// The history files a trader already has: below each MetaTrader folder,
// history/<server>/<SYMBOL><minutes>.hst, plus the demo history of the working folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "market/history_files.hpp"

namespace zorvik {

struct HistoryFileInfo {
  std::filesystem::path path;
  std::string server;  // the folder below history/; "demo" for the demo history
  std::string symbol;  // from the header
  int timeframeMinutes = 0;
  HistoryFormat format = HistoryFormat::Hst401;
  std::size_t bars = 0;
  std::int64_t firstTime = 0;
  std::int64_t lastTime = 0;
  std::string error;  // a file that cannot be described: why (the rest is then unset)
};

// Header, first and last record only: cheap on the largest files.
HistoryFileInfo describeHstFile(const std::filesystem::path& path);

// The demo history of the working folder first (server "demo", when it exists), then every *.hst
// in history/<server>/ below each MetaTrader folder (names compared without regard to case),
// sorted by path. Unreadable folders are skipped; unreadable files are listed with their error.
std::vector<HistoryFileInfo> listHistoryFiles(const std::vector<std::filesystem::path>& metatraderFolders,
                                              const std::filesystem::path& workingFolder = {});

// Where a trader's history is looked for: the settings' MetaTrader folder (when set) and the
// terminals in the wine prefix below `home`, each once.
std::vector<std::filesystem::path> metatraderFoldersToSearch(const std::string& settingsFolder,
                                                             const std::filesystem::path& home);

// <working folder>/history/DEMO60.hst
std::filesystem::path demoHistoryPath(const std::filesystem::path& workingFolder);

}  // namespace zorvik
