#pragma once
// The MQL4 checker: parses a program and checks it as the terminal's compiler (build 600 and
// later) does before it writes an .ex4: names declared, built-ins called with their exact
// signatures, no assignment to what is read-only, types that fit, locals declared once.
// Errors fail the check; warnings are reported and pass.
#include <filesystem>
#include <string>
#include <string_view>

#include "mql4/diagnostic.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4 {

struct CheckResult {
  Program program;  // with types and resolved names filled in where the check got that far
  Diagnostics diagnostics;  // in source order
  bool ok() const { return !hasErrors(diagnostics); }
};

// Checks MQL4 source given as the bytes of the file (Windows-1252).
CheckResult checkSource(std::string_view source);

// The largest source file read: an Expert Advisor of this program is some 100 KB, a hand-written
// one rarely more than a few hundred. The limit keeps a huge or endless file from filling memory.
inline constexpr std::size_t kMaxSourceBytes = std::size_t{16} << 20;

// Checks a file. A file that cannot be read, or is larger than kMaxSourceBytes, gives one error
// at line 0 saying so.
CheckResult checkFile(const std::filesystem::path& file);

// The messages as the terminal's compiler writes them, one line each:
// "name(line,col): error: text", warnings as "...: warning: text".
std::vector<std::string> formatDiagnostics(const std::string& fileName, const Diagnostics& diagnostics);

}  // namespace zorvik::mql4
