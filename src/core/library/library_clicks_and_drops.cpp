// What a mouse does in the library: a click opens a system or runs a Powerswitch entry, a
// dragged part is dropped into the open system under the rules of the selected tab.
#include "analysis/powerswitch.hpp"
#include "library/library.hpp"
#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

void Library::press(const LibraryItem& record) {
  previous_ = current_;
  current_ = record;
}

LibraryOutcome Library::click(const LibraryItem& record, int selectedTab) {
  if (isGroup(record.group, libgroup::TradingSystems) && !record.fileName.empty()) {
    LibraryItem r = record;
    if (!makeCanonical(r)) return LibraryOutcome::Nothing;
    const std::int32_t formerBold = boldId_;
    if (!openSystem(ws_, r.fileName)) return LibraryOutcome::Nothing;
    // The system left behind was saved; its title may have changed while it was open.
    if (formerBold != 0 && formerBold != r.id) refreshItem(formerBold);
    setBold(r.id);
    ws_.host().playSound(Sound::Open);
    return LibraryOutcome::SystemOpened;
  }
  if (isGroup(record.group, libgroup::Powerswitch)) {
    return runPowerswitchEntry(ws_, record.display, selectedTab) == PowerswitchOutcome::Copied
               ? LibraryOutcome::PageChanged
               : LibraryOutcome::Nothing;
  }
  return LibraryOutcome::Nothing;
}

std::string Library::emptyGroupMessage(int groupId) const {
  const LibraryGroup* g = group(groupId);
  if (!g || !g->items.empty() || groupId == libgroup::NewSystem) return {};
  // Expert Advisors do not come from the ->Toolbox buttons: the hint says where they do come
  // from, and that a source without a compiler is listed as well.
  if (groupId == libgroup::ExpertAdvisors)
    return ws_.tr("Es sind noch keine Expert Advisors vorhanden.") + "\r\n" +
           ws_.tr(
               "Ein Expert Advisor entsteht mit dem Menü Expert Advisor > jetzt erzeugen. Ohne Compiler steht "
               "hier sein Quelltext, zum Ansehen per Klick.");
  // Translated piece by piece: the caption in the middle is already in the shown language.
  std::string text = groupId == libgroup::Trash
                         ? ws_.tr("Es sind noch keine Ablagen in der Toolbox vorhanden")
                         : ws_.tr("Es sind noch keine") + " " + g->caption + " " + ws_.tr("in der Toolbox vorhanden");
  return text + "\r\n" + ws_.tr("Die Toolbox wird gefüllt, indem man im Handelssystem auf") + "\r\n" +
         ws_.tr("den ->Toolbox Button klickt und eine Auswahl trifft ...");
}

bool Library::mayDrag(const LibraryItem& record) const {
  if (ws_.system().systemFileName.empty()) {
    ws_.message("Bitte zuerst ein Handelssystem öffnen");
    return false;
  }
  if (record.fileName.empty()) return false;
  return !isGroup(record.group, libgroup::TradingSystems) && !isGroup(record.group, libgroup::Powerswitch) &&
         !isGroup(record.group, libgroup::ExpertAdvisors);
}

LibraryOutcome Library::drop(const LibraryItem& record, int selectedTab) {
  ws_.host().playSound(Sound::Drop);
  if (ws_.system().systemFileName.empty()) {
    ws_.message("Bitte zuerst ein Handelssystem öffnen");
    return LibraryOutcome::Nothing;
  }
  const bool signalTab = groupRoleOf(selectedTab).has_value();
  std::string_view code;
  if (isGroup(record.group, libgroup::TradingSystems)) {
    ws_.message("Bitte System durch Anklicken öffnen statt Drag&Drop !");
    return LibraryOutcome::Nothing;
  } else if (isGroup(record.group, libgroup::SignalGroups) || isGroup(record.group, libgroup::IndicatorGroups) ||
             isGroup(record.group, libgroup::Indicators)) {
    if (!signalTab) {
      ws_.message("Es kann nur auf L / XL / S / XS gedroppt werden !");
      return LibraryOutcome::Nothing;
    }
    code = isGroup(record.group, libgroup::SignalGroups)      ? "SGR"
           : isGroup(record.group, libgroup::IndicatorGroups) ? "IGR"
                                                              : "IND";
  } else if (isGroup(record.group, libgroup::MoneyManagement)) {
    code = "MM";
  } else if (isGroup(record.group, libgroup::Stops)) {
    if (selectedTab != 2 && selectedTab != 4) {
      ws_.message("Es kann nur auf XL oder XS gedroppt werden !");
      return LibraryOutcome::Nothing;
    }
    code = "STOP";
  } else if (isGroup(record.group, libgroup::Trash)) {
    ws_.message("Das Bauteil muß zuerst wiederhergestellt werden !");
    return LibraryOutcome::Nothing;
  } else {
    return LibraryOutcome::Nothing;
  }
  if (record.fileName.empty()) return LibraryOutcome::Nothing;
  LibraryItem r = record;
  if (!makeCanonical(r)) return LibraryOutcome::Nothing;
  return readComponent(ws_, ws_.system(), componentPath(ws_.userFolder(), r.fileName), code, selectedTab) ? LibraryOutcome::PageChanged
                                                                                         : LibraryOutcome::Nothing;
}

}  // namespace zorvik
