#pragma once
// The toolbox export: stores a part of the open trading system as a component file in the
// library under a name and with a comment the user typed. What the dialog `ExportPartDialog`
// decides without a window: the eight choices, which one a kind preselects, the checks before
// writing with their messages, the file written and the refresh of the library.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class Workspace;

// The choices of the dialog in the order of its option buttons `Option1(0..7)`.
enum class ToolboxChoice {
  System = 0,
  SignalGroups = 1,
  IndicatorGroup = 2,
  SelectedIndicators = 3,
  Indicator = 4,
  MoneyManagement = 5,
  Stops = 6,
  AnyParameter = 7,
};
inline constexpr int kToolboxChoiceCount = 8;

struct ToolboxChoiceInfo {
  std::string_view caption;    // German, with its language tag
  std::string_view kind;       // the opening kind that preselects it; "" for none
  std::string_view extension;  // of the file written; "" when nothing is written
};
inline constexpr std::array<ToolboxChoiceInfo, kToolboxChoiceCount> kToolboxChoices{{
    {"Das gesamte Handelssystem@6", "Handelssystem", ".hsy.txt"},
    {"Die gesamte Signalgruppe@6", "Signalgruppe", ".sgr.txt"},
    {"Die gesamte aktuelle Indikatorengruppe@6", "Indikatorengruppe", ".igr.txt"},
    {"Die ausgewählten Indikatoren als Gruppe@6", "MultiIndikator", ".igr.txt"},
    {"Der aktuelle Indikator@6", "Indikator", ".ind.txt"},
    {"Das aktuelle Moneymanagement@6", "MM", ".mm.txt"},
    {"Die aktuelle Stopeinstellung@6", "STOP", ".stp.txt"},
    {"Einen beliebigen Parameter@6", "", ""},
}};

inline constexpr std::string_view kToolboxCaption = "In die Toolbox ...@6";

// The choice an opening kind selects; -1 (no option selected) for "" and any unknown kind.
// Kinds are compared exactly, as the editors pass them.
int preselectedChoice(std::string_view kind);

// What the main window and the signal group editor show while the dialog is open.
struct ToolboxSituation {
  int tab = -1;  // selected tab of the editor area: 1..4 the groups L, XL, S, XS
  // 1-based positions of the indicators selected in the signal group editor's list, in list
  // order, and the one the list's cursor is on (0: none selected).
  std::vector<int> selected;
  int current = 0;
};

enum class ToolboxOutcome {
  Written,      // the file was written
  Refused,      // a check failed; the user was told why, nothing was written
  NothingToDo,  // no choice, or a choice that exports nothing
  WriteFailed,  // the file could not be written; the user was told, the old file stands
};

struct ToolboxResult {
  ToolboxOutcome outcome = ToolboxOutcome::NothingToDo;
  std::filesystem::path file;  // the file written or attempted
};

// The file name a typed name gives for a choice: blanks at both ends dropped and the choice's
// extension appended, unless the name already ends with it. "" when the choice writes nothing
// or the name is empty.
std::string toolboxFileName(std::string_view typedName, int choice);

// One opening of the dialog: counts its exports, so that closing it refreshes the library
// once more after anything was written.
class ToolboxExport {
 public:
  ToolboxExport(Workspace& ws, ToolboxSituation situation);

  // "in die Toolbox!": checks and writes the chosen part (choice -1 for none). Messages,
  // status text, event sound and library refresh reach the user through the workspace's host.
  ToolboxResult exportPart(int choice, std::string_view name, std::string_view comment);
  // "abbrechen": refreshes the library when at least one export took place.
  void close();

  int exports() const { return exports_; }
  const ToolboxSituation& situation() const { return situation_; }

 private:
  Workspace& ws_;
  ToolboxSituation situation_;
  int exports_ = 0;
};

}  // namespace zorvik
