#pragma once
// Title, account, comment and magic number of the open system (broker and account type are
// kept but not shown). Choosing an account switches to the
// symbol list of its broker.
#include <functional>
#include <string>

#include "editors/part_editor_base.hpp"

namespace zorvik {

class MoneyManagementEditor;

class GeneralSettingsEditor : public PartEditorBase {
  Q_OBJECT
 public:
  explicit GeneralSettingsEditor(Workspace& ws, QWidget* parent = nullptr);

  // The money-management editor to rebuild, lists refilled, after an account switched the
  // broker's symbol list.
  void setMoneyManagementEditor(MoneyManagementEditor* mm) { mm_ = mm; }

  // Loads the symbol list of broker kind 1 or 2 and moves the open system onto it. Until the
  // main window puts the real switch here, it only rebuilds the Symbols list from the broker
  // symbols the workspace holds.
  std::function<void(int brokerKind, const std::string& account)> switchBroker;

 signals:
  // An account with a known or unknown number was chosen; the broker kind is 1 or 2.
  void accountBrokerChosen(int brokerKind, const QString& account);

 protected:
  std::string parameterSet() const override;
  void rowBuilt(int row, const std::string& key) override;
  void comboChanged(int row, const QString& key, const QString& caption) override;

 private:
  MoneyManagementEditor* mm_ = nullptr;
};

}  // namespace zorvik
