#pragma once
// The files of compiling and installing an Expert Advisor: the fixed-name source the generator
// writes, the compiler's run folders, the named EA and the terminal's experts folders.
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

namespace fs = std::filesystem;

class Workspace;

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
fs::path metatraderFolder(std::string_view setting, const fs::path& workingFolder);

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

namespace compile {

inline constexpr std::string_view kSourceName = "_Zorvik.mq4";
inline constexpr std::string_view kOutputName = "_Zorvik.ex4";
inline constexpr std::string_view kLogName = "_Zorvik.log";
inline constexpr std::string_view kRunsFolderName = "_Zorvik.runs";

}  // namespace compile

}  // namespace zorvik
