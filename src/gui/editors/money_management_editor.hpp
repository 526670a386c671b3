#pragma once
// The rows of the money-management method chosen in `mm_typ`; choosing another method shows
// that method's rows at once.
#include <string>

#include "editors/part_editor_base.hpp"

class QPushButton;

namespace zorvik {

class MoneyManagementEditor : public PartEditorBase {
  Q_OBJECT
 public:
  explicit MoneyManagementEditor(Workspace& ws, QWidget* parent = nullptr);

  QPushButton* toolboxButton() const { return toolboxButton_; }

 signals:
  void toolboxRequested(const QString& kind);

 protected:
  std::string parameterSet() const override;
  void rowsBuilt() override;
  void textChanged(int row, const QString& key, const QString& value) override;
  void comboChanged(int row, const QString& key, const QString& caption) override;

 private:
  QPushButton* toolboxButton_ = nullptr;
  QWidget* spacer_ = nullptr;
};

}  // namespace zorvik
