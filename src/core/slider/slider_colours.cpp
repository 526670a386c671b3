#include "slider/slider_colours.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "text/numbers.hpp"

namespace zorvik {

namespace {

// Windows' standard scheme, indexed by the system colour number (COLOR_SCROLLBAR = 0 ...).
constexpr std::array<Colour, 31> kSystemColours = {
    rgbColour(200, 200, 200),  // scroll bar
    rgbColour(0, 0, 0),        // desktop
    rgbColour(153, 180, 209),  // active caption
    rgbColour(191, 205, 219),  // inactive caption
    rgbColour(240, 240, 240),  // menu
    rgbColour(255, 255, 255),  // window
    rgbColour(100, 100, 100),  // window frame
    rgbColour(0, 0, 0),        // menu text
    rgbColour(0, 0, 0),        // window text
    rgbColour(0, 0, 0),        // caption text
    rgbColour(180, 180, 180),  // active border
    rgbColour(244, 247, 252),  // inactive border
    rgbColour(171, 171, 171),  // application workspace
    rgbColour(0, 120, 215),    // highlight
    rgbColour(255, 255, 255),  // highlight text
    rgbColour(240, 240, 240),  // button face
    rgbColour(160, 160, 160),  // button shadow
    rgbColour(109, 109, 109),  // grey text
    rgbColour(0, 0, 0),        // button text
    rgbColour(0, 0, 0),        // inactive caption text
    rgbColour(255, 255, 255),  // 3D highlight
    rgbColour(105, 105, 105),  // 3D dark shadow
    rgbColour(227, 227, 227),  // 3D light
    rgbColour(0, 0, 0),        // tool tip text
    rgbColour(255, 255, 225),  // tool tip background
    rgbColour(0, 0, 0),        // (unused)
    rgbColour(0, 102, 204),    // hot light
    rgbColour(185, 209, 234),  // gradient active caption
    rgbColour(215, 228, 242),  // gradient inactive caption
    rgbColour(0, 120, 215),    // menu highlight
    rgbColour(240, 240, 240),  // menu bar
};

}  // namespace

Colour translateColour(Colour colour) {
  if ((colour & 0xFF000000u) == 0x80000000u) {
    const Colour index = colour & 0x00FFFFFFu;
    return index < kSystemColours.size() ? kSystemColours[index] : 0;
  }
  return colour & 0x00FFFFFFu;
}

void GetRGB(int& r, int& g, int& b, Colour colour) {
  const Colour c = translateColour(colour);
  r = static_cast<int>(c & 0xFF);
  g = static_cast<int>((c >> 8) & 0xFF);
  b = static_cast<int>((c >> 16) & 0xFF);
}

Colour BlendColors(Colour colour1, Colour colour2, double percentage) {
  // NaN compares false both ways; treat it as no blending rather than letting it reach a cast.
  const double p = std::isnan(percentage) ? 0.0 : std::clamp(percentage, 0.0, 100.0);
  int r1 = 0, g1 = 0, b1 = 0, r2 = 0, g2 = 0, b2 = 0;
  GetRGB(r1, g1, b1, colour1);
  GetRGB(r2, g2, b2, colour2);
  const auto mix = [p](int a, int b) {
    return static_cast<int>(roundHalfEven(a + (b - a) * p / 100.0));
  };
  return rgbColour(mix(r1, r2), mix(g1, g2), mix(b1, b2));
}

Colour barLineColour(int line, int lines, Colour edge, Colour middle) {
  if (lines <= 1) return middle;
  // Distance from the centre line, 0 in the middle and 1 on the outermost lines.
  const double half = (lines - 1) / 2.0;
  const double distance = std::min(1.0, std::abs(line - half) / half);
  return BlendColors(edge, middle, (1.0 - distance) * 100.0);
}

}  // namespace zorvik
