#pragma once
// The MQL4 source of the Expert Advisor of a trading system: a function of the system, the
// catalogue, the definition table and the options. Writing it into the user folder and
// compiling it is the terminal's (terminal/expert_source_file.hpp).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/value_checks.hpp"
#include "text/numbers.hpp"

namespace zorvik {

class TradingSystem;
class SignalGroup;
class Catalogue;
class DefinitionTable;
class LanguageTable;

inline constexpr std::string_view kExpertSourceFile = "_Zorvik.mq4";

// The time of generation as the header shows it: month-day-year and 24-hour time,
// "03-07-2026/09:05:01".
std::string expertTimeStamp(const DateTime& t);

struct ExpertOptions {
  std::string magic;      // the magic number the EA trades under
  std::string timeStamp;  // written into the header after the copyright, see expertTimeStamp
  // Translates the group caption of a fault; without one the caption stays German.
  const LanguageTable* language = nullptr;
};

// The source, or why there is none.
struct ExpertSource {
  std::vector<std::string> lines;  // the whole source, line by line; empty on a fault
  std::string fileText;            // expertSourceFileText only: the file's bytes (CP-1252, CRLF)
  // A signal value that is not a number, by place: group caption, position, type and value,
  // "SHORT 1 (2 Moving Averages): \"drei\"". Empty when the source was made.
  // Or the values the listing cannot take, one line each (see expertValueProblems).
  std::string fault;
  std::vector<ValueProblem> problems;  // empty unless values were refused
  bool ok() const { return fault.empty(); }
};

ExpertSource expertSourceLines(const TradingSystem& system, const Catalogue& catalogue,
                               const DefinitionTable& definitions, const ExpertOptions& options);
// The same source as the bytes of "_Zorvik.mq4", written in one pass without the lines.
ExpertSource expertSourceFileText(const TradingSystem& system, const Catalogue& catalogue,
                                  const DefinitionTable& definitions, const ExpertOptions& options);

}  // namespace zorvik
