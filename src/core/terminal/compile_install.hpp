#pragma once
// Compiling the generated Expert Advisor source and installing the result in the MetaTrader 4
// terminal, plus starting the terminal and its editor.
//
// The source "_Zorvik.mq4" in the user folder is written before; compileAndInstall compiles
// it with "res/metalang.exe" (or, when that is missing, with the terminal's own
// "metaeditor.exe"), renames "_Zorvik.ex4" after the system and copies it into the terminal's
// experts folder. Everything reaches the user and the system through the workspace's Host.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/expert_files.hpp"

namespace zorvik {

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
