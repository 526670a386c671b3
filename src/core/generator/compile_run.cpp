// Finding the compiler, starting it and waiting for its output.
#include "generator/compile_steps.hpp"

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

CompilerRun runCompiler(Workspace& ws, const ExpertFiles& files, Compiler compiler) {
  Host& host = ws.host();
  CompilerRun run;
  run.compiler = compiler;
  const bool metaEditor = compiler == Compiler::MetaEditor;

  // A late output of an earlier run must not pass for this run's result.
  removeQuietly(files.output);
  if (metaEditor) removeQuietly(files.compilerLog);

  const fs::path workingDir = absoluteOrAsIs(ws.root());
  const LaunchPlan plan = planLaunch(host, metaEditor ? files.metaEditor : files.compiler);
  std::vector<std::string> args;
  if (metaEditor) {
    args = {"/compile:" + plan.pathArgument(absoluteOrAsIs(files.source)), "/log"};
  } else {
    // The compiler runs in the working folder and gets the source relative to it.
    args = {plan.pathArgument(files.source.lexically_relative(ws.root()))};
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

}  // namespace zorvik::compile
