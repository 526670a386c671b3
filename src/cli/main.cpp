// zorvik-cli [--workdir DIR] [--english] [--yes] COMMAND ...
#include <iostream>

#include "command.hpp"
#include "console_host.hpp"

namespace zorvik::cli {
namespace {

void usage(std::ostream& out) {
  out << "usage: zorvik-cli [--workdir DIR] [--english] [--yes] COMMAND [ARGS...]\n\n"
         "  --workdir DIR  working folder holding res/ and user/ (default: the current folder)\n"
         "  --english      switch the program to English for this and later runs\n"
         "  --yes          answer every question with Yes\n\ncommands:\n";
  for (const auto& c : commands()) {
    std::string u = c.usage;
    if (u.size() < 40) u.resize(40, ' ');
    out << "  " << u << " " << c.summary << "\n";
  }
}

}  // namespace
}  // namespace zorvik::cli

int main(int argc, char** argv) {
  using namespace zorvik;
  using namespace zorvik::cli;
  std::filesystem::path workdir = std::filesystem::current_path();
  bool english = false;
  ConsoleHost host;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--workdir" && i + 1 < argc) workdir = argv[++i];
    else if (a == "--english") english = true;
    else if (a == "--yes") host.assumeYes = true;
    else if (a == "--help" || a == "-h") { usage(std::cout); return kDone; }
    else if (!a.empty() && a[0] == '-') { usage(std::cerr); return kUsage; }
    else break;
  }
  if (i >= argc) {
    usage(std::cerr);
    return kUsage;
  }
  const std::string name = argv[i++];
  const Command* command = nullptr;
  for (const auto& c : commands())
    if (c.name == name) command = &c;
  if (!command) {
    std::cerr << "unknown command: " << name << "\n";
    usage(std::cerr);
    return kUsage;
  }

  if (command->runWithoutWorkspace) {
    const int rc = command->runWithoutWorkspace(std::vector<std::string>(argv + i, argv + argc));
    if (rc == kUsage) std::cerr << "usage: zorvik-cli " << command->usage << "\n";
    return rc;
  }

  Workspace ws(workdir, host);
  ws.startUp();
  if (english) ws.language.switchLanguage("ENGLISCH", ws.resFolder());

  Context ctx{ws, std::vector<std::string>(argv + i, argv + argc), host.assumeYes};
  int rc = command->run(ctx);
  if (rc != kUsage && !ctx.settingsHandled && !ws.saveSettings()) rc = kFailed;
  if (rc == kUsage) std::cerr << "usage: zorvik-cli " << command->usage << "\n";
  return rc;
}
