#include "generator/compile_install.hpp"

#include <optional>
#include <system_error>

#include "platform/program_launch.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

constexpr std::string_view kSourceName = "_Zorvik.mq4";
constexpr std::string_view kOutputName = "_Zorvik.ex4";
constexpr std::string_view kLogName = "_Zorvik.log";
// At most this many lines of the compiler's log go into a message box.
constexpr std::size_t kMaxCompilerLines = 12;

bool fileExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

bool isFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

void removeQuietly(const fs::path& p) {
  std::error_code ec;
  fs::remove(p, ec);
}

void renameQuietly(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
}

// Copies a file whole, replacing the target; false when it cannot be read or written.
bool copyWhole(const fs::path& from, const fs::path& to) {
  auto bytes = readFileBytes(from);
  return bytes && writeFileAtomic(to, *bytes);
}

// The EA name becomes a file name in the user folder and in the terminal's folders; a name
// that could reach outside them, or name nothing, is refused.
bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// MetaEditor writes its log in UTF-16 (little endian, with a byte order mark); older builds
// and other tools write single-byte text. Unpaired surrogates become "?".
std::string decodeLog(const std::string& bytes) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      char32_t u = static_cast<char32_t>(byte(i) | (byte(i + 1) << 8));
      if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
        const char32_t low = static_cast<char32_t>(byte(i + 2) | (byte(i + 3) << 8));
        if (low >= 0xDC00 && low <= 0xDFFF) {
          u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        } else {
          u = '?';
        }
      } else if (u >= 0xD800 && u <= 0xDFFF) {
        u = '?';
      }
      appendUtf8(out, u);
    }
    return out;
  }
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) return bytes.substr(3);
  return cp1252ToUtf8(bytes);
}

// The error lines of a compiler log, shortened to start at the source's file name.
std::vector<std::string> errorLinesOf(const fs::path& log) {
  std::vector<std::string> out;
  auto bytes = readFileBytes(log);
  if (!bytes) return out;
  for (const auto& raw : splitLines(decodeLog(*bytes))) {
    std::string line = trim(raw);
    if (ifind(line, "error") == std::string::npos) continue;
    if (auto at = line.find(kSourceName); at != std::string::npos) line.erase(0, at);
    if (out.size() == kMaxCompilerLines) {
      out.push_back("...");
      break;
    }
    out.push_back(std::move(line));
  }
  return out;
}

struct StartedProgram {
  int handle = 0;       // 0: not started; > 0 watched; Host::kProgramNotWatched
  std::string problem;  // translated reason when it could not be started
};

StartedProgram startFile(const Workspace& ws, const LaunchPlan& plan, const std::vector<std::string>& args,
                          const fs::path& workingDir, bool watched) {
  StartedProgram s;
  if (plan.kind == LaunchPlan::Kind::NeedsWine) {
    s.problem = ws.tr("Das Programm ist ein Windows-Programm, und wine ist nicht installiert: ") + plan.file.string();
    return s;
  }
  Host& host = ws.host();
  if (watched) {
    s.handle = host.startWatchedProgram(plan.program, plan.arguments(args), workingDir);
  } else {
    s.handle = host.startProgram(plan.program, plan.arguments(args), workingDir) ? Host::kProgramNotWatched : 0;
  }
  if (s.handle == 0) s.problem = ws.tr("Das Programm konnte nicht gestartet werden: ") + plan.program.string();
  return s;
}

fs::path absoluteOrAsIs(const fs::path& p) {
  std::error_code ec;
  fs::path a = fs::absolute(p, ec);
  return ec ? p : a;
}

}  // namespace

std::string expertNameOf(std::string_view systemFileName) {
  std::string name(systemFileName);
  for (int i = 0; i < 2; ++i) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) break;
    name.erase(dot);
  }
  return name;
}

