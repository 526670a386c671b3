#include "editors/new_system_dialog.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "qt_text.hpp"
#include "workspace/current_system.hpp"

namespace zorvik {

NewSystemDialog::NewSystemDialog(const std::string& caption, const NewSystemChoice& offered,
                                 std::function<std::string(std::string_view)> translate, QWidget* parent)
    : QDialog(parent), translate_(std::move(translate)) {
  setObjectName("NewSystemDialog");
  setWindowTitle(q(caption));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);

  name_ = new QLineEdit(this);
  name_->setObjectName("systemName");
  QString refused;
  for (char c : kRefusedSystemNameCharacters) refused += QRegularExpression::escape(QString(QChar(c)));
  if (!refused.isEmpty())
    name_->setValidator(new QRegularExpressionValidator(QRegularExpression("[^" + refused + "]*"), name_));
  name_->setText(q(offered.name));
  form->addRow(q(caption), name_);

  digits_ = new QComboBox(this);
  digits_->setObjectName("quoteDigits");
  digits_->addItem(translated("5 Nachkommastellen (3 bei Yen): 10 Punkte je Pip"), 5);
  digits_->addItem(translated("4 Nachkommastellen (2 bei Yen): 1 Punkt je Pip"), 4);
  digits_->setCurrentIndex(pointsPerPip(offered.digits) == 10 ? 0 : 1);
  form->addRow(translated("Kurse des Brokers"), digits_);

  auto pips = [this, form](const char* objectName, const char* label, double value) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(objectName);
    box->setDecimals(1);
    box->setRange(0, 10000);
    box->setSingleStep(5);
    box->setSuffix(translated(" Pips"));
    box->setSpecialValueText(translated("n.V"));
    box->setValue(value);
    form->addRow(translated(label), box);
    connect(box, &QDoubleSpinBox::valueChanged, this, &NewSystemDialog::showPoints);
    return box;
  };
  stoploss_ = pips("stoplossPips", "Stop Loss", offered.stoplossPips);
  takeprofit_ = pips("takeprofitPips", "Take Profit", offered.takeprofitPips);
  trailing_ = pips("trailingPips", "Trailing Stop", offered.trailingPips);
  points_ = new QLabel(this);
  points_->setObjectName("stopPoints");
  points_->setWordWrap(true);
  layout->addWidget(points_);
  connect(digits_, &QComboBox::currentIndexChanged, this, &NewSystemDialog::showPoints);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setText(translated("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(translated("Abbrechen"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  showPoints();
  // The title names the dialog in full: never narrower than it needs.
  setMinimumWidth(std::max(420, fontMetrics().horizontalAdvance(windowTitle()) + 120));
}

QString NewSystemDialog::translated(const char* german) const { return q(translate_ ? translate_(german) : std::string(german)); }

NewSystemChoice NewSystemDialog::choice() const {
  NewSystemChoice c;
  c.name = withoutRefusedNameCharacters(name_->text().toStdString());
  c.digits = digits_->currentData().toInt();
  c.stoplossPips = stoploss_->value();
  c.takeprofitPips = takeprofit_->value();
  c.trailingPips = trailing_->value();
  return c;
}

void NewSystemDialog::showPoints() {
  const NewSystemChoice c = choice();
  // The editors show the stops in points; saying so here keeps the two from looking different.
  points_->setText(translated("In Punkten, wie die Editoren sie zeigen:") + " SL " + q(stopPointsOfPips(c.stoplossPips, c.digits)) +
                   ", TP " + q(stopPointsOfPips(c.takeprofitPips, c.digits)) + ", TS " +
                   q(stopPointsOfPips(c.trailingPips, c.digits)));
}

}  // namespace zorvik
