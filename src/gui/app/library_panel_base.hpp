#pragma once
// What the main window needs from the library panel in its left dock. The component library
// derives from LibraryPanelBase; until it is built the window shows LibraryPanelPlaceholder.
//
// The panel talks back to the window through ZorvikForm: libraryClicked() before it handles a
// click (leaves the start mode), libraryContextMenu() and menusOnOff() for its context menu,
// selectedTab() for the drop target, setEditorTabsVisible(), doMeCaption(), eventSound().
#include <QWidget>

#include <cstdint>

namespace zorvik {

class ZorvikForm;

class LibraryPanelBase : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  // Lists the folder "user" anew.
  virtual void initTaskpanel() {}
  // Start-up: opens the system whose item number the settings keep, as a click would.
  virtual void openLastSystem() {}
  // A command of the library context menu (11001..11008) on the current item.
  virtual void contextCommand(std::int32_t id) { (void)id; }
};

class LibraryPanelPlaceholder : public LibraryPanelBase {
  Q_OBJECT
 public:
  explicit LibraryPanelPlaceholder(ZorvikForm& form);
  void contextCommand(std::int32_t id) override;

 private:
  ZorvikForm& form_;
};

}  // namespace zorvik
