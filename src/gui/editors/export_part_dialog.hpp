#pragma once
// Stores a part of the open trading system in the library under a typed name and comment. Modal, placed at the mouse position; it stays open
// after an export so that further parts can follow.
#include <QDialog>
#include <QPoint>
#include <QString>

#include <array>
#include <functional>

#include "editors/toolbox_export.hpp"

class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zorvik {

class SignalGroupPage;
class MoneyManagementEditor;
class Workspace;

class ExportPartDialog : public QDialog {
  Q_OBJECT
 public:
  // kind: "Handelssystem", "Signalgruppe", "Indikatorengruppe", "MultiIndikator", "Indikator",
  // "MM", "STOP" preselect their choice; any other kind selects none. The window's top left
  // corner goes to `at` (kept on the screen).
  ExportPartDialog(Workspace& ws, const QString& kind, ToolboxSituation situation, QPoint at, QWidget* parent = nullptr);

  // Remembers the kind and the mouse position and shows the dialog modally.
  static void open(Workspace& ws, const QString& kind, ToolboxSituation situation, QWidget* parent = nullptr);

  // The choice checked, -1 for none.
  int choice() const;
  QRadioButton* choiceButton(int index) const { return choiceButtons_.at(static_cast<std::size_t>(index)); }
  QLineEdit* nameEdit() const { return name_; }
  QPlainTextEdit* commentEdit() const { return comment_; }
  QPushButton* exportButton() const { return buttons_[0]; }  // "in die Toolbox!"
  QPushButton* cancelButton() const { return buttons_[1]; }  // "abbrechen"
  QPushButton* helpButton() const { return buttons_[2]; }    // "Hilfe"
  const ToolboxExport& exporter() const { return export_; }

 public slots:
  void done(int result) override;

 private:
  void exportChosen();

  Workspace& ws_;
  ToolboxExport export_;
  QButtonGroup* group_ = nullptr;
  std::array<QRadioButton*, kToolboxChoiceCount> choiceButtons_{};
  std::array<QPushButton*, 3> buttons_{};
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* comment_ = nullptr;
  bool closed_ = false;
};

// Opens the dialog from the "->Toolbox" buttons of the signal group host (its group editor and
// indicator editor) and of the money-management editor. currentTab gives the editor area's
// selected tab; the signal group editor's list gives the selection.
void connectToolboxButtons(SignalGroupPage& groups, MoneyManagementEditor& mm, Workspace& ws, std::function<int()> currentTab);

}  // namespace zorvik
