#pragma once
// The parameters of one indicator of a signal group as rows.
// Every change goes straight into the indicator; the signal group editor keeps a copy taken
// before the edit and, when this editor closes, keeps the changes or puts the copy back.
// "übernehmen" and "verwerfen" give the verdict.
#include <QString>

#include "editors/parameter_rows_editor.hpp"

class QLabel;
class QPushButton;

namespace zorvik {

class SignalGroup;
class Indicator;
class Workspace;

class IndicatorEditor : public ParameterRowsEditor {
  Q_OBJECT
 public:
  explicit IndicatorEditor(Workspace& ws, QWidget* parent = nullptr);

  // Builds the rows for the indicator (the group's own, not a copy). The height is the one
  // available to the editor; the rows do not depend on it. Counts as the window loading: the
  // close reason goes back to 0.
  void activateControls(Indicator* indicator, int availableHeight = 0);
  // The same for indicator `number` of a group. The editor then looks the indicator up on every
  // change, so a group that grows or shrinks meanwhile never leaves it holding a stale object;
  // a number beyond the group's count stores nothing.
  void activateControls(SignalGroup& group, int number, int availableHeight = 0);
  // An empty editor: no heading, no rows, the two buttons without an indicator to judge.
  void clear();
  // Re-reads the indicator shown.
  void refresh();

  Indicator* indicator() const;
  // 0 not closed by a button, 1 "übernehmen", 2 "verwerfen".
  int closeReason() const { return closeReason_; }
  // The window is asked to close: without a button's verdict this counts as "verwerfen".
  void closeWindow();
  // The verdict: 1 accepts, 2 discards; the window then closes.
  void giveVerdict(int index);
  // As "übernehmen" does.
  void acceptEdit();

  QLabel* heading() const { return heading_; }
  QPushButton* acceptButton() const { return accept_; }
  QPushButton* discardButton() const { return discard_; }
  QPushButton* toolboxButton() const { return toolbox_; }

 signals:
  // The window closed with this edit result (1 "übernehmen", 0 "verwerfen").
  void closed(int editResult);
  void toolboxRequested(const QString& kind);
  void eventSound(const QString& eventName);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void storeRowValue(const QString& key, const QString& value);
  void storeComboChoice(const QString& key, const QString& caption);
  void build(Indicator* indicator);

  QPushButton* accept_ = nullptr;
  QPushButton* discard_ = nullptr;
  QPushButton* toolbox_ = nullptr;
  Indicator* indicator_ = nullptr;  // shown on its own, or
  SignalGroup* group_ = nullptr;   // the group and number of the indicator shown
  int number_ = 0;
  int closeReason_ = 0;
};

}  // namespace zorvik
