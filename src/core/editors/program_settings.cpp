#include "editors/program_settings.hpp"

#include "model/settings.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {

RgbColour rgbOfColourNumber(std::int32_t number) {
  const auto n = static_cast<std::uint32_t>(number);
  return {static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF)};
}

std::vector<std::string> tabStyleEntries() {
  std::vector<std::string> out;
  for (int i = 0; i < kTabStyleCount; ++i) out.push_back("Stil " + intText(i));
  return out;
}

std::string colourNumberText(std::int32_t number) { return " " + intText(number); }

void applyTabDefaults(Settings& settings) {
  for (std::size_t i = 0; i < kTabColours.size(); ++i) settings.tabColours[i] = kTabColours[i].defaultColour;
  settings.tabStyle = kDefaultTabStyle;
}

TabStyleLook tabStyleLook(std::int32_t style) {
  if (style < 0 || style >= kTabStyleCount) style = 0;
  return {static_cast<int>(style % 4) * 2, style >= 4};
}


}  // namespace zorvik
