#include "platform/program_launch.hpp"

#include <fstream>
#include <system_error>

namespace zorvik {

namespace fs = std::filesystem;

bool isWindowsProgram(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char magic[2] = {0, 0};
  if (!in.read(magic, 2)) return false;
  return magic[0] == 'M' && magic[1] == 'Z';
}

std::vector<std::string> LaunchPlan::arguments(const std::vector<std::string>& args) const {
  std::vector<std::string> out;
  if (kind == Kind::ThroughWine) out.push_back(file.string());
  out.insert(out.end(), args.begin(), args.end());
  return out;
}

std::string LaunchPlan::pathArgument(const fs::path& path) const {
  if (kind != Kind::ThroughWine) return path.string();
  std::string s = path.string();
  for (char& c : s)
    if (c == '/') c = '\\';
  return path.is_absolute() ? "Z:" + s : s;
}

LaunchPlan planLaunch(Host& host, const fs::path& file) {
  LaunchPlan plan;
  std::error_code ec;
  plan.file = fs::absolute(file, ec);
  if (ec) plan.file = file;
  plan.program = plan.file;
#ifndef _WIN32
  if (isWindowsProgram(plan.file)) {
    fs::path wine = host.findProgram("wine");
    if (wine.empty()) {
      plan.kind = LaunchPlan::Kind::NeedsWine;
    } else {
      plan.kind = LaunchPlan::Kind::ThroughWine;
      plan.program = wine;
    }
  }
#else
  (void)host;
#endif
  return plan;
}

}  // namespace zorvik
