#include "editors/general_settings_editor.hpp"

#include <QLabel>

#include "editors/money_management_editor.hpp"
#include "editors/parameter_row_builder.hpp"
#include "editors/settings_editing.hpp"
#include "model/trading_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

GeneralSettingsEditor::GeneralSettingsEditor(Workspace& ws, QWidget* parent) : PartEditorBase(ws, "GForm", "general_editok", parent) {
  setObjectName("GForm");
  title()->setText(QString::fromStdString(ws_.tr("Generelle Einstellungen")));
  switchBroker = [this](int, const std::string&) { ws_.catalogue.setSymbols(ws_.language, ws_.brokerSymbols); };
}

std::string GeneralSettingsEditor::parameterSet() const { return std::string(kGeneralSet); }

void GeneralSettingsEditor::rowBuilt(int row, const std::string& key) {
  // Built so that their lists hold the system's values, then hidden; later rows keep their
  // places.
  if (isHiddenGeneralKey(key)) rows_->hideRow(row);
}

void GeneralSettingsEditor::comboChanged(int row, const QString& key, const QString& caption) {
  PartEditorBase::comboChanged(row, key, caption);
  if (key != "general_account") return;
  const auto account = accountNumberOfChoice(caption.toStdString());
  if (!account) return;
  const int kind = brokerKindOfAccount(ws_.knownAccounts, *account);
  if (switchBroker) switchBroker(kind, *account);
  if (mm_ && system_) mm_->activateControls(*system_, true);
  emit accountBrokerChosen(kind, QString::fromStdString(*account));
}

}  // namespace zorvik
