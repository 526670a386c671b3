#pragma once
// Generating without a compiler: the source is kept under the EA's name in the user folder and
// the trader learns where a compiler was looked for and what to do, with a button that opens
// the folder holding the source.
#include <filesystem>
#include <functional>
#include <string>

#include "terminal/compile_install.hpp"

class QWidget;

namespace zorvik {

// Where a compiler was looked for and what was found there.
struct CompilerSearch {
  std::filesystem::path metalang;    // res/metalang.exe
  std::filesystem::path metaEditor;  // <MetaTrader folder>/metaeditor.exe; empty without a folder
  bool winePresent = false;
};

// The message: what is missing, where it was looked for, and what to do (translated).
std::string missingCompilerText(const Workspace& ws, const CompilerSearch& search,
                                const std::filesystem::path& keptSource);

// Writes the source of the open system, keeps it as user/<EA name>.mq4 and shows the message
// with the folder button. The folder is opened through openFolder (a test may watch it).
// Returns the kept source, empty when nothing could be written.
std::filesystem::path keepSourceWithoutCompiler(Workspace& ws, const ExpertFiles& files, bool winePresent,
                                                QWidget* parent,
                                                const std::function<void(const std::filesystem::path&)>& openFolder);

}  // namespace zorvik
