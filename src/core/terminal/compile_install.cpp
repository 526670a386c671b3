#include "terminal/compile_install.hpp"

#include "mql4/checker.hpp"
#include "terminal/compile_steps.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
using namespace compile;

namespace {

// The EA name becomes a file name in the user folder and in the terminal's folders; a name
// that could reach outside them, or name nothing, is refused.
bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

// ---------------------------------------------------------------------------------------------
// Report: what the message box says after a run

// No output: why, as far as we know it. The compiler's log lines say most; its exit code is
// the next best thing.
std::string notCompiledMessage(const Workspace& ws, const CompilerRun& run,
                               const std::vector<std::string>& compilerMessages) {
  std::string text = ws.tr("Der EA konnte nicht erzeugt werden !");
  if (!run.program.problem.empty()) {
    text += "\n" + run.program.problem;
  } else if (!compilerMessages.empty()) {
    text += "\n" + ws.tr("Meldungen des Compilers:") + "\n" + join(compilerMessages, "\n");
  } else if (run.exitCode) {
    text += "\n" + ws.tr("Der Compiler hat sich ohne Ergebnis beendet, Rückgabewert ") + intText(*run.exitCode);
  }
  return text;
}

std::string notRenamedMessage(const Workspace& ws, const ExpertFiles& files) {
  return ws.tr("Der EA konnte nicht erzeugt werden !") + "\n" +
         ws.tr("Der kompilierte Expert Advisor konnte nicht umbenannt werden: ") + files.output.string() + " -> " +
         files.namedEa.string();
}

std::string createdMessage(const Workspace& ws, const std::string& name, const Installation& installation) {
  std::string text = ws.tr("Ok - der Expert Advisor >") + name + ws.tr("< wurde erfolgreich erzeugt");
  // The EA exists, but the trader expects it in the terminal: say so when no copy landed.
  if (installation.installed.empty() && !installation.failed.empty())
    text += "\n" + ws.tr("Der Expert Advisor konnte nicht in den MetaTrader-Ordner kopiert werden: ") +
            installation.failed.front().string();
  return text;
}

// The checker's error lines as the trader reads them, the file named as it is kept; at most
// kMaxCompilerLines of them, "..." after that.
std::vector<std::string> checkErrorLines(const mql4::CheckResult& check, const std::string& fileName) {
  std::vector<std::string> lines;
  for (const mql4::Diagnostic& d : check.diagnostics)
    if (d.severity == mql4::Severity::Error) lines.push_back(mql4::formatDiagnostic(fileName, d));
  return lines;
}

std::string shortList(std::vector<std::string> lines) {
  if (lines.size() > kMaxCompilerLines) {
    lines.resize(kMaxCompilerLines);
    lines.push_back("...");
  }
  return join(lines, "\n");
}

// The source under the EA's name in the user folder, where the trader finds it beside the
// others; the fixed-name file goes. Where that copy cannot be made the fixed-name file stays.
fs::path keepSourceAsNamed(const ExpertFiles& files) {
  if (const auto bytes = readFileBytes(files.source); bytes && writeFileAtomic(files.namedSource, *bytes)) {
    removeQuietly(files.source);
    return files.namedSource;
  }
  return files.source;
}

}  // namespace

