#include "editors/toolbox_export.hpp"

#include <algorithm>
#include <optional>

#include "editors/signal_group_editing.hpp"
#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/trading_system.hpp"
#include "text/strings.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

bool isGroupTab(int tab) { return groupRoleOf(tab).has_value(); }

}  // namespace

int preselectedChoice(std::string_view kind) {
  if (kind.empty()) return -1;
  for (int i = 0; i < kToolboxChoiceCount; ++i)
    if (kToolboxChoices[static_cast<std::size_t>(i)].kind == kind) return i;
  return -1;
}

std::string toolboxFileName(std::string_view typedName, int choice) {
  if (choice < 0 || choice >= kToolboxChoiceCount) return {};
  const std::string_view extension = kToolboxChoices[static_cast<std::size_t>(choice)].extension;
  std::string name = trim(typedName);
  if (extension.empty() || name.empty()) return {};
  // "Trend.ind.txt" typed for an indicator names the file "Trend.ind.txt", not a doubled ending;
  // the ending is written as the library spells it, or the listing would not know the kind.
  if (endsWith(toLower(name), extension) && name.size() > extension.size())
    name.resize(name.size() - extension.size());
  return name + std::string(extension);
}

ToolboxExport::ToolboxExport(Workspace& ws, ToolboxSituation situation) : ws_(ws), situation_(std::move(situation)) {}

ToolboxResult ToolboxExport::exportPart(int choice, std::string_view name, std::string_view comment) {
  const std::string trimmed = trim(name);
  if (trimmed.empty()) {
    ws_.message("Es muß ein Name angegeben werden (ohne Endung)!");
    return {ToolboxOutcome::Refused, {}};
  }
  // A control character in a file name is legal on Linux but breaks the library's one-line
  // listing and every copy to a Windows folder; written as an escape ("%0A") it would come
  // back from the listing as one.
  if (decodesToControlCharacter(trimmed)) {
    ws_.message("Der Name enthält unzulässige Zeichen !");
    return {ToolboxOutcome::Refused, {}};
  }
  const auto c = static_cast<ToolboxChoice>(choice);
  if (choice < 0 || choice >= kToolboxChoiceCount || c == ToolboxChoice::AnyParameter) return {};

  TradingSystem& system = ws_.system();
  const int tab = situation_.tab;
  const bool needsGroup =
      c == ToolboxChoice::IndicatorGroup || c == ToolboxChoice::SelectedIndicators || c == ToolboxChoice::Indicator;
  if ((needsGroup && !isGroupTab(tab)) || (c == ToolboxChoice::Stops && !isExitGroup(tab))) {
    ws_.message("bitte zuerst die Karte anklicken !@6");
    return {ToolboxOutcome::Refused, {}};
  }

  // Positions that really lie in the group: the list may be stale after a change elsewhere.
  std::vector<int> selected;
  if (isGroupTab(tab))
    for (int n : situation_.selected)
      if (n >= 1 && n <= system.group(tab).count()) selected.push_back(n);

  if ((c == ToolboxChoice::IndicatorGroup || c == ToolboxChoice::SelectedIndicators) && system.group(tab).count() == 0) {
    ws_.message("Es sind noch gar keine Indikatoren angelegt !");
    return {ToolboxOutcome::Refused, {}};
  }
  // An empty selection would give an indicator group file without indicators.
  if ((c == ToolboxChoice::Indicator || c == ToolboxChoice::SelectedIndicators) && selected.empty()) {
    ws_.message("Bitte zuerst einen Indikator in der Liste wählen !@6");
    return {ToolboxOutcome::Refused, {}};
  }

  const std::string fileName = toolboxFileName(trimmed, choice);
  const std::filesystem::path file = componentPath(ws_.userFolder(), fileName);
  std::string error;
  bool written = false;
  // A whole system stored in the library is a second system: it gets its own magic number, or
  // the two Expert Advisors would take each other's orders. The number is chosen and the file
  // written under the lock.
  std::optional<MagicNumberLock> magicLock;
  std::string copyMagic;
  switch (c) {
    case ToolboxChoice::System: {
      magicLock.emplace(ws_);
      const auto magic = handOutMagicNumber(ws_);
      if (!magic) return {ToolboxOutcome::Refused, {}};
      TradingSystem copy = system;
      copy.setParameter("general_magic", *magic);
      written = writeSystemFile(copy, file, &error);
      copyMagic = *magic;
      break;
    }
    case ToolboxChoice::SignalGroups:
      written = writeSignalGroupsFile(system, file, comment, &error);
      break;
    case ToolboxChoice::IndicatorGroup:
      written = writeIndicatorGroupFile(system.group(tab), file, comment, nullptr, &error);
      break;
    case ToolboxChoice::SelectedIndicators:
      written = writeIndicatorGroupFile(system.group(tab), file, comment, &selected, &error);
      break;
    case ToolboxChoice::Indicator: {
      const bool currentSelected =
          std::find(selected.begin(), selected.end(), situation_.current) != selected.end();
      const int number = currentSelected ? situation_.current : selected.front();
      written = writeIndicatorFile(system.group(tab).indicator(number), file, comment, &error);
      break;
    }
    case ToolboxChoice::MoneyManagement:
      written = writeMoneyManagementFile(system.mm, file, comment, &error);
      break;
    case ToolboxChoice::Stops:
      written = writeStopsFile(system.group(tab), file, comment, &error);
      break;
    case ToolboxChoice::AnyParameter:
      break;
  }
  if (!written) {
    // Reported, never counted: the user must not believe the part is in the library.
    ws_.message("Das Bauteil konnte nicht gespeichert werden: ", error.empty() ? file.string() : error);
    return {ToolboxOutcome::WriteFailed, file};
  }
  ++exports_;
  if (!copyMagic.empty()) tellCopyGotMagicNumber(ws_, copyMagic);
  ws_.host().status(ws_.tr("toolbox export"));
  ws_.host().eventSound("toolbox export");
  ws_.host().refreshLibrary();
  return {ToolboxOutcome::Written, file};
}

void ToolboxExport::close() {
  if (exports_ > 0) ws_.host().refreshLibrary();
}

}  // namespace zorvik
