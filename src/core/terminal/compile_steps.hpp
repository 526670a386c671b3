#pragma once
// The steps of compileAndInstall: run (find the compiler, start it, wait for it), collect (the
// compiler's own messages from its log) and install (name the EA, copy it into the terminal,
// keep or remove the source). compileAndInstall strings them together and reports the outcome.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/host.hpp"
#include "platform/program_launch.hpp"
#include "terminal/expert_files.hpp"

namespace zorvik::compile {

// File system calls whose failure the caller finds out from the files themselves afterwards.
inline bool fileExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}
inline void removeQuietly(const fs::path& p) {
  std::error_code ec;
  fs::remove(p, ec);
}
inline void renameQuietly(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
}
inline fs::path absoluteOrAsIs(const fs::path& p) {
  std::error_code ec;
  fs::path a = fs::absolute(p, ec);
  return ec ? p : a;
}

// ---------------------------------------------------------------------------------------------
// Run

struct StartedProgram {
  int handle = 0;       // 0: not started; > 0 watched; Host::kProgramNotWatched
  std::string problem;  // translated reason when it could not be started
};
StartedProgram startFile(const Workspace& ws, const LaunchPlan& plan, const std::vector<std::string>& args,
                         const fs::path& workingDir, bool watched);

enum class Compiler {
  Metalang,    // res/metalang.exe
  MetaEditor,  // the terminal's metaeditor.exe, which compiles from its command line and logs
};
// res/metalang.exe when it is there, else the terminal's MetaEditor; nullopt for neither.
std::optional<Compiler> findCompiler(const ExpertFiles& files);

struct CompilerRun {
  Compiler compiler = Compiler::Metalang;
  StartedProgram program;
  std::optional<int> exitCode;  // once the watched compiler has ended

  // Whether the watched compiler has ended; the host is asked only until it has.
  bool ended(Host& host);
};

// Removes the folders of earlier runs (with whatever a late compiler wrote there), makes this
// run's fresh folder and copies the source into it. False when that cannot be done.
bool prepareRunFolder(ExpertFiles& files);

// Starts the compiler on the run folder's copy of the source, inside that folder, and waits
// until the output appears, the compiler ends or its time limit is up.
CompilerRun runCompiler(Workspace& ws, const ExpertFiles& files, Compiler compiler);

// Whether the compiler said it failed: metalang by a non-zero exit code, MetaEditor by an error
// in its log (its exit code is no reliable sign of success).
bool compilerReportedErrors(const CompilerRun& run, const std::vector<std::string>& logErrorLines);

// ---------------------------------------------------------------------------------------------
// Collect

// The text of a compiler log as UTF-8, whatever encoding the compiler wrote it in.
std::string decodeCompilerLog(const std::string& bytes);

// At most this many lines of the compiler's log go into a message box; "..." follows when
// there are more.
inline constexpr std::size_t kMaxCompilerLines = 12;

// The error lines of a compiler log, each shortened to start at the source's file name;
// empty when there is no log.
std::vector<std::string> compilerErrorLines(const fs::path& log);

// Whether an error line of the log reports an error, rather than summing up none
// ("Result: 0 error(s), 0 warning(s)").
bool isErrorReport(std::string_view errorLine);

// ---------------------------------------------------------------------------------------------
// Install

// Renames the compiler's output to the named EA, retrying while the compiler may still hold
// it. True when the output is gone and the named EA is there.
bool renameOutputToNamedEa(Host& host, const ExpertFiles& files, CompilerRun& run);

struct Installation {
  std::vector<fs::path> installed;  // the copies made
  std::vector<fs::path> failed;     // the experts folders no copy reached
};
// Copies the named EA into every experts folder of the terminal.
Installation copyIntoExpertFolders(const ExpertFiles& files, std::string_view eaName);

// Developer mode keeps the source as "<EA name>.mq4" and puts it beside the EA in the terminal;
// otherwise it is removed, so no MQL4 text stays behind in the library folder.
void keepOrRemoveSource(const Workspace& ws, const ExpertFiles& files, std::string_view eaName);

}  // namespace zorvik::compile
