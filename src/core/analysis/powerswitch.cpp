#include "analysis/powerswitch.hpp"

#include "analysis/group_copies.hpp"
#include "analysis/uniform_symbols.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

// What the copy question names as source and targets, per source group; German, translated
// when shown.
struct CopyConfirmation {
  std::string_view counterpart;
  std::string_view allGroups;
};
constexpr std::array<CopyConfirmation, kGroupCount> kCopyConfirmations{{
    {"von L nach XS", "von L nach XS+S+XL@3"},
    {"von XL nach S", "von XL nach S+L+XS@3"},
    {"von S nach XL", "von S nach XL+L+XS@3"},
    {"von XS nach L", "von XS nach L+S+XL@3"},
}};

}  // namespace

std::string powerswitchQuestion(const Workspace& ws, bool mirror, int selectedTab) {
  if (!groupRoleOf(selectedTab)) return {};
  const CopyConfirmation& c = kCopyConfirmations[static_cast<std::size_t>(selectedTab - 1)];
  const std::string_view confirmation = mirror ? c.allGroups : c.counterpart;
  return ws.tr("Wollen Sie wirklich die Einstellungen") + " " + ws.tr(confirmation) + " " + ws.tr("kopieren ?");
}

PowerswitchOutcome runPowerswitchEntry(Workspace& ws, std::string_view displayText, int selectedTab) {
  const bool counterpart = displayText == ws.tr(kPowerswitchCaptions[0]);
  const bool mirror = displayText == ws.tr(kPowerswitchCaptions[1]);
  if (counterpart || mirror) {
    // Tabs 5 and 6 hold no signal group; they are refused like the general tab.
    if (!groupRoleOf(selectedTab)) {
      ws.message("nicht passende Auswahl");
      return PowerswitchOutcome::WrongSelection;
    }
    if (!ws.host().askYesNo(powerswitchQuestion(ws, mirror, selectedTab))) return PowerswitchOutcome::Declined;
    if (mirror)
      copyToAllGroups(ws.system(), selectedTab);
    else
      copyToCounterpart(ws.system(), selectedTab);
    ws.host().playSound(Sound::Clone);
    return PowerswitchOutcome::Copied;
  }
  if (displayText == ws.tr(kPowerswitchCaptions[2])) {
    askEqualSymbols(ws);
    return PowerswitchOutcome::SymbolsAsked;
  }
  if (displayText == ws.tr(kPowerswitchCaptions[3])) {
    askEqualTimeFrames(ws);
    return PowerswitchOutcome::TimeframesAsked;
  }
  return PowerswitchOutcome::Unknown;
}

}  // namespace zorvik
