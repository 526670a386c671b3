#pragma once
// Copying signal groups between the long and the short side: the counterpart copy, the copy
// onto all three other groups and the stop copy between the two exit groups. The generator
// writes each group with its side's comparison direction, so a copy from L to XS fires on the
// same market and keeps every value; a copy from L to S or XL fires on the mirror image, and
// for that the levels of the oscillators are reflected (rules/level_mirror.hpp). All copies change the system in
// memory only; the next save writes them. They make no sound themselves: the caller plays
// Sound::Clone (the Powerswitch entries and the editor's copy buttons do).
#include <array>

#include "model/group_roles.hpp"

namespace zorvik {

class TradingSystem;

// Whether the target group keeps its own stops when the source group is copied onto it,
// indexed [source - 1][target - 1]. An exit group keeps its stops when an entry group is copied
// onto it, since an entry group's stops mean nothing; every other copy takes the source's
// stops along. The Powerswitch entries, the editor's copy button and the command line all copy
// by this one table.
inline constexpr std::array<std::array<bool, kGroupCount>, kGroupCount> kTargetKeepsStops{{
    //  L      XL     S      XS      <- target
    {false, true, false, true},     // from L
    {false, false, false, false},   // from XL
    {false, true, false, true},     // from S
    {false, false, false, false},   // from XS
}};

// Each copy is deep; a target keeps its stops as kTargetKeepsStops says and always its name.

// Copies the group (1..4) to its counterpart (L<->XS, XL<->S). Any other number changes
// nothing and gives false. The caller refreshes the tab icons.
bool copyToCounterpart(TradingSystem& system, int group);
// Copies the group (1..4) to all three other groups. Any other number changes nothing and
// gives false.
bool copyToAllGroups(TradingSystem& system, int group);
// An exit group (2 or 4) hands its stops to the other exit group; true then. Any other number
// changes nothing and gives false.
bool copyStopsToPartner(TradingSystem& system, int group);

}  // namespace zorvik
