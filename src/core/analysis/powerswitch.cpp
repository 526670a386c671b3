#include "analysis/powerswitch.hpp"

#include "analysis/group_copies.hpp"
#include "brokers/uniform_symbols.hpp"
#include "model/workspace.hpp"

namespace zorvik {

std::string powerswitchQuestion(const Workspace& ws, bool mirror, int selectedTab) {
  if (selectedTab < 1 || selectedTab > 4) return {};
  const auto i = static_cast<std::size_t>(selectedTab - 1);
  const std::string_view confirmation = mirror ? kMirrorCopies[i].confirmation : kCounterpartCopies[i].confirmation;
  return ws.tr("Wollen Sie wirklich die Einstellungen") + " " + ws.tr(confirmation) + " " + ws.tr("kopieren ?");
}

PowerswitchOutcome runPowerswitchEntry(Workspace& ws, std::string_view displayText, int selectedTab) {
  const bool counterpart = displayText == ws.tr(kPowerswitchCaptions[0]);
  const bool mirror = displayText == ws.tr(kPowerswitchCaptions[1]);
  if (counterpart || mirror) {
    // Tabs 5 and 6 hold no signal group; they are refused like the general tab.
    if (selectedTab < 1 || selectedTab > 4) {
      ws.message("nicht passende Auswahl");
      return PowerswitchOutcome::WrongSelection;
    }
    if (!ws.host().askYesNo(powerswitchQuestion(ws, mirror, selectedTab))) return PowerswitchOutcome::Declined;
    if (mirror)
      mirrorSystem(ws.system(), selectedTab);
    else
      cloneSystem(ws.system(), selectedTab);
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
