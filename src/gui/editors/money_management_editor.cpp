#include "editors/money_management_editor.hpp"

#include <QLabel>
#include <QPushButton>

#include "editors/parameter_row_builder.hpp"
#include "editors/settings_editing.hpp"
#include "model/trading_system.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

MoneyManagementEditor::MoneyManagementEditor(Workspace& ws, QWidget* parent) : PartEditorBase(ws, "MMFORM", "mm_editok", parent) {
  setObjectName("MMForm");
  title()->setText(QString::fromStdString(ws_.tr("Moneymanagement@5")));
  toolboxButton_ = new QPushButton(QString::fromStdString(ws_.tr("->Toolbox")), rowsPanel());
  toolboxButton_->setObjectName("Command1");
  toolboxButton_->hide();
  spacer_ = new QWidget(rowsPanel());
  spacer_->hide();
  connect(toolboxButton_, &QPushButton::clicked, this, [this] { emit toolboxRequested("MM"); });
}

std::string MoneyManagementEditor::parameterSet() const {
  return std::string(moneyManagementSet(system_ ? system_->parameter("mm_typ").value_or("") : std::string()));
}

void MoneyManagementEditor::rowsBuilt() { rows_->addLabelPairRow(spacer_, toolboxButton_); }

void MoneyManagementEditor::textChanged(int, const QString& key, const QString& value) {
  storeSystemParameter(ws_, *system_, key.toStdString(), value.toStdString());
}

void MoneyManagementEditor::comboChanged(int row, const QString& key, const QString& caption) {
  PartEditorBase::comboChanged(row, key, caption);
  if (key == "mm_typ") activateControls(*system_, false);
}

}  // namespace zorvik