CompileReport compileAndInstall(Workspace& ws, std::string_view eaName) {
  Host& host = ws.host();
  CompileReport report;
  // The fixed-name source and the run folders are shared by every program on this library: a
  // generation elsewhere must not replace the source between the check and the install.
  MagicNumberLock oneGenerationAtATime(ws);
  ExpertFiles files = expertFilesFor(ws, eaName);
  const std::string name(eaName);

  if (!isPlainFileName(eaName)) {
    removeQuietly(files.source);
    ws.message("Der Name des Expert Advisors ist als Dateiname nicht zulässig: ", name);
    return report;
  }
  // Our own check comes first: an EA with errors never reaches a compiler, and without one
  // the check is all that can be said about the source.
  const mql4::CheckResult check = mql4::checkFile(files.source);
  if (!check.ok()) {
    report.result = 1;
    report.outcome = CompileOutcome::NotCreated;
    report.checkMessages = checkErrorLines(check, files.namedSource.filename().string());
    // The EA of an earlier run must not pass for this one.
    removeQuietly(files.namedEa);
    const fs::path kept = keepSourceAsNamed(files);
    host.message(ws.tr("Der EA konnte nicht erzeugt werden !") + "\n" +
                 ws.tr("Die Prüfung des Quelltexts hat Fehler gefunden:") + "\n" + shortList(report.checkMessages) +
                 "\n" + ws.tr("Der Quelltext wurde behalten:") + "\n" + kept.string());
    host.refreshLibrary();
    return report;
  }
  const std::optional<Compiler> compiler = findCompiler(files);
  if (!compiler) {
    report.result = 1;
    report.outcome = CompileOutcome::CheckedOnly;
    const fs::path kept = keepSourceAsNamed(files);
    host.message(ws.tr("Der Compiler kann nicht gefunden werden") + "\n" +
                 ws.tr("Der Expert Advisor ist geprüft und fehlerfrei, aber nicht kompiliert.") + "\n" +
                 ws.tr("Der Quelltext wurde behalten:") + "\n" + kept.string());
    host.refreshLibrary();
    return report;
  }
  report.result = 1;

  if (!prepareRunFolder(files)) {
    report.outcome = CompileOutcome::NotCreated;
    removeQuietly(files.namedEa);
    host.message(ws.tr("Der EA konnte nicht erzeugt werden !") + "\n" +
                 ws.tr("Der Ordner für den Compiler kann nicht angelegt werden: ") + files.runs.string());
    keepOrRemoveSource(ws, files, name);
    host.refreshLibrary();
    return report;
  }
  CompilerRun run = runCompiler(ws, files, *compiler);
  const bool metaEditor = *compiler == Compiler::MetaEditor;
  // Only MetaEditor's log is ours to quote; a program that did not start wrote none.
  auto readLog = [&] {
    if (metaEditor && run.program.problem.empty()) report.compilerMessages = compilerErrorLines(files.compilerLog);
  };

  removeQuietly(files.namedEa);
  if (!fileExists(files.output)) {
    readLog();
    report.outcome = CompileOutcome::NotCreated;
    host.message(notCompiledMessage(ws, run, report.compilerMessages));
  } else if (!renameOutputToNamedEa(host, files, run)) {
    report.outcome = CompileOutcome::NotCreated;
    host.message(notRenamedMessage(ws, files));
  } else if (readLog(); compilerReportedErrors(run, report.compilerMessages)) {
    // An output file alone proves nothing: a compiler may leave one behind and still fail.
    removeQuietly(files.namedEa);
    report.outcome = CompileOutcome::NotCreated;
    host.message(notCompiledMessage(ws, run, report.compilerMessages));
  } else {
    report.outcome = CompileOutcome::Created;
    report.compilerMessages.clear();  // a clean log holds only its "0 error(s)" summary
    const Installation installation = copyIntoExpertFolders(files, name);
    report.installed = installation.installed;
    report.installFailed = installation.installed.empty() && !installation.failed.empty();
    host.playSound(Sound::Generate);
    host.message(createdMessage(ws, name, installation));
  }

  // A compiler still running keeps its folder until a later run clears it; an ended one's
  // folder goes now.
  if (run.program.handle <= 0 || run.ended(host)) {
    std::error_code ec;
    fs::remove_all(files.runFolder, ec);
  }
  keepOrRemoveSource(ws, files, name);
  host.refreshLibrary();
  return report;
}

bool startTerminal(Workspace& ws) {
  const fs::path mt = metatraderFolder(ws.settings.metatraderFolder, ws.root());
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
  const fs::path mt = metatraderFolder(ws.settings.metatraderFolder, ws.root());
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
