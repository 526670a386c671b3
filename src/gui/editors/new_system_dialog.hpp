#pragma once
// The dialog that names a new trading system and sets its starting stops. The stops are asked
// in pips, the unit a trader thinks in, for quotes of five (or three, yen) or four (or two)
// decimals; the points they come to are shown beside them, as the editors will show them.
#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

#include "platform/host.hpp"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik {

class NewSystemDialog : public QDialog {
  Q_OBJECT
 public:
  // translate turns the German texts into the program's language.
  NewSystemDialog(const std::string& caption, const NewSystemChoice& offered,
                  std::function<std::string(std::string_view)> translate, QWidget* parent = nullptr);

  // The choice as it stands; the name without the characters a system name may not hold.
  NewSystemChoice choice() const;

  QLineEdit* nameField() const { return name_; }
  QComboBox* digitsChoice() const { return digits_; }
  QDoubleSpinBox* stoplossPips() const { return stoploss_; }
  QDoubleSpinBox* takeprofitPips() const { return takeprofit_; }
  QDoubleSpinBox* trailingPips() const { return trailing_; }
  QLabel* pointsNote() const { return points_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void showPoints();
  QString translated(const char* german) const;

  std::function<std::string(std::string_view)> translate_;
  QLineEdit* name_ = nullptr;
  QComboBox* digits_ = nullptr;
  QDoubleSpinBox* stoploss_ = nullptr;
  QDoubleSpinBox* takeprofit_ = nullptr;
  QDoubleSpinBox* trailing_ = nullptr;
  QLabel* points_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace zorvik
