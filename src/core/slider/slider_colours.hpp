#pragma once
// Colour numbers of the slider: 0x00BBGGRR, the way the program stores colours. A number with
// the high bit set (0x800000nn) names a system colour nn instead of a colour value.
#include <cstdint>

namespace zorvik {

using Colour = std::uint32_t;

constexpr Colour rgbColour(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// A system colour turned into its colour value (the classic Windows defaults, so a stored
// system colour looks the same on every platform); any other number loses its top byte.
// An unknown system colour gives black rather than an error.
Colour translateColour(Colour colour);

// Splits a colour, system colours included: r = bits 0-7, g = bits 8-15, b = bits 16-23.
void GetRGB(int& r, int& g, int& b, Colour colour);

// Mixes colour2 into colour1: percentage 0 gives colour1, 100 gives colour2; outside 0..100 it
// is clamped. Each channel is rounded to the nearest integer, halves to even.
Colour BlendColors(Colour colour1, Colour colour2, double percentage);

// Colour of one horizontal line of a bar `lines` high that runs from the edge colour at the
// top through the middle colour and back to the edge colour at the bottom.
Colour barLineColour(int line, int lines, Colour edge, Colour middle);

}  // namespace zorvik