fs::path metatraderFolder(const Workspace& ws) {
  std::string text = trim(ws.settings.metatraderPfad);
  while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  if (text.empty()) return {};
  fs::path folder(text);
  return folder.is_relative() ? ws.root() / folder : folder;
}

ExpertFiles expertFilesFor(const Workspace& ws, std::string_view eaName) {
  ExpertFiles f;
  const std::string name(eaName);
  f.compiler = ws.resFile("metalang.exe");
  f.source = ws.userFile(kSourceName);
  f.output = ws.userFile(kOutputName);
  f.compilerLog = ws.userFile(kLogName);
  f.namedEa = ws.userFile(name + ".ex4");
  f.namedSource = ws.userFile(name + ".mq4");
  if (const fs::path mt = metatraderFolder(ws); !mt.empty()) {
    f.metaEditor = mt / "metaeditor.exe";
    f.expertFolders.push_back(mt / "experts");
    std::error_code ec;
    if (fs::is_directory(mt / "MQL4" / "Experts", ec)) f.expertFolders.push_back(mt / "MQL4" / "Experts");
  }
  return f;
}

CompileReport compileAndInstall(Workspace& ws, std::string_view eaName) {
  Host& host = ws.host();
  CompileReport report;
  const ExpertFiles f = expertFilesFor(ws, eaName);
  const std::string name(eaName);

  if (!isPlainFileName(eaName)) {
    removeQuietly(f.source);
    ws.message("Der Name des Expert Advisors ist als Dateiname nicht zulässig: ", name);
    return report;
  }

  // A trader on a current terminal has no "metalang.exe"; the terminal's MetaEditor compiles
  // from its command line just as well and writes a log we can quote.
  const bool useMetaEditor = !fileExists(f.compiler) && !f.metaEditor.empty() && fileExists(f.metaEditor);
  if (!fileExists(f.compiler) && !useMetaEditor) {
    removeQuietly(f.source);
    ws.message("Der Compiler kann nicht gefunden werden");
    return report;
  }
  report.result = 1;

  // A late output of an earlier run must not pass for this run's result.
  removeQuietly(f.output);
  if (useMetaEditor) removeQuietly(f.compilerLog);

  const fs::path workingDir = absoluteOrAsIs(ws.root());
  const LaunchPlan plan = planLaunch(host, useMetaEditor ? f.metaEditor : f.compiler);
  std::vector<std::string> args;
  if (useMetaEditor) {
    args = {"/compile:" + plan.pathArgument(absoluteOrAsIs(f.source)), "/log"};
  } else {
    // The compiler runs in the working folder and gets the source relative to it.
    args = {plan.pathArgument(f.source.lexically_relative(ws.root()))};
  }

  const auto started = host.now();
  const auto limit = useMetaEditor ? kMetaEditorTimeLimit : kCompilerTimeLimit;
  const StartedProgram compiler = startFile(ws, plan, args, workingDir, true);
  std::optional<int> exitCode;
  auto compilerEnded = [&] {
    if (!exitCode && compiler.handle > 0) exitCode = host.programExitCode(compiler.handle);
    return exitCode.has_value();
  };
  if (compiler.handle != 0) {
    // A compiler that ended without output will not write one any more: no need to sit out
    // the whole time limit.
    while (!fileExists(f.output) && host.now() - started <= limit && !compilerEnded()) host.processEvents(kWaitStep);
  }

  removeQuietly(f.namedEa);

  if (!fileExists(f.output)) {
    std::string text = ws.tr("Der EA konnte nicht erzeugt werden !");
    if (!compiler.problem.empty()) {
      text += "\n" + compiler.problem;
    } else {
      if (useMetaEditor) report.compilerMessages = errorLinesOf(f.compilerLog);
      if (!report.compilerMessages.empty()) {
        text += "\n" + ws.tr("Meldungen des Compilers:") + "\n" + join(report.compilerMessages, "\n");
      } else if (exitCode) {
        text += "\n" + ws.tr("Der Compiler hat sich ohne Ergebnis beendet, Rückgabewert ") + intText(*exitCode);
      }
    }
    report.outcome = CompileOutcome::NotCreated;
    host.message(text);
  } else {
    // On Windows the rename fails while the compiler still holds its output; elsewhere it
    // would succeed at once and we could copy a half-written file. So a compiler we can watch
    // is given the time to end before the first attempt.
    // Renamed means moved: a named EA that could not be deleted before does not count.
    auto renamed = [&] { return !fileExists(f.output) && isFile(f.namedEa); };
    const auto renameStart = host.now();
    while (true) {
      host.processEvents(kWaitStep);
      const bool overTime = host.now() - renameStart > kRenameTimeLimit;
      const bool compilerBusy = compiler.handle > 0 && !compilerEnded();
      if (!compilerBusy || overTime) renameQuietly(f.output, f.namedEa);
      if (renamed() || overTime) break;
    }

    if (!renamed()) {
      report.outcome = CompileOutcome::NotCreated;
      host.message(ws.tr("Der EA konnte nicht erzeugt werden !") + "\n" +
                   ws.tr("Der kompilierte Expert Advisor konnte nicht umbenannt werden: ") + f.output.string() +
                   " -> " + f.namedEa.string());
    } else {
      report.outcome = CompileOutcome::Created;
      std::vector<fs::path> failed;
      for (const fs::path& folder : f.expertFolders) {
        const fs::path target = folder / (name + ".ex4");
        if (copyWhole(f.namedEa, target))
          report.installed.push_back(target);
        else
          failed.push_back(folder);
      }
      host.playSound(Sound::Generate);
      std::string text = ws.tr("Ok - der Expert Advisor >") + name + ws.tr("< wurde erfolgreich erzeugt");
      // The EA exists, but the trader expects it in the terminal: say so when no copy landed.
      if (report.installed.empty() && !failed.empty())
        text += "\n" + ws.tr("Der Expert Advisor konnte nicht in den MetaTrader-Ordner kopiert werden: ") +
                failed.front().string();
      host.message(text);
    }
  }

  if (useMetaEditor) removeQuietly(f.compilerLog);

  if (ws.settings.developerMode == 1) {
    removeQuietly(f.namedSource);
    renameQuietly(f.source, f.namedSource);
    for (const fs::path& folder : f.expertFolders) copyWhole(f.namedSource, folder / (name + ".mq4"));
  } else {
    // No MQL4 text stays behind in the library folder.
    removeQuietly(f.source);
  }

  host.refreshLibrary();
  return report;
}

