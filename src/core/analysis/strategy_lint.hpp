#pragma once
// The strategy lint: faults of a trading system that the consistency check does not see because
// every group is well formed, yet the Expert Advisor would never trade, or trade otherwise than
// the trader thinks. Each finding is one translated sentence a trader understands.
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class TradingSystem;
class Workspace;

enum class LintLevel {
  Error,  // a value that can never be valid ("abc" as a period, a negative stop): the editors refuse it
  Warn,  // the EA will not do what the system seems to say (a group that never fires, ...)
  Info,  // works as written, but the trader should know (another timeframe, a daily limit, ...)
};

struct LintFinding {
  LintLevel level = LintLevel::Warn;
  std::string text;
  bool operator==(const LintFinding&) const = default;
};

// "error", "warn" or "info", as the command line prints it.
std::string_view lintLevelName(LintLevel level);

// Every finding for the system in a fixed order: first each invalid value (valueRefusal), named
// by group, indicator and parameter as the editors show them; then per group (entry long, exit
// long, entry short, exit short) the threshold and firing findings, then the empty exit groups,
// the stops (trailing below the stop loss, a distance within the spread), symbols and
// timeframes, and the money management. A group holding a signal
// value that is not a number is left out of the threshold findings: generation refuses it anyway.
std::vector<LintFinding> lintSystem(const Workspace& ws, const TradingSystem& system);

// True for a warning or an error.
bool hasWarnings(const std::vector<LintFinding>& findings);

// The spread a stop distance must exceed, in points of a five-digit (or three-digit yen) quote:
// 2 pips. On a four-digit quote the same 2 pips are 2 points, so a distance that clears 20
// clears every quote.
inline constexpr int kTypicalSpreadPoints = 20;

}  // namespace zorvik
