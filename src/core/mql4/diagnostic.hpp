#pragma once
// A message of the MQL4 checker, placed as the terminal's compiler places its own: 1-based line
// and column of the source (columns count bytes; the source is single-byte Windows-1252).
#include <string>
#include <vector>

namespace zorvik::mql4 {

struct SourcePos {
  int line = 0;
  int column = 0;
};

enum class Severity { Warning, Error };

struct Diagnostic {
  SourcePos pos;
  Severity severity = Severity::Error;
  std::string message;
};

using Diagnostics = std::vector<Diagnostic>;

inline bool hasErrors(const Diagnostics& d) {
  for (const Diagnostic& x : d)
    if (x.severity == Severity::Error) return true;
  return false;
}

// "file(line,col): error: text", the form the terminal's compiler writes to its log.
inline std::string formatDiagnostic(const std::string& file, const Diagnostic& d) {
  return file + "(" + std::to_string(d.pos.line) + "," + std::to_string(d.pos.column) +
         "): " + (d.severity == Severity::Error ? "error: " : "warning: ") + d.message;
}

}  // namespace zorvik::mql4
