#pragma once
// The page of one signal group: the signal group editor and the indicator editor in two
// panels, side by side or one under the other. The main window keeps one page for the tabs of
// the four groups and hands it the group of the selected tab.
#include <QWidget>

class QSplitter;
class QTabWidget;

namespace zorvik {

class IndicatorEditor;
class SignalGroupEditor;
class Workspace;
class TradingSystem;

class SignalGroupPage : public QWidget {
  Q_OBJECT
 public:
  explicit SignalGroupPage(Workspace& ws, QWidget* parent = nullptr);

  // Shows group 1..4 (L, XL, S, XS) of the system and opens its first indicator.
  void showGroup(TradingSystem& system, int group);
  // Shows the group again from the model (after the system was opened anew or changed
  // elsewhere).
  void refresh();
  int group() const { return group_; }

  // 0: the two editors side by side; 1: one under the other. Side by side needs room for both
  // editors' minimum widths; in a narrower page they stand one under the other until the page
  // is wide enough again, rather than being cut.
  void setArrangement(int arrangement);
  int arrangement() const { return arrangement_; }
  bool showsSideBySide() const;
  // The page width both editors need side by side.
  int sideBySideWidth() const;
  // The trader asked for side by side: the page asks the window for the width it lacks, now
  // or when it is next shown, and says so when the window cannot give it.
  void askRoomForSideBySide();
  // Announces the help topics of the fixed buttons of both editors through helpRegistration
  // ("IndikatorEdit", "IndikatorHinzu", "IndikatorWeg", "InTools", "IndEditVerwerfen",
  // "IndEditÜbernehmen"); the main window calls it once its registry listens.
  void registerHelpTopics();

  SignalGroupEditor& groupEditor() const { return *groupEditor_; }
  IndicatorEditor& indicatorEditor() const { return *indicatorEditor_; }

 signals:
  // Everything the two editors report, in one place for the main window.
  void overviewChanged();
  void toolboxRequested(const QString& kind);
  void helpRequested(const QString& key);
  void itemDropped(const QString& dropText);
  void eventSound(const QString& eventName);
  void sliderSettingChanged();
  void helpRegistration(QWidget* control, const QString& form, const QString& controlName, const QString& topic);
  // The page would need this many pixels more.
  void widthWanted(int missing);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Orientation and sizes of the two panels for the arrangement and the page's size.
  void fitPanels();
  void takeRoomIfWanted();

  Workspace& ws_;
  TradingSystem* system_ = nullptr;
  int group_ = 0;
  int arrangement_ = 0;
  bool panelsDragged_ = false;  // the trader moved the divider: the sizes are theirs
  bool roomWanted_ = false;     // side by side was asked for and the page not yet widened
  QSplitter* splitter_ = nullptr;
  QTabWidget* groupEditorTabs_ = nullptr;
  QTabWidget* indicatorEditorTabs_ = nullptr;
  IndicatorEditor* indicatorEditor_ = nullptr;
  SignalGroupEditor* groupEditor_ = nullptr;
};

}  // namespace zorvik
