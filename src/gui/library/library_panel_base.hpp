#pragma once
// What the main window needs from the library panel in its left dock. The component library
// derives from LibraryPanelBase; until it is built the window shows LibraryPanelPlaceholder.
//
// The panel talks back to the window through MainWindow: libraryClicked() before it handles a
// click (leaves the start mode), libraryContextMenu() and menusOnOff() for its context menu,
// selectedTab() for the drop target, setEditorTabsVisible(), updateWindowTitle(), eventSound().
#include <QWidget>

#include <cstdint>

namespace zorvik {

class MainWindow;

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
};

class LibraryPanelPlaceholder : public LibraryPanelBase {
  Q_OBJECT
 public:
  explicit LibraryPanelPlaceholder(MainWindow& form);
  void contextCommand(std::int32_t id) override;

 private:
  MainWindow& form_;
};

}  // namespace zorvik
