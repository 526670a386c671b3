#include "terminal/expert_files.hpp"

#include <system_error>

#include "text/strings.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
using namespace compile;

std::string expertNameOf(std::string_view systemFileName) {
  std::string name(systemFileName);
  for (int i = 0; i < 2; ++i) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) break;
    name.erase(dot);
  }
  return name;
}

fs::path metatraderFolder(std::string_view setting, const fs::path& workingFolder) {
  std::string text = trim(setting);
  while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  if (text.empty()) return {};
  fs::path folder(text);
  return folder.is_relative() ? workingFolder / folder : folder;
}

ExpertFiles expertFilesFor(const Workspace& ws, std::string_view eaName) {
  ExpertFiles f;
  const std::string name(eaName);
  f.compiler = ws.resFile("metalang.exe");
  f.source = ws.userFile(kSourceName);
  f.runs = ws.userFile(kRunsFolderName);
  f.namedEa = ws.userFile(name + ".ex4");
  f.namedSource = ws.userFile(name + ".mq4");
  if (const fs::path mt = metatraderFolder(ws.settings.metatraderFolder, ws.root()); !mt.empty()) {
    f.metaEditor = mt / "metaeditor.exe";
    f.expertFolders.push_back(mt / "experts");
    std::error_code ec;
    if (fs::is_directory(mt / "MQL4" / "Experts", ec)) f.expertFolders.push_back(mt / "MQL4" / "Experts");
  }
  return f;
}

}  // namespace zorvik
