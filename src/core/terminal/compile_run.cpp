// Finding the compiler, starting it in a folder of its own and waiting for its output.
#include <algorithm>
#include <chrono>
#include <unistd.h>

#include "terminal/compile_steps.hpp"
#include "text/numbers.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::compile {

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

std::optional<Compiler> findCompiler(const ExpertFiles& files) {
  if (fileExists(files.compiler)) return Compiler::Metalang;
  // A trader on a current terminal has no "metalang.exe"; the terminal's MetaEditor compiles
  // from its command line just as well and writes a log we can quote.
  if (!files.metaEditor.empty() && fileExists(files.metaEditor)) return Compiler::MetaEditor;
  return std::nullopt;
}

bool CompilerRun::ended(Host& host) {
  if (!exitCode && program.handle > 0) exitCode = host.programExitCode(program.handle);
  return exitCode.has_value();
}

bool prepareRunFolder(ExpertFiles& files) {
  std::error_code ec;
  // Earlier runs' folders go first. One whose compiler still writes may refuse (Windows); it
  // is left for a later run, and this run's folder is a different one anyway.
  for (fs::directory_iterator it(files.runs, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    fs::remove_all(it->path(), ignored);
  }
  ec.clear();
  fs::create_directories(files.runs, ec);
  if (ec) return false;
  // A name never used before, not merely one free now: a compiler started by an earlier run in
  // a folder of the same name would otherwise write into this one.
  const auto stamp = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::system_clock::now().time_since_epoch()).count();
  const std::string base = "run-" + intText(static_cast<std::int64_t>(::getpid())) + "-" + intText(stamp);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path folder = files.runs / (attempt == 0 ? base : base + "-" + intText(attempt));
    if (!fs::create_directory(folder, ec) || ec) {
      if (ec) return false;
      continue;
    }
    files.runFolder = folder;
    files.runSource = folder / kSourceName;
    files.output = folder / kOutputName;
    files.compilerLog = folder / kLogName;
    const auto bytes = readFileBytes(files.source);
    return bytes && writeFileAtomic(files.runSource, *bytes, nullptr, Durability::Regenerable);
  }
  return false;
}

CompilerRun runCompiler(Workspace& ws, const ExpertFiles& files, Compiler compiler) {
  Host& host = ws.host();
  CompilerRun run;
  run.compiler = compiler;
  const bool metaEditor = compiler == Compiler::MetaEditor;

  // The compiler works inside the run folder and gets the source by its bare name, so even its
  // relative paths cannot reach another run's folder.
  const fs::path workingDir = absoluteOrAsIs(files.runFolder);
  const LaunchPlan plan = planLaunch(host, metaEditor ? files.metaEditor : files.compiler);
  std::vector<std::string> args;
  if (metaEditor) {
    args = {"/compile:" + plan.pathArgument(absoluteOrAsIs(files.runSource)), "/log"};
  } else {
    args = {plan.pathArgument(files.runSource.filename())};
  }

  const auto started = host.now();
  const auto limit = metaEditor ? kMetaEditorTimeLimit : kCompilerTimeLimit;
  run.program = startFile(ws, plan, args, workingDir, true);
  if (run.program.handle != 0) {
    // A compiler that ended without output will not write one any more: no need to sit out
    // the whole time limit.
    while (!fileExists(files.output) && host.now() - started <= limit && !run.ended(host))
      host.processEvents(kWaitStep);
  }
  return run;
}

bool compilerReportedErrors(const CompilerRun& run, const std::vector<std::string>& logErrorLines) {
  if (run.compiler == Compiler::MetaEditor)
    return std::any_of(logErrorLines.begin(), logErrorLines.end(), [](const std::string& l) { return isErrorReport(l); });
  return run.exitCode.has_value() && *run.exitCode != 0;
}

}  // namespace zorvik::compile
