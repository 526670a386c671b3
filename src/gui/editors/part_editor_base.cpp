#include "editors/part_editor_base.hpp"

#include <QLabel>

#include "editors/accept_discard_buttons.hpp"
#include "editors/editor_icons.hpp"
#include "editors/parameter_row_builder.hpp"
#include "model/catalogue.hpp"
#include "model/trading_system.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

PartEditorBase::PartEditorBase(Workspace& ws, const QString& formName, std::string okKey, QWidget* parent)
    : ParameterRowsEditor(ws, formName, "Label1", parent), okKey_(std::move(okKey)) {
  okButtons_ = new AcceptDiscardButtons(rowsPanel_);
  okButtons_->setObjectName("cEditOk");
  okButtons_->setIcon(1, editOkIcon(2));
  okButtons_->setIcon(2, editOkIcon(1));

  connect(okButtons_, &AcceptDiscardButtons::clicked, this, [this](int index) {
    if (!system_) return;
    system_->setParameter(okKey_, index == 1 ? "2" : "1");
    emit overviewChanged();
  });
  connect(rows_, &ParameterRowBuilder::valueChanged, this,
          [this](int row, const QString& key, const QString& value) {
            if (!rows_->filling() && system_) textChanged(row, key, value);
          });
  connect(rows_, &ParameterRowBuilder::comboChosen, this,
          [this](int row, const QString& key, const QString& caption) {
            if (!rows_->filling() && system_) comboChanged(row, key, caption);
          });
}

TradingSystem& PartEditorBase::defaultSystem() const { return ws_.system(); }

void PartEditorBase::activateControls(TradingSystem& system, bool rebuild) {
  system_ = &system;
  if (rebuild) rows_->clearComboTags();
  rows_->begin();
  // The first row carries the OK control in the value column; the title takes the rest.
  rows_->addHeadingRow(heading_, okButtons_);
  for (const std::string& key : ws_.catalogue.parameterKeysOf(parameterSet())) {
    if (key == "general_broker" || key == "general_account") rows_->clearComboTag(rows_->rowCount());
    const int row = rows_->addParameterRow(key, shownSystemParameter(ws_, system, key));
    if (row >= 0) rowBuilt(row, key);
  }
  rowsBuilt();
  rows_->end();
  fitRowsPanel();
}

void PartEditorBase::textChanged(int, const QString& key, const QString& value) {
  storeChosenCaption(ws_, *system_, key.toStdString(), value.toStdString());
}

void PartEditorBase::comboChanged(int, const QString& key, const QString& caption) {
  storeChosenCaption(ws_, *system_, key.toStdString(), caption.toStdString());
}

}  // namespace zorvik
