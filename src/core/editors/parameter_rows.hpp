#pragma once
// The rules every parameter row of the editors follows, kept apart from the widgets: which row
// a catalogue kind gives, where the three columns sit, how a value becomes slider positions
// and text and back, and which entries a choice row offers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct ParameterCoding;
class Workspace;

enum class RowKind { Slider, Text, MultiText, Combo };

// "-" or empty: slider; "!": text; "&": multi-line text; any other text names a value list.
RowKind rowKindOf(std::string_view kind);

// The column set shared by all row builders.
struct ColumnSet {
  int margin = 16;        // left and right outer margin
  int gap = 8;            // space between columns
  int valueWidth = 106;   // third column
  int captionWidth = 112; // first column
  bool operator==(const ColumnSet&) const = default;
};
inline constexpr ColumnSet kCompactColumns{4, 4, 70, 70};
inline constexpr ColumnSet kWideColumns{16, 8, 106, 112};
// Below 341 the compact set, otherwise the wide one.
ColumnSet columnSetFor(int widthMeasure);
// The set a row container uses: the program-wide set, but the compact one in a container
// narrower than 341, where the wide margins would leave the middle column (slider, list) no
// room. A window made small after start-up thus stays usable.
ColumnSet columnSetForContainer(const ColumnSet& programWide, int containerWidth);

inline constexpr int kFirstRowTop = 15;
inline constexpr int kRowStep = 30;

// The three columns of a row in a container of the given inner width. The middle column takes
// what the other two leave and is 0 wide when nothing is left.
struct RowColumns {
  int captionX = 0, captionWidth = 0;
  int middleX = 0, middleWidth = 0;
  int valueX = 0, valueWidth = 0;
};
RowColumns rowColumns(const ColumnSet& set, int scaleWidth);

// ---- Numbers of slider rows. A slider position is the value times the scale (a scale of 0
// means positions are the values). Positions are 16-bit integers.

int effectiveScale(std::int32_t scale);

struct SliderRange {
  int min = 0;
  int max = 0;
  int smallChange = 1;
  int value = 0;
  bool operator==(const SliderRange&) const = default;
};
SliderRange sliderRangeFor(const ParameterCoding& p, std::string_view value);

// What the text box shows for a stored value: the zero text for "0" when there is one.
std::string displayedValue(std::string_view value, std::string_view zeroText);
// The text of a slider position: position / scale in the invariant number form.
std::string sliderText(int position, int scale);
// The slider position a typed text stands for: its leading number times the scale, rounded
// half to even and kept within 16 bits. The zero text stands for 0.
int positionOfText(std::string_view text, int scale, std::string_view zeroText);
// The value a typed text is stored as: the zero text is stored as "0", anything else as typed.
std::string storedValueOfText(std::string_view text, std::string_view zeroText);

// ---- Choice rows.

// The display texts a choice row of this key offers: the Symbols list for the symbol keys,
// the definition table's captions in the current language for the keys with a table list.
// nullopt for a key without a list rule.
std::optional<std::vector<std::string>> comboEntries(const Workspace& ws, std::string_view key);
// The display text of a stored value: the caption of the table entry with that id, else the
// value itself.
std::string comboDisplayText(const Workspace& ws, std::string_view key, std::string_view value);
// The 0-based entry to select: the first one showing the display text; else, for a value
// "#n", entry n when it exists; else the first one (0, or -1 for an empty list).
int comboSelection(const std::vector<std::string>& entries, std::string_view displayText, std::string_view value);
// The id a chosen display text is stored as.
std::string comboChosenId(const Workspace& ws, std::string_view key, std::string_view caption);

}  // namespace zorvik
