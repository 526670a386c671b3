#pragma once
// A signal group's indicators in a five-column list with their shares of the group's signal
// total, adding, opening, removing and sorting them, the group's threshold, the stops of the
// exit groups, the copies to the mirror group and the OK controls. An opened indicator is
// edited in the IndicatorEditor; this editor keeps the copy taken before the edit and
// finishes it.
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
  void showIndicators(int number);
  void editIndicator(int number);
  // Finishes the current indicator edit: keeps it after "übernehmen", else puts the copy back.
  void finishEdit();
  // The edit button: as finishEdit, but changes not yet accepted are kept when the user says so.
  void finishEditAsked();
  void addIndicator();
  void removeIndicator();
  // Re-reads the group: rows and list, and opens the first indicator.
  void refresh();

  QTreeWidgetItem* findListItemByTag(int number) const;
  // The height of the panels, the add row, a short list and the buttons: below it the editor
  // scrolls.
  int neededHeight() const;
  int selectedCount() const;
  // Positions in the group of the selected items, in the order the list shows them, and of
  // the item under the list's cursor (0 when that item is not selected).
  std::vector<int> selectedNumbers() const;
  int currentNumber() const;
  void sortByColumn(int column);
  void fitColumnWidths();
  int columnAt(int x) const;

  SignalGroup* group() const { return group_; }
  int role() const { return role_; }
  IndicatorEdit& edit() { return edit_; }
  const ListSorting& sorting() const { return sorting_; }

  // The copies of the two copy buttons: the stop copy to the other exit group and the
  // counterpart copy, each with the copy sound. A test may put its own in their place.
  std::function<void(TradingSystem&, int group)> cloneStops;
  std::function<void(TradingSystem&, int group)> cloneSystem;
  // The status text after a copy: the translated template with the groups' names and the
  // number of indicators the target now holds.
  std::string copyStatus(const char* german, const TradingSystem& system, int from, int to) const;

  QTreeWidget* indicatorList() const { return list_; }
  QComboBox* indicatorTypeChoice() const { return typeChoice_; }
  QPushButton* addIndicatorButton() const { return addButton_; }
  QPushButton* removeIndicatorButton() const { return removeButton_; }
  QPushButton* toolboxButton() const { return toolboxButton_; }
  QPushButton* editIndicatorButton() const { return editButton_; }
  QPushButton* copyStopsButton() const { return copyStops_; }
  QPushButton* copySettingsButton() const { return copySettings_; }
  AcceptDiscardButtons* stopsOkButtons() const { return stopsOk_; }
  AcceptDiscardButtons* settingsOkButtons() const { return settingsOk_; }
  QWidget* stopsPanel() const { return stopsPanel_; }
  QWidget* settingsPanel() const { return settingsPanel_; }
  ParameterRowBuilder& stopRows() { return *stopRows_; }
  ParameterRowBuilder& settingRows() { return *settingRows_; }
  QTimer& doubleClickTimer() { return doubleClickTimer_; }

 signals:
  // An OK flag, the indicators or a copied group changed: the main window refreshes the
  // overview and the tab icons.
  void overviewChanged();
  // The buttons below the list came or went: the height the editor needs changed.
  void neededHeightChanged();
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
  IndicatorEditor& indicatorEditor_;
  SignalGroup* group_ = nullptr;
  int role_ = 0;
  IndicatorEdit edit_;
  ListSorting sorting_;
  int hoverColumn_ = -1;

  QWidget* stopsPanel_ = nullptr;  // stops
  QWidget* settingsPanel_ = nullptr;  // group settings
  ParameterRowBuilder* stopRows_ = nullptr;
  ParameterRowBuilder* settingRows_ = nullptr;
  QPushButton* copyStops_ = nullptr;
  QPushButton* copySettings_ = nullptr;
  AcceptDiscardButtons* stopsOk_ = nullptr;
  AcceptDiscardButtons* settingsOk_ = nullptr;
  QComboBox* typeChoice_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* toolboxButton_ = nullptr;
  QPushButton* editButton_ = nullptr;
  QWidget* body_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QTimer doubleClickTimer_;
};

}  // namespace zorvik
