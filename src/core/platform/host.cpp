#include "platform/host.hpp"

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace zorvik {

std::chrono::milliseconds Host::now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

std::filesystem::path Host::findProgram(const std::string& name) {
  namespace fs = std::filesystem;
  if (name.empty()) return {};
  const char* path = std::getenv("PATH");
  if (!path) return {};
#ifdef _WIN32
  constexpr char kSeparator = ';';
#else
  constexpr char kSeparator = ':';
#endif
  std::string_view rest(path);
  while (true) {
    const std::size_t sep = rest.find(kSeparator);
    const std::string_view dir = rest.substr(0, sep);
    if (!dir.empty()) {
      const fs::path candidate = fs::path(std::string(dir)) / name;
      std::error_code ec;
      const fs::file_status st = fs::status(candidate, ec);
      constexpr fs::perms kAnyExec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
      if (!ec && fs::is_regular_file(st) && (st.permissions() & kAnyExec) != fs::perms::none) return candidate;
    }
    if (sep == std::string_view::npos) break;
    rest.remove_prefix(sep + 1);
  }
  return {};
}

}  // namespace zorvik
