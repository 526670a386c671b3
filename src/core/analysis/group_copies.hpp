#pragma once
// Copying signal groups between the long and the short side: the counterpart copy, the mirror
// onto all three other groups and the stop copy between the two exit groups. The generator
// writes each group with its side's comparison direction, so a copy from L to XS fires on the
// same market and a copy from L to S or XL on the mirror image. All copies change the system in
// memory only; the next save writes them.
#include <array>
#include <string_view>

namespace zorvik {

class TradingSystem;

// One target of a copy: the group number and whether it keeps its own stops. An exit group
// keeps its stops when an entry group is copied onto it; the entry group's stops mean nothing.
struct CopyTarget {
  int group = 0;
  bool keepsStops = false;
};

// What the copy entry does for one selected tab (1..4).
struct CounterpartCopy {
  std::string_view confirmation;  // German, shown in the question
  CopyTarget target;
};
struct MirrorCopy {
  std::string_view confirmation;
  std::array<CopyTarget, 3> targets;  // in the order they are written
};

// The tables, indexed by tab - 1.
extern const std::array<CounterpartCopy, 4> kCounterpartCopies;
extern const std::array<MirrorCopy, 4> kMirrorCopies;

// Puts a deep copy of group `source` at position `target`; the target keeps its stops if asked
// and always its role name.
void copyGroup(TradingSystem& system, int source, const CopyTarget& target);

// Copies the group of the selected tab (1..4) to its counterpart (L<->XS, XL<->S), then plays
// the copy sound. Any other tab changes nothing and gives false. The caller refreshes the tab
// icons.
bool cloneSystem(TradingSystem& system, int selectedTab);
// Copies the group of the selected tab (1..4) to all three other groups, then plays the copy
// sound. Any other tab changes nothing and gives false.
bool mirrorSystem(TradingSystem& system, int selectedTab);
// Group 2: group 4 takes over the stops of group 2; group 4: group 2 takes over those of
// group 4; any other number changes nothing. The copy sound plays in every case.
void cloneStops(TradingSystem& system, int group);

}  // namespace zorvik
