#pragma once
// What the main window needs from the library panel in its left dock, and what the panel tells
// the window. The window connects these signals when it takes a panel; the panel never holds
// the window. A window built without the program's parts shows this base class: an empty
// panel that ignores every command.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

class QTabBar;

namespace zorvik {

class LibraryPanelBase : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  // Lists the folder "user" anew.
  virtual void relistLibrary() {}
  // Start-up: opens the system whose item number the settings keep, as a click would.
  virtual void openLastSystem() {}
  // A command of the library context menu (11001..11008) on the current item.
  virtual void contextCommand(std::int32_t id) { (void)id; }

  // The editor area: its tab selector says which part a click or a drop goes to, and the
  // selector and the page below it are where a dragged item may be dropped.
  void setEditorTabs(QTabBar* selector, QWidget* pages);

 signals:
  // A click into the panel, before the panel handles it (it leaves the start mode).
  void clicked();
  // The right button on an entry of this group caption ("" for a group header); the window
  // offers the fitting context-menu entries at the global position.
  void contextMenuRequested(const QString& groupCaption, const QPoint& globalPos);
  // A command of the window's command table (a new system, generating the Expert Advisor).
  void commandRequested(std::int32_t id);
  // The open system's title or file may have changed.
  void titleChanged();
  // The open system changed, or its file went away: the page in view shows it anew.
  void pageRefreshRequested();

 protected:
  // The tab selected in the editor area; -1 before the window has set its tabs.
  int selectedTab() const;
  bool overEditorArea(const QPoint& globalPos) const;

 private:
  QPointer<QTabBar> selector_;
  QPointer<QWidget> pages_;
};

}  // namespace zorvik
