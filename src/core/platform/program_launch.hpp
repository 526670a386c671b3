#pragma once
// How a program file is started on this system. MetaTrader's compiler, editor and terminal are
// Windows programs; outside Windows they run through wine when wine is installed. A native
// program that merely carries the name "*.exe" (a substitute compiler, a wrapper script) is
// started directly: the file's first bytes decide, not its name.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host.hpp"

namespace zorvik {

// True when the file starts like a Windows executable ("MZ").
bool isWindowsProgram(const std::filesystem::path& file);

struct LaunchPlan {
  enum class Kind {
    Direct,       // the file itself is started
    ThroughWine,  // wine is started with the file as its first argument
    NeedsWine,    // a Windows program, and wine was not found: it cannot be started
  };
  Kind kind = Kind::Direct;
  std::filesystem::path file;     // the program file, absolute
  std::filesystem::path program;  // what to hand to the host: the file, or wine

  // The command line arguments for the host: wine gets the file first.
  std::vector<std::string> arguments(const std::vector<std::string>& args) const;
  // A path as the started program understands it. Under wine an absolute path becomes
  // "Z:\..." (wine's drive for "/") and every "/" a "\".
  std::string pathArgument(const std::filesystem::path& path) const;
};

LaunchPlan planLaunch(Host& host, const std::filesystem::path& file);

}  // namespace zorvik
