#pragma once
// Finding MetaTrader 4 terminals installed under wine, to offer while no folder is set and to
// look for a trader's history in.
#include <filesystem>
#include <vector>

namespace zorvik {

// MetaTrader 4 folders in the wine prefix below a home folder: every folder below
// "~/.wine/drive_c/Program Files*" (a few levels deep) that holds "terminal.exe", and every
// data folder "~/.wine/drive_c/users/*/AppData/Roaming/MetaQuotes/Terminal/*" that holds an
// "MQL4" folder. Names are compared without regard to case, as Windows does. Sorted, each
// once; folders that cannot be read are skipped.
std::vector<std::filesystem::path> findWineTerminalFolders(const std::filesystem::path& home);

}  // namespace zorvik
