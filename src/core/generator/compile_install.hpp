#pragma once
// Compiling the generated Expert Advisor source and installing the result in the MetaTrader 4
// terminal, plus starting the terminal and its editor.
//
// The source "_Zorvik.mq4" in the user folder is written before; compileAndInstall compiles
// it with "res/metalang.exe" (or, when that is missing, with the terminal's own
// "metaeditor.exe"), renames "_Zorvik.ex4" after the system and copies it into the terminal's
// experts folder. Everything reaches the user and the system through the workspace's Host.
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/workspace.hpp"

namespace zorvik {

namespace fs = std::filesystem;

// How long the compiler may take before the run counts as failed. MetaEditor gets longer:
// under wine its first start alone can take several seconds.
inline constexpr std::chrono::milliseconds kCompilerTimeLimit{10'000};
inline constexpr std::chrono::milliseconds kMetaEditorTimeLimit{30'000};
// How long renaming the compiler's output may be retried (the compiler may still hold it).
inline constexpr std::chrono::milliseconds kRenameTimeLimit{5'000};
// The step of every wait; window events run meanwhile.
inline constexpr std::chrono::milliseconds kWaitStep{100};

// The EA name of a system file: the file name without its last two extensions, each time the
// text from the last "." on ("Trend.hsy.txt" -> "Trend"). A name with fewer than two
// extensions loses the ones it has ("Trend.txt" -> "Trend", "Trend" -> "Trend").
std::string expertNameOf(std::string_view systemFileName);

// The MetaTrader folder of the settings as a path, without trailing separators; relative
// folders count from the working folder. Empty when the setting is empty.
fs::path metatraderFolder(const Workspace& ws);

// The files one run works with. The compiler never works in the user folder itself: each run
// copies the source into a fresh folder of its own below `runs` and compiles it there, so a
// compiler left running by an earlier, timed-out run writes its late output into that run's
// folder and can never pass it off as this run's result.
struct ExpertFiles {
  fs::path compiler;     // res/metalang.exe
  fs::path source;       // user/_Zorvik.mq4
  fs::path runs;         // user/_Zorvik.runs, holding one folder per run
  fs::path runFolder;    // this run's folder; empty until the run has made it
  fs::path runSource;    // <run folder>/_Zorvik.mq4, the copy the compiler reads
  fs::path output;       // <run folder>/_Zorvik.ex4
  fs::path compilerLog;  // <run folder>/_Zorvik.log, written by MetaEditor
  fs::path namedEa;      // user/<EA name>.ex4
  fs::path namedSource;  // user/<EA name>.mq4, kept in developer mode
  fs::path metaEditor;   // <MetaTrader folder>/metaeditor.exe; empty without a MetaTrader folder
  // <MetaTrader folder>/experts, and <MetaTrader folder>/MQL4/Experts when that folder exists
  // (newer terminals keep their experts there). Empty without a MetaTrader folder.
  std::vector<fs::path> expertFolders;
};
ExpertFiles expertFilesFor(const Workspace& ws, std::string_view eaName);

enum class CompileOutcome {
  NotRun,       // an EA name that cannot be a file name: nothing was checked or started
  NotCreated,   // the check found errors, or the compile step ran and no named EA came out of
                // it, or the compiler reported errors (exit code, log) whatever file it left
  CheckedOnly,  // no compiler: the source passed the check and is kept as "<EA name>.mq4"
  Created,      // the named EA is in the user folder
};

struct CompileReport {
  // 1 when the check or the compile step ran, whether or not the EA was created; 0 when not.
  int result = 0;
  CompileOutcome outcome = CompileOutcome::NotRun;
  std::vector<fs::path> installed;            // copies of the EA in the terminal's folders
  // A MetaTrader folder is set and not one of its experts folders got the EA. A newer terminal
  // lacks the old "experts" folder, so one copy in "MQL4/Experts" is enough.
  bool installFailed = false;
  std::vector<std::string> compilerMessages;  // error lines of MetaEditor's log, on failure
  std::vector<std::string> checkMessages;     // "<EA name>.mq4(line,col): error: text", on failure
};

// Checks the already written user/_Zorvik.mq4 with our own MQL4 checker, compiles it, names
// the result "<EA name>.ex4" in the user folder and copies it into the terminal's experts
// folder(s). A source with errors is not compiled, and without a compiler the check is the
// verdict; either way the source is kept as "<EA name>.mq4" and the trader told where. Shows the outcome in a message
// box, plays the "Generate" sound on success, removes the fixed-name files (in developer mode
// the source is kept as "<EA name>.mq4" and installed beside the EA) and asks the library to
// refresh. Waits keep window events running.
CompileReport compileAndInstall(Workspace& ws, std::string_view eaName);

// Starts "terminal.exe" of the MetaTrader folder (through wine where needed). Says why when the
// folder is not set, holds no terminal or the program cannot be started; false then.
bool startTerminal(Workspace& ws);

// Developer mode only: opens user/_Zorvik.mq4 in the terminal's MetaEditor. Any failure ends
// it quietly with false.
bool openEditor(Workspace& ws);

}  // namespace zorvik
