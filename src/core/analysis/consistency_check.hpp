#pragma once
// The consistency check of the current trading system: are entry long and exit short alike,
// exit long and entry short, all four groups, the two exit groups' stops; is one symbol and one
// timeframe used everywhere. The outcome is plain data (flags, the difference list and the six
// rows of the information panel) so that a window, the command line and tests read the same.
#include <array>
#include <string>
#include <string_view>

#include "analysis/strategy_lint.hpp"
#include "model/signal_group.hpp"

namespace zorvik {

class TradingSystem;
class Host;
class LanguageTable;
class Workspace;

// How loud a run is: 0 silent (the heartbeat), 1 a message per property found true and the
// difference list, 2 the difference list only.
enum class CheckMode : int { Silent = 0, Messages = 1, List = 2 };

struct CheckFlags {
  std::array<bool, 4> emptyGroup{};  // group 1..4 at index 0..3
  bool longEqualsXShort = false;     // groups 1 and 4 match
  bool shortEqualsXLong = false;     // groups 2 and 3 match
  bool allEqual = false;             // all four groups match
  bool stops = false;                // stops of groups 2 and 4 are equal
  bool symbolUniform = false;
  bool timeframeUniform = false;
  bool operator==(const CheckFlags&) const = default;
};

// The short texts the symbol and the timeframe check leave for the panel.
struct CheckTexts {
  std::string symbol;     // the traded symbol (or the symbols found, each followed by a blank)
  std::string timeframe;  // the timeframe caption, or the timeframes found joined by "/"
};

// One row of the information panel: marker colour, text and the hover-help key.
struct InfoRow {
  std::string text;
  bool green = false;
  std::string helpKey;  // looked up under kInfoHelpContext
  bool operator==(const InfoRow&) const = default;
};

inline constexpr std::string_view kInfoHelpContext = "SysInfo";
inline constexpr int kInfoRowCount = 6;

struct CheckResult {
  CheckFlags flags;
  CheckTexts texts;
  DifferenceList differences;
  // False when the system has no file name: the panel then keeps whatever it showed before.
  bool drawRows = false;
  std::array<InfoRow, kInfoRowCount> rows;
  // The strategy lint; left empty by the silent run, which must stay cheap.
  std::vector<LintFinding> lint;
};

// Runs every comparison without showing anything. With withDifferences false the difference
// list and the lint stay empty: the heartbeat runs the check ten times a second and never shows the list,
// so building its texts there would be wasted work. Flags and rows are the same either way.
CheckResult evaluateSystem(const Workspace& ws, const TradingSystem& system, bool withDifferences);

// The check as the main window runs it: evaluateSystem, then in mode 1 one message box per
// property found true, and in modes 1 and 2 the difference list in one message box, followed by
// the lint findings ("Warnung: ..." / "Hinweis: ...").
CheckResult checkSystem(const Workspace& ws, const TradingSystem& system, CheckMode mode);

// The comparisons. A null list records nothing (and may stop at the first difference);
// the result is the same. With mirrored set, b belongs to the other side of the market (L
// against XL): its oscillator levels are compared reflected, so RSI long below 30 matches
// RSI short above 70 (rules/level_mirror.hpp).
bool compareGroups(const SignalGroup& a, const SignalGroup& b, DifferenceList* list,
                       const LanguageTable& language, bool mirrored = false);
bool compareIndicators(const Indicator& a, const Indicator& b, DifferenceList* list,
                           const LanguageTable& language, bool mirrored = false);
bool compareStops(const SignalGroup& a, const SignalGroup& b, DifferenceList* list,
                     const LanguageTable& language);
bool checkSymbols(const LanguageTable& language, const TradingSystem& system, DifferenceList* list, CheckTexts& texts);
bool checkTimeframes(const Workspace& ws, const TradingSystem& system, DifferenceList* list, CheckTexts& texts);

// Shows every text of the list in one message box, each followed by CR LF; nothing when the
// joined text is empty.
void showDifferences(const DifferenceList& list, Host& host);

// The six rows of the panel for the flags and texts of one run.
std::array<InfoRow, kInfoRowCount> infoRows(const CheckFlags& flags, const CheckTexts& texts);

// Height of one row of a panel (panel height / 6, rounded).
int infoRowHeight(int panelHeight);
// The row 1..6 under a mouse position of a panel; positions outside the panel are clamped to
// the first or last row. 0 for a panel without height.
int infoRowAt(int mouseY, int panelHeight);

// Distinct symbols or timeframes are collected up to this many; the rest is summarised.
inline constexpr std::size_t kMaxCollected = 100;

}  // namespace zorvik
