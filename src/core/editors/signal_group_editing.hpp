#pragma once
// What the signal group editor does to a group, without a window: the rows of its indicator
// list with shares and times, sorting by a column, adding and removing indicators, the edit of
// one indicator with its saved copy, stop and threshold rows, and the captions of its copy
// buttons (the copies themselves are in analysis/group_copies.hpp).
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/group_roles.hpp"
#include "model/indicator.hpp"

namespace zorvik {

class SignalGroup;
class LanguageTable;
class Workspace;

// ---- The copy buttons.
// "Dieses STOP nach XS kopieren" and "Diese L-Einstellungen nach XS kopieren", translated;
// empty for a number outside 1..4.
std::string stopCopyCaption(const LanguageTable& language, int group);
std::string settingsCopyCaption(const LanguageTable& language, int group);

// ---- The indicator list.
inline constexpr int kListColumns = 5;
// The German captions of the five columns.
inline constexpr std::array<std::string_view, kListColumns> kListColumnCaptions{
    "Aktivierte Indikatoren", "letzte Änderung", "Parameter", "Signalwert", "Nummer"};

struct IndicatorListRow {
  std::array<std::string, kListColumns> columns;
  int number = 0;  // the indicator's position in the group, the item's tag
};

// Sum of the signal values, rounded to an integer after each addition.
long long signalTotal(const SignalGroup& group);
// "4.12.2026 09:05"; "" for 0.
std::string editTimeLabel(double daySerial);
// x cut down to one or two decimals, in the invariant number form.
std::string fnk1(double x);
std::string fnk2(double x);
// "1 von 3=33.33%". With a total of 0 the share is shown as 0.
std::string shareText(const LanguageTable& language, std::string_view valueText, long long total);
// " # 1"
std::string numberText(int number);
IndicatorListRow listRow(const LanguageTable& language, const Indicator& indicator, int number, long long total);
std::vector<IndicatorListRow> listRows(const LanguageTable& language, const SignalGroup& group);

// Sorting by a column: the first click on a column sorts ascending and shows "up"; a click on
// the column showing "up" sorts descending and shows "down". Other columns lose their icon.
enum class SortIcon { None, Up, Down };
class ListSorting {
 public:
  // Records a click on a column header (0-based).
  void click(int column);
  SortIcon icon(int column) const;
  int column() const { return column_; }  // -1 while unsorted
  bool ascending() const { return icon(column_) != SortIcon::Down; }
  // The rows in display order: stable, by the text of the sorted column.
  std::vector<IndicatorListRow> apply(std::vector<IndicatorListRow> rows) const;

 private:
  int column_ = -1;
  std::array<SortIcon, kListColumns> icons_{};
};

// ---- Changing the group.

// A new indicator of the type with the catalogue defaults of its parameters and
// "lastedittime" = now (a day serial).
Indicator newIndicatorWithDefaults(const Workspace& ws, std::string_view type, double nowSerial);

// The kind of a toolbox export for a list selection: one item "Indikator", all items
// "Indikatorengruppe", any other number "MultiIndikator", none "".
std::string toolboxKindOfSelection(int selected, int total);

// A row of the stops or settings panel: "stop_sl", "stop_tp", "stop_ts", "threshold".
// Returns false for any other key.
bool storeGroupValue(SignalGroup& group, std::string_view key, std::string value);
std::string groupValue(const SignalGroup& group, std::string_view key);

// The edit of one indicator: a copy is taken when it starts; when it finishes the changes
// stand (accepted) or the copy is put back.
class IndicatorEdit {
 public:
  // 1 after "übernehmen", 0 after "verwerfen"; shared by the two editors.
  int editResult = 0;
  // Set while the group editor finishes an edit.
  bool finishing = false;

  void start(const SignalGroup& group, int number);
  bool copyValid() const { return copy_.has_value(); }
  int number() const { return number_; }
  // True when the edited indicator no longer equals the copy taken at the start.
  bool changed(const SignalGroup& group) const;
  // Stamps "lastedittime" of the edited indicator, then keeps the changes (editResult 1: the
  // group's OK flag becomes 1) or puts the copy back. The copy always goes back to the
  // indicator it was taken from, whatever the list shows selected meanwhile. False when a
  // discard found no copy (the indicator then stays as edited) or nothing was being edited.
  bool finish(SignalGroup& group, double nowSerial);

 private:
  std::optional<Indicator> copy_;
  int number_ = 0;
};

}  // namespace zorvik
