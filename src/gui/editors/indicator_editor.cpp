#include "editors/indicator_editor.hpp"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/parameter_row_builder.hpp"
#include "editors/parameter_rows.hpp"
#include "model/catalogue.hpp"
#include "model/indicator.hpp"
#include "model/signal_group.hpp"
#include "qt_text.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

IndicatorEditor::IndicatorEditor(Workspace& ws, QWidget* parent)
    : ParameterRowsEditor(ws, "IFORM", "LHead", parent) {
  setObjectName("IForm");
  setMinimumWidth(290);
  setWindowTitle(q(ws_.tr("Indikatoreinstellungen")));
  rowsPanel_->setAutoFillBackground(true);
  rows_->setShiftSwitchesBack(true);
  // The verdict buttons stay below the scrolling rows: a long indicator must not push them
  // out of sight.
  auto* verdict = new QHBoxLayout;
  const ColumnSet columns = ParameterRowBuilder::columns();
  verdict->setContentsMargins(columns.margin, 4, columns.margin, 6);
  verdict->setSpacing(columns.gap);
  accept_ = new QPushButton(q(ws_.tr("übernehmen")), this);
  accept_->setObjectName("Command21");
  discard_ = new QPushButton(q(ws_.tr("verwerfen")), this);
  discard_->setObjectName("Command22");
  verdict->addWidget(accept_, 1);
  verdict->addWidget(discard_, 1);
  outerLayout()->addLayout(verdict);
  toolbox_ = new QPushButton(q(ws_.tr("->Toolbox")), rowsPanel_);
  toolbox_->setObjectName("Command1");

  connect(accept_, &QPushButton::clicked, this, &IndicatorEditor::acceptEdit);
  connect(discard_, &QPushButton::clicked, this, [this] {
    closeReason_ = 2;
    giveVerdict(2);
  });
  connect(toolbox_, &QPushButton::clicked, this, [this] { emit toolboxRequested("Indikator"); });
  connect(rows_, &ParameterRowBuilder::valueChanged, this,
          [this](int, const QString& key, const QString& value) { storeRowValue(key, value); });
  connect(rows_, &ParameterRowBuilder::comboChosen, this,
          [this](int, const QString& key, const QString& caption) { storeComboChoice(key, caption); });
  clear();
}

Indicator* IndicatorEditor::indicator() const {
  if (group_) return number_ >= 1 && number_ <= group_->count() ? &group_->indicator(number_) : nullptr;
  return indicator_;
}

void IndicatorEditor::activateControls(Indicator* indicator, int) {
  group_ = nullptr;
  number_ = 0;
  indicator_ = indicator;
  build(indicator);
}

void IndicatorEditor::activateControls(SignalGroup& group, int number, int) {
  indicator_ = nullptr;
  group_ = &group;
  number_ = number;
  build(indicator());
}

void IndicatorEditor::refresh() { build(indicator()); }

void IndicatorEditor::build(Indicator* indicator) {
  closeReason_ = 0;
  rows_->begin();
  const std::string type = indicator ? indicator->type() : std::string("nix");
  heading_->setText(type == "nix" || type.empty() ? QString() : q(ws_.tr(type) + ws_.tr("-Einstellungen")));
  rows_->addHeadingRow(heading_, toolbox_);
  toolbox_->setVisible(indicator != nullptr);
  if (indicator) {
    for (const std::string& key : ws_.catalogue.parameterKeysOf(type)) {
      const ParameterCoding* p = ws_.catalogue.parameter(key);
      if (!p) continue;  // a key the catalogue does not know gives no row
      if (key == "symbol" && rowKindOf(p->kind) == RowKind::Combo) rows_->clearComboTag(rows_->rowCount());
      rows_->addParameterRow(key, indicator->parameter(key));
    }
  }
  accept_->setEnabled(indicator != nullptr);
  discard_->setEnabled(indicator != nullptr);
  rows_->end();
  fitRowsPanel();
}

void IndicatorEditor::clear() { activateControls(nullptr); }

void IndicatorEditor::storeRowValue(const QString& key, const QString& value) {
  Indicator* ind = indicator();
  if (!ind || rows_->filling()) return;
  ind->setParameter(ws_.definitions, ws_.language, key.toStdString(), value.toStdString());
}

void IndicatorEditor::storeComboChoice(const QString& key, const QString& caption) {
  Indicator* ind = indicator();
  if (!ind || rows_->filling()) return;
  const std::string k = key.toStdString();
  ind->setParameter(ws_.definitions, ws_.language, k, comboChosenId(ws_, k, caption.toStdString()));
}

void IndicatorEditor::giveVerdict(int index) {
  const int result = index == 1 ? 1 : 0;
  const char* event = index == 1 ? "Indikator OK" : "Indikator Abbruch";
  ws_.host().status(ws_.tr(event));
  emit eventSound(event);
  emit closed(result);
}

void IndicatorEditor::acceptEdit() {
  // A refused text never reached the indicator; accepting now would keep the value from before
  // while the field shows another. The edit stays open at the field, its reason beside it.
  if (const int row = rows_->firstRefusedRow(); row >= 0) {
    const ParameterCoding* coding = ws_.catalogue.parameter(rows_->key(row).toStdString());
    const std::string caption = coding ? ws_.tr(coding->caption) : rows_->key(row).toStdString();
    ws_.host().status(ws_.tr("Nicht übernommen, ungültiger Wert: ") + caption + ": " +
                      rows_->valueProblemText(row).toStdString());
    if (QLineEdit* field = rows_->textBox(row)) field->setFocus();
    return;
  }
  closeReason_ = 1;
  giveVerdict(1);
}

void IndicatorEditor::closeWindow() {
  if (closeReason_ != 0) return;
  closeReason_ = 2;
  giveVerdict(2);
}

void IndicatorEditor::closeEvent(QCloseEvent* event) {
  closeWindow();
  QWidget::closeEvent(event);
}

}  // namespace zorvik
