#include "analysis/group_copies.hpp"

#include "model/trading_system.hpp"
#include "rules/level_mirror.hpp"

namespace zorvik {
namespace {

void copyGroup(TradingSystem& system, int source, int target) {
  if (source == target) return;  // the source of a copy to all groups is among the targets
  SignalGroup& slot = system.group(target);
  const std::string sl = slot.sl, ts = slot.ts, tp = slot.tp;
  slot = system.group(source).clone();
  // Onto the other side of the market the same stored level would test the opposite extreme
  // of the scale; reflected, the copy fires on the mirror image of the source's conditions.
  if (signalsOnRisingMarket(kGroupRoles[static_cast<std::size_t>(source - 1)].role) !=
      signalsOnRisingMarket(kGroupRoles[static_cast<std::size_t>(target - 1)].role))
    for (Indicator& ind : slot.indicators()) ind = mirroredIndicator(ind);
  if (kTargetKeepsStops[static_cast<std::size_t>(source - 1)][static_cast<std::size_t>(target - 1)]) {
    slot.sl = sl;
    slot.ts = ts;
    slot.tp = tp;
  }
  slot.name = std::string(kGroupRoles[static_cast<std::size_t>(target - 1)].name);
}

}  // namespace

bool copyToCounterpart(TradingSystem& system, int group) {
  const auto role = groupRoleOf(group);
  if (!role) return false;
  copyGroup(system, group, groupNumber(roleInfo(*role).counterpart));
  return true;
}

bool copyToAllGroups(TradingSystem& system, int group) {
  if (!groupRoleOf(group)) return false;
  // The source itself is skipped, so the order of the targets cannot change the result.
  for (int target = 1; target <= kGroupCount; ++target) copyGroup(system, group, target);
  return true;
}

bool copyStopsToPartner(TradingSystem& system, int group) {
  const auto role = groupRoleOf(group);
  if (!role || !roleInfo(*role).stopPartner) return false;
  const SignalGroup& from = system.group(group);
  SignalGroup& to = system.group(groupNumber(*roleInfo(*role).stopPartner));
  to.sl = from.sl;
  to.ts = from.ts;
  to.tp = from.tp;
  return true;
}

}  // namespace zorvik
