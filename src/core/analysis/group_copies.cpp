#include "analysis/group_copies.hpp"

#include "model/trading_system.hpp"
#include "model/workspace.hpp"

namespace zorvik {

const std::array<CounterpartCopy, 4> kCounterpartCopies{{
    {"von L nach XS", {4, true}},
    {"von XL nach S", {3, false}},
    {"von S nach XL", {2, true}},
    {"von XS nach L", {1, false}},
}};

const std::array<MirrorCopy, 4> kMirrorCopies{{
    {"von L nach XS+S+XL@3", {{{4, true}, {3, false}, {2, true}}}},
    {"von XL nach S+L+XS@3", {{{3, false}, {1, false}, {4, false}}}},
    {"von S nach XL+L+XS@3", {{{2, true}, {1, false}, {4, true}}}},
    {"von XS nach L+S+XL@3", {{{1, false}, {3, false}, {2, false}}}},
}};

namespace {
bool validTab(int tab) { return tab >= 1 && tab <= 4; }
}  // namespace

void copyGroup(TradingSystem& system, int source, const CopyTarget& target) {
  if (source == target.group) return;
  SignalGroup& slot = system.group(target.group);
  const std::string sl = slot.sl, ts = slot.ts, tp = slot.tp;
  slot = system.group(source).clone();
  if (target.keepsStops) {
    slot.sl = sl;
    slot.ts = ts;
    slot.tp = tp;
  }
  slot.name = std::string(Workspace::kRoleNames[static_cast<std::size_t>(target.group - 1)]);
}

bool cloneSystem(TradingSystem& system, int selectedTab) {
  if (!validTab(selectedTab)) return false;
  copyGroup(system, selectedTab, kCounterpartCopies[static_cast<std::size_t>(selectedTab - 1)].target);
  system.workspace().host().playSound(Sound::Clone);
  return true;
}

bool mirrorSystem(TradingSystem& system, int selectedTab) {
  if (!validTab(selectedTab)) return false;
  // The source is never a target, so the order of the targets cannot change the result.
  for (const CopyTarget& t : kMirrorCopies[static_cast<std::size_t>(selectedTab - 1)].targets)
    copyGroup(system, selectedTab, t);
  system.workspace().host().playSound(Sound::Clone);
  return true;
}

void cloneStops(TradingSystem& system, int group) {
  if (group == 2 || group == 4) {
    const SignalGroup& from = system.group(group);
    SignalGroup& to = system.group(group == 2 ? 4 : 2);
    to.sl = from.sl;
    to.ts = from.ts;
    to.tp = from.tp;
  }
  system.workspace().host().playSound(Sound::Clone);
}

}  // namespace zorvik