bool startTerminal(Workspace& ws) {
  const fs::path mt = metatraderFolder(ws);
  if (mt.empty()) {
    ws.message("Der MetaTrader-Ordner ist nicht eingestellt.");
    return false;
  }
  const fs::path terminal = mt / "terminal.exe";
  std::error_code ec;
  if (!fs::is_regular_file(terminal, ec)) {
    ws.message("Das Terminal kann nicht gefunden werden: ", terminal.string());
    return false;
  }
  const StartedProgram s = startFile(ws, planLaunch(ws.host(), terminal), {}, mt, false);
  if (s.handle == 0) {
    ws.host().message(s.problem);
    return false;
  }
  return true;
}

bool openEditor(Workspace& ws) {
  if (ws.settings.developerMode != 1) return false;
  const fs::path mt = metatraderFolder(ws);
  if (mt.empty()) return false;
  const fs::path editor = mt / "metaeditor.exe";
  std::error_code ec;
  if (!fs::is_regular_file(editor, ec)) return false;
  const LaunchPlan plan = planLaunch(ws.host(), editor);
  if (plan.kind == LaunchPlan::Kind::NeedsWine) return false;
  const fs::path source = absoluteOrAsIs(ws.userFile(kSourceName));
  return ws.host().startProgram(plan.program, plan.arguments({plan.pathArgument(source)}), mt);
}

}  // namespace zorvik
