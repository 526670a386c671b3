#pragma once
// `SignalGroupEditor`, the signal group editor: the group's indicators in a five-column list with their
// shares of the group's signal total, adding, opening, removing and sorting them, the group's
// threshold, the stops of the exit groups, the copies to the mirror group and the OK controls.
// An opened indicator is edited in the indicator editor `IndicatorEditor`; this editor keeps the copy
// taken before the edit and finishes it.
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "editors/signal_group_editing.hpp"

class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zorvik {

class AcceptDiscardButtons;
class IndicatorEditor;
class ParameterRowBuilder;
class Workspace;
class SignalGroup;
class TradingSystem;

class SignalGroupEditor : public QWidget {
  Q_OBJECT
 public:
  // The indicator editor is the one this editor opens indicators in (the host places it).
  SignalGroupEditor(Workspace& ws, IndicatorEditor& indicatorEditor, QWidget* parent = nullptr);

  // Builds the editor for a group of the open system; role 1..4 (L, XL, S, XS) is also the
  // group's number. Any other role is refused.
  void activateControls(SignalGroup& group, int role);
  // Rebuilds the list from the group and opens indicator `number`; a number beyond the group
  // clears the indicator editor.
  void init(int number);
  void editIndicator(int number);
  // Command5: finishes the current indicator edit (keeps it or puts the copy back).
  void finishEdit();
  void addIndicator();     // Command1
  void removeIndicator();  // Command2
  // Re-reads the group: rows and list, and opens the first indicator.
  void refresh();

  QTreeWidgetItem* findListItemByTag(int number) const;
  int selCount() const;
  // Positions in the group of the selected items, in the order the list shows them, and of
  // the item under the list's cursor (0 when that item is not selected).
  std::vector<int> selectedNumbers() const;
  int currentNumber() const;
  void SortListView(int column);
  void spaltencheck();
  int getCol(int x) const;

  SignalGroup* group() const { return group_; }
  int role() const { return role_; }
  IndicatorEdit& edit() { return edit_; }
  const ListSorting& sorting() const { return sorting_; }

  // The copies of the two copy buttons. They start as plain copies within the open system;
  // the main window may put its own (with question and sound) in their place.
  std::function<void(TradingSystem&, int group)> cloneStops;
  std::function<void(TradingSystem&, int group)> cloneSystem;

  QTreeWidget* ListView1() const { return list_; }
  QComboBox* Combo1() const { return combo1_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command2() const { return command2_; }
  QPushButton* Command3() const { return command3_; }
  QPushButton* Command5() const { return command5_; }
  QPushButton* cCopy() const { return cCopy_; }
  QPushButton* cCopy2() const { return cCopy2_; }
  AcceptDiscardButtons* cEditOk() const { return cEditOk_; }
  AcceptDiscardButtons* cEditOk2() const { return cEditOk2_; }
  QWidget* Picture1() const { return picture1_; }
  QWidget* Picture2() const { return picture2_; }
  ParameterRowBuilder& stopRows() { return *stopRows_; }
  ParameterRowBuilder& settingRows() { return *settingRows_; }
  QTimer& TimerDblClick() { return timerDblClick_; }

 signals:
  // An OK flag, the indicators or a copied group changed: the main window refreshes the
  // overview and the tab icons.
  void overviewChanged();
  void toolboxRequested(const QString& kind);
  void helpRequested(const QString& key);
  void itemDropped(const QString& dropText);
  void eventSound(const QString& eventName);
  void sliderSettingChanged();
  void helpRegistration(QWidget* control, const QString& form, const QString& controlName, const QString& topic);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillList(int selectNumber);
  void setButtonsForList(bool hasIndicators);
  void onIndicatorEditorClosed(int editResult);
  void storeGroupRow(const QString& key, const QString& value);
  void setGroupOk(int flag);
  void statusEvent(const char* german);
  void buildPanels();

  Workspace& ws_;
  IndicatorEditor& i_;
  SignalGroup* group_ = nullptr;
  int role_ = 0;
  IndicatorEdit edit_;
  ListSorting sorting_;
  int hoverColumn_ = -1;

  QWidget* picture1_ = nullptr;  // stops
  QWidget* picture2_ = nullptr;  // group settings
  ParameterRowBuilder* stopRows_ = nullptr;
  ParameterRowBuilder* settingRows_ = nullptr;
  QPushButton* cCopy_ = nullptr;
  QPushButton* cCopy2_ = nullptr;
  AcceptDiscardButtons* cEditOk_ = nullptr;
  AcceptDiscardButtons* cEditOk2_ = nullptr;
  QComboBox* combo1_ = nullptr;
  QPushButton* command1_ = nullptr;
  QPushButton* command2_ = nullptr;
  QPushButton* command3_ = nullptr;
  QPushButton* command5_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QTimer timerDblClick_;
};

}  // namespace zorvik
