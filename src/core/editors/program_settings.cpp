#include "editors/program_settings.hpp"

#include <algorithm>
#include <system_error>

#include "model/settings.hpp"
#include "text/numbers.hpp"
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

RgbColour rgbOfColourNumber(std::int32_t number) {
  const auto n = static_cast<std::uint32_t>(number);
  return {static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF)};
}

std::vector<std::string> tabStyleEntries() {
  std::vector<std::string> out;
  for (int i = 0; i < kTabStyleCount; ++i) out.push_back("Stil " + intText(i));
  return out;
}

std::string colourNumberText(std::int32_t number) { return " " + intText(number); }

void applyTabDefaults(Settings& settings) {
  for (std::size_t i = 0; i < kTabColours.size(); ++i) settings.tabColours[i] = kTabColours[i].defaultColour;
  settings.tabStil = kDefaultTabStyle;
}

TabStyleLook tabStyleLook(std::int32_t style) {
  if (style < 0 || style >= kTabStyleCount) style = 0;
  return {static_cast<int>(style % 4) * 2, style >= 4};
}

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
