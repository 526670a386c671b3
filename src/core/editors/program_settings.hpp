#pragma once
// What the program settings dialog `Einstellungen` decides without a window: the captions and
// defaults of the eight tab colours, the style list, the colour numbers shown beside the
// pickers and what each style means for the tab strips.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct Settings;

inline constexpr int kTabColourCount = 8;

// Colour numbers are the settings file's: red in the low byte, then green, then blue.
constexpr std::int32_t colourNumber(int red, int green, int blue) { return red + green * 256 + blue * 65536; }
struct RgbColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const RgbColour&) const = default;
};
// Bits above the three colour bytes are ignored.
RgbColour rgbOfColourNumber(std::int32_t number);

struct TabColourInfo {
  std::string_view caption;  // German
  std::int32_t defaultColour;
};
// Index 0..7, the colour each sets: 0/1 background of the inactive/active tab, 2 the page
// below the tabs, 3 the strip behind the tabs, 4 the tabs' border, 5 the page's border, 6/7 the
// text of the inactive/active tab.
inline constexpr std::array<TabColourInfo, kTabColourCount> kTabColours{{
    {"Inaktiver Reiter", 0xDDDDDD},
    {"Aktiver Reiter", colourNumber(221, 0, 0)},
    {"Hintergrund unten", 0xEAEAEA},
    {"Hintergrund oben", colourNumber(221, 0, 0)},
    {"Rand innen", colourNumber(221, 0, 0)},
    {"Rand aussen", 0xC0C0C0},
    {"Text inaktiv", 0},
    {"Text aktiv", 0},
}};

inline constexpr int kTabStyleCount = 8;
inline constexpr std::int32_t kDefaultTabStyle = 3;
inline constexpr std::string_view kTabColourHeading = "TAB Farben                     nur zum ausprobieren ...";

// "Stil 0" ... "Stil 7".
std::vector<std::string> tabStyleEntries();
// The text beside a colour picker: the number in decimal with a leading blank (" 14540253").
std::string colourNumberText(std::int32_t number);

// The "Default" button: the eight default colours and style entry 3.
void applyTabDefaults(Settings& settings);

// How a style draws the tab strips: styles 0..3 plain tabs with corners rounded by 0, 2, 4 and
// 6 pixels, 4..7 the same with a shaded (gradient) background. Numbers outside 0..7 draw as 0.
struct TabStyleLook {
  int cornerRadius = 0;
  bool shaded = false;
};
TabStyleLook tabStyleLook(std::int32_t style);


}  // namespace zorvik
