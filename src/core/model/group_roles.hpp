#pragma once
// The four signal groups of a trading system and everything fixed about each of them: the
// short name the files and the Expert Advisor use, the caption, the section name in component
// files, the group it is mirrored to, the exit group that shares its stops, and its side.
// Group numbers are 1-based everywhere in the program, in this order.
#include <array>
#include <optional>
#include <string_view>

namespace zorvik {

enum class GroupRole { EntryLong = 1, ExitLong = 2, EntryShort = 3, ExitShort = 4 };

inline constexpr int kGroupCount = 4;

struct GroupRoleInfo {
  GroupRole role;
  std::string_view name;     // "L", "XL", "S", "XS"
  std::string_view caption;  // German, as the editor tabs and messages show it (translated)
  std::string_view section;  // the group's section in a system file
  GroupRole counterpart;     // where the counterpart copy goes: the other side, entry <-> exit
  std::optional<GroupRole> stopPartner;  // the other exit group; none for an entry group
  bool isLong;
  bool isExit;
};

inline constexpr std::array<GroupRoleInfo, kGroupCount> kGroupRoles{{
    {GroupRole::EntryLong, "L", "LONG@1", "entrylong", GroupRole::ExitShort, std::nullopt, true, false},
    {GroupRole::ExitLong, "XL", "EXIT LONG@1", "exitlong", GroupRole::EntryShort, GroupRole::ExitShort, true, true},
    {GroupRole::EntryShort, "S", "SHORT@1", "entryshort", GroupRole::ExitLong, std::nullopt, false, false},
    {GroupRole::ExitShort, "XS", "EXIT SHORT@1", "exitshort", GroupRole::EntryLong, GroupRole::ExitLong, false, true},
}};

constexpr int groupNumber(GroupRole role) { return static_cast<int>(role); }
constexpr const GroupRoleInfo& roleInfo(GroupRole role) {
  return kGroupRoles[static_cast<std::size_t>(groupNumber(role) - 1)];
}
// The role of a group number 1..4; nullopt for any other number.
constexpr std::optional<GroupRole> groupRoleOf(int group) {
  if (group < 1 || group > kGroupCount) return std::nullopt;
  return static_cast<GroupRole>(group);
}
// The role with that short name ("L", "XL", "S", "XS", exact case); nullopt for any other text.
constexpr std::optional<GroupRole> groupRoleNamed(std::string_view name) {
  for (const GroupRoleInfo& r : kGroupRoles)
    if (r.name == name) return r.role;
  return std::nullopt;
}
constexpr bool isExitGroup(int group) {
  const auto role = groupRoleOf(group);
  return role && roleInfo(*role).isExit;
}
// The group of the same kind (entry or exit) on the other side: L <-> S, XL <-> XS.
constexpr GroupRole oppositeSide(GroupRole role) {
  for (const GroupRoleInfo& r : kGroupRoles)
    if (r.isExit == roleInfo(role).isExit && r.isLong != roleInfo(role).isLong) return r.role;
  return role;
}
// A group buys on a rising market when it opens a long or closes a short position.
constexpr bool signalsOnRisingMarket(GroupRole role) { return roleInfo(role).isLong != roleInfo(role).isExit; }

}  // namespace zorvik
