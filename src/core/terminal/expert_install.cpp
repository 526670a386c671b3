// Installing the compiled Expert Advisor: naming it after the system, copying it into the
// terminal's experts folders, keeping or removing the source.
#include "terminal/compile_steps.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::compile {
namespace {

bool isFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// Copies a file whole, replacing the target; false when it cannot be read or written.
bool copyWhole(const fs::path& from, const fs::path& to) {
  auto bytes = readFileBytes(from);
  return bytes && writeFileAtomic(to, *bytes);
}

}  // namespace

bool renameOutputToNamedEa(Host& host, const ExpertFiles& files, CompilerRun& run) {
  // On Windows the rename fails while the compiler still holds its output; elsewhere it
  // would succeed at once and we could copy a half-written file. So a compiler we can watch
  // is given the time to end before the first attempt.
  // Renamed means moved: a named EA that could not be deleted before does not count.
  auto renamed = [&] { return !fileExists(files.output) && isFile(files.namedEa); };
  const auto renameStart = host.now();
  while (true) {
    host.processEvents(kWaitStep);
    const bool overTime = host.now() - renameStart > kRenameTimeLimit;
    const bool compilerBusy = run.program.handle > 0 && !run.ended(host);
    if (!compilerBusy || overTime) renameQuietly(files.output, files.namedEa);
    if (renamed() || overTime) break;
  }
  return renamed();
}

Installation copyIntoExpertFolders(const ExpertFiles& files, std::string_view eaName) {
  Installation result;
  const std::string fileName = std::string(eaName) + ".ex4";
  for (const fs::path& folder : files.expertFolders) {
    const fs::path target = folder / fileName;
    if (copyWhole(files.namedEa, target))
      result.installed.push_back(target);
    else
      result.failed.push_back(folder);
  }
  return result;
}

void keepOrRemoveSource(const Workspace& ws, const ExpertFiles& files, std::string_view eaName) {
  if (ws.settings.developerMode == 1) {
    removeQuietly(files.namedSource);
    renameQuietly(files.source, files.namedSource);
    for (const fs::path& folder : files.expertFolders)
      copyWhole(files.namedSource, folder / (std::string(eaName) + ".mq4"));
  } else {
    removeQuietly(files.source);
  }
}

}  // namespace zorvik::compile
