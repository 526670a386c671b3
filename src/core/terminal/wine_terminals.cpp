#include "terminal/wine_terminals.hpp"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "text/strings.hpp"

namespace zorvik {

namespace fs = std::filesystem;

namespace {

// Below "Program Files" a terminal sits one or two folders deep ("MetaTrader 4", "Broker/MT4");
// the limit keeps the scan of a large prefix short.
constexpr int kProgramFilesDepth = 4;

bool sameName(const fs::path& p, std::string_view name) { return toLower(p.filename().string()) == name; }

std::vector<fs::path> subfolders(const fs::path& folder) {
  std::vector<fs::path> out;
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  if (ec) return out;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code typeEc;
    if (it->is_directory(typeEc)) out.push_back(it->path());
  }
  return out;
}

// The subfolder whose name matches without regard to case; empty when there is none.
fs::path subfolderNamed(const fs::path& folder, std::string_view lowerName) {
  for (const fs::path& sub : subfolders(folder))
    if (sameName(sub, lowerName)) return sub;
  return {};
}

void terminalsBelow(const fs::path& programFiles, std::vector<fs::path>& out) {
  std::error_code ec;
  fs::recursive_directory_iterator it(programFiles, fs::directory_options::skip_permission_denied, ec);
  if (ec) return;
  for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code typeEc;
    if (it->is_directory(typeEc)) {
      if (it.depth() + 1 >= kProgramFilesDepth) it.disable_recursion_pending();
      continue;
    }
    if (sameName(it->path(), "terminal.exe") && it->is_regular_file(typeEc)) out.push_back(it->path().parent_path());
  }
}

}  // namespace

std::vector<fs::path> findWineTerminalFolders(const fs::path& home) {
  std::vector<fs::path> out;
  const fs::path driveC = home / ".wine" / "drive_c";
  for (const fs::path& top : subfolders(driveC))
    if (startsWith(toLower(top.filename().string()), "program files")) terminalsBelow(top, out);

  for (const fs::path& user : subfolders(driveC / "users")) {
    fs::path terminals = user;
    for (std::string_view part : {"appdata", "roaming", "metaquotes", "terminal"}) {
      terminals = subfolderNamed(terminals, part);
      if (terminals.empty()) break;
    }
    if (terminals.empty()) continue;
    // MetaTrader 5 keeps its data folders beside the MetaTrader 4 ones; only those holding
    // "MQL4" serve this program.
    for (const fs::path& data : subfolders(terminals))
      if (!subfolderNamed(data, "mql4").empty()) out.push_back(data);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace zorvik
