#pragma once
// The four fixed entries of the library's Powerswitch group: counterpart copy, mirror, uniform
// symbol and uniform timeframe.
#include <array>
#include <string>
#include <string_view>

namespace zorvik {

class Workspace;

// The entries' German captions, in the order the library lists them (shown translated).
inline constexpr std::array<std::string_view, 4> kPowerswitchCaptions{
    "L=XS S=XL@3", "L=XS S=XL Systemspiegelung@3", "Alles dasselbe Instrument@3", "Alles dasselbe Intervall@3"};

enum class PowerswitchOutcome {
  Unknown,         // the text is none of the four entries
  WrongSelection,  // a copy entry with no signal-group tab selected; "nicht passende Auswahl" shown
  Declined,        // the user answered No; nothing changed
  Copied,          // groups were copied: show the selected tab's page again, refresh the tab icons
  SymbolsAsked,    // the uniform-symbol dialog ran (askEqualSymbols)
  TimeframesAsked, // the uniform-timeframe dialog ran (askEqualTimeFrames)
};

// The question asked before a copy from a tab (1..4); empty for any other tab.
std::string powerswitchQuestion(const Workspace& ws, bool mirror, int selectedTab);

// Runs the entry whose display text (the translated caption) is given, for the tab selected in
// the editor area (0 general, 1..4 the signal groups, 5 money management, 6 settings).
PowerswitchOutcome runPowerswitchEntry(Workspace& ws, std::string_view displayText, int selectedTab);

}  // namespace zorvik
