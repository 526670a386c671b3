#pragma once
// Every value the Expert Advisor receives is checked before a line of it is written: a value
// written as code must be a number MQL4 reads as the listing means it, a text written into a
// string literal must not be able to end the literal. One mechanism serves the generator
// (which refuses) and the editors and the consistency check, which judge a little further:
// a value outside the catalogue's range is refused where it is typed and named as an error by
// the check, yet a file holding one still generates as it always did.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct ParameterCoding;
class TradingSystem;
class Catalogue;
class DefinitionTable;
class LanguageTable;

// Where a value sits and what is wrong with it.
struct ValueProblem {
  int group = 0;         // 1..4; 0 for the system's own settings (money management, magic)
  int position = 0;      // 1-based indicator position; 0 for a value of the group or system
  std::string indicatorType;
  std::string key;       // the stored key, "period", "stop_sl", "mm_lots"
  std::string value;
  std::string message;   // German, translated by whoever shows it
  std::string detail;    // shown after the translated message as it is: the allowed range "1 – 200"
};

// The problem of one value of a parameter, nullopt when the Expert Advisor can take it.
// Numbers: plain decimals with "." as the point (no "72,5", no "1e3"), whole numbers within
// the MQL4 int range where the listing declares an int, never negative where the catalogue's
// smallest value is not (distances, periods, lots). Texts written into string literals: no
// control character other than tab and line breaks, at most kLongestLiteral characters.
// Choice parameters (a list name as their kind) and free comments are never checked here:
// the generator writes only the list's own constants for them, or nothing.
std::optional<std::string> valueProblem(const ParameterCoding& coding, std::string_view value);

// The same for the keys that have no catalogue row of their own ("general_magic" is a text
// field in the editor, yet the listing declares it an int).
std::optional<std::string> magicProblem(std::string_view value);

// Every problem of the values the listing writes, in listing order: the system's settings,
// then each group's stops and threshold, then its indicators. Empty when the system can be
// generated. Unknown indicator types write no code and are not checked.
std::vector<ValueProblem> expertValueProblems(const TradingSystem& system, const Catalogue& catalogue,
                                              const DefinitionTable& definitions);

// What the editors refuse and the consistency check names as an error: the problem valueProblem
// finds, else a number outside the catalogue's range. The range's upper end does not hold for
// the stop distances (points: 300 of them are 30 pips on a five-digit quote, a modest stop),
// a bound the catalogue's own default lies beyond is no bound (the base capital's 1 below its
// 100), and a level the long and the short side read reflected may lie in the reflected range
// as well (a Stochastic trigger of 100 becomes 0 on the other side).
std::optional<ValueProblem> valueRefusal(const ParameterCoding& coding, std::string_view value);

// The same for every value of the system, in the order of expertValueProblems.
std::vector<ValueProblem> systemValueRefusals(const TradingSystem& system, const Catalogue& catalogue,
                                              const DefinitionTable& definitions);

// The message translated when a language table is given, followed by its detail.
std::string valueProblemText(const ValueProblem& problem, const LanguageTable* language);

// Numbers typed with a decimal comma, as a German keyboard offers them: "0,5" becomes "0.5",
// the form the files hold. Only a text with exactly one comma and no point, digits around it,
// is changed; anything else is left for the check to judge.
std::string withDecimalPoint(std::string_view typed);

// One line naming system, group, indicator and parameter, with the problem, translated when a
// language table is given: `Trend: LONG 1 (RSI), Periode "abc": ist keine Zahl`.
std::string describeValueProblem(const TradingSystem& system, const Catalogue& catalogue, const ValueProblem& problem,
                                 const LanguageTable* language);

inline constexpr std::size_t kLongestLiteral = 255;

}  // namespace zorvik
