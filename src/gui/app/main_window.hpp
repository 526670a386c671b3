#pragma once
// The main window: menus of the command table, the library panel docked left, the editor area
// (tab selector, the page below it and the information strip), the help panel docked right
// and the status bar; the three display modes with their saved layouts, the timers and the
// orderly shutdown.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/system_info_strip.hpp"

class QDockWidget;
class QLabel;
class QMenu;
class QTabBar;
class QTabWidget;

namespace zorvik {

class AboutWindow;
class HelpPanelBase;
class Host;
class KeyboardLockState;
class LibraryPanelBase;
class MainCommands;
class Workspace;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kTabCount = 7;
  // The program settings: the one page that needs no open system.
  static constexpr int kSettingsTab = 6;
  // A window frame as common desktops draw it (borders and title bar), kept free of the screen
  // before the real one is known.
  static constexpr QSize kAssumedFrame{16, 40};
  // How long the status bar says that the system was saved, in milliseconds.
  static constexpr int kSavedMessageMs = 5000;
  // The help panel's share (percent) below which a section of the manual asked for is not
  // readable; it is widened to this.
  static constexpr int kReadableHelpPercent = 30;

  // Puts the program's parts into the window (setCommands, setLibraryPanel, setHelpPanel,
  // setEditorPage) once it is built and before the library is listed and the last system
  // opened.
  using PartsInstaller = std::function<void(MainWindow&)>;

  // Runs the start-up of the workspace and builds the window. The host is the workspace's.
  MainWindow(Workspace& ws, Host& host, QWidget* parent = nullptr, const PartsInstaller& installParts = {});
  ~MainWindow() override;

  Workspace& workspace() const { return ws_; }

  // ---- Plug-in points -------------------------------------------------------------------
  // The panel in the left dock; the window takes ownership and deletes the one it replaces.
  LibraryPanelBase* libraryPanel() const { return library_; }
  void setLibraryPanel(LibraryPanelBase* panel);
  // The panel in the right dock; as above.
  HelpPanelBase* helpPanel() const { return help_; }
  void setHelpPanel(HelpPanelBase* panel);
  // The editor shown on a tab (0 general, 1..4 the signal groups L, XL, S, XS, 5 money
  // management, 6 program settings). One widget may serve several tabs (the signal-group host
  // serves 1 to 4): it moves to the page of whichever of them is selected. onShow runs each
  // time the tab is selected (tabs 0..5) so the editor can take the open system and, for 1..4,
  // the group number, which is the tab index.
  void setEditorPage(int tab, QWidget* page, std::function<void(int tab)> onShow = {});
  // Builds the pages of tabs that are not in view at start-up; it runs right after the
  // window's first paint, or at once when one of those pages is wanted before.
  void setLatePages(std::function<void()> build) { latePages_ = std::move(build); }
  void buildLatePages();
  // The page of a tab; pages still to be built are built first.
  QWidget* editorPage(int tab);
  // A page after the editor tabs (the backtest), with its own caption; returns its tab index.
  int addPage(const QString& caption, QWidget* page);
  MainCommands& commands() const { return *commands_; }
  void setCommands(std::unique_ptr<MainCommands> commands);
  // 0: signal-group editor and indicator editor side by side; 1: one under the other.
  int signalGroupArrangement() const { return arrangement_; }

  // ---- Commands ---------------------------------------------------------------------------
  // Carries out a command of the command table or the library context menu; other ids are
  // ignored.
  void commandDispatch(std::int32_t id, const QString& caption = {});
  QAction* commandAction(std::int32_t id) const;
  QMenu* libraryContextMenu() const { return contextMenu_; }
  // Offers only the context-menu entries that fit the group of the current library item.
  void offerContextEntries(const std::string& groupCaption);
  // The library panel calls this before it handles a click: in start mode the click first
  // switches to edit mode.
  void libraryClicked();
  // The library context menu at a global position, with the entries that fit the group.
  void showLibraryContextMenu(const QString& groupCaption, const QPoint& globalPos);

  // ---- Display modes ----------------------------------------------------------------------
  std::int16_t displayMode() const { return mode_; }
  bool startLeft() const { return startLeft_; }
  bool exitRequested() const { return exitRequested_; }
  // Set once the program is shutting down; windows that refuse to close give in then.
  bool exiting() const { return exiting_; }
  void saveLayout(std::int16_t mode);
  void writeLayoutFile(std::int16_t mode, const QByteArray& state);
  bool loadLayout(std::int16_t mode);
  void resetLayout();
  void checkModeCommand();
  // A results page chosen: the side panels give way (mode::Results, with its own layout file);
  // another page chosen: the mode it was entered from comes back with its layout.
  void enterResultsMode();
  void leaveResultsMode();
  void setHelpPanelPercent(int percent);
  int helpPanelPercent() const;
  int editorAreaWidth() const;
  void keepEditorAreaMinimum();
  void layoutEditorArea();
  void settleLayout();

  // ---- Editor area ------------------------------------------------------------------------
  QTabBar* tabSelector() const { return tabSelector_; }
  QTabWidget* editorTabs() const { return editorTabs_; }
  SystemInfoStrip* infoStrip() const { return infoStrip_; }
  int selectedTab() const;
  void copyTabCaptions();
  void updateGroupTabIcons();
  // Both tab strips and the page; hidden while no system is open after a delete, while a side
  // panel is dragged and until the first heartbeat.
  void setEditorTabsVisible(bool visible);
  bool editorTabsVisible() const { return tabsWanted_; }
  QLabel* emptyEditorHint() const { return emptyHint_; }
  // Draws the rows when the check returned some; nothing changes for nullopt.
  void applyInfoRows(const std::optional<InfoRows>& rows);

  // ---- Window services --------------------------------------------------------------------
  void updateWindowTitle();
  // Moves and shrinks the window so that its frame lies inside the screen's available area;
  // main() calls it once the window is shown and framed.
  void fitIntoScreen();
  void checkLanguageCommand(std::int32_t id);
  void eventSound(const std::string& eventName);
  // The text in the status bar's pane.
  QString currentStatusText() const;
  // Diagnostic lines, shown by the about window.
  void protocol(const QString& line);
  void quitApplication();

  // One tick of the heartbeat (every 100 ms).
  void heartbeat();
  QTimer* heartbeatTimer() { return &heartbeatTimer_; }
  QDockWidget* libraryDock() const { return libraryDock_; }
  QDockWidget* helpDock() const { return helpDock_; }

 signals:
  void signalGroupArrangementChanged(int arrangement);
  // The trader chose side by side from the menu (after signalGroupArrangementChanged).
  void sideBySideAsked();

 public slots:
  // A narrow help panel (edit mode), then the library panel, give up this many pixels to the
  // editor area, each down to a minimum: on a small screen the share is a wish, readable
  // editors a need.
  void widenEditorArea(int missing);
  void onEditorTabChanged(int index);
  // The manual in the help panel, at the section with this anchor ("" for its top).
  void showManualSection(const QString& anchor);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Page {
    QWidget* widget = nullptr;
    std::function<void(int)> onShow;
    bool standIn = false;  // the page put there before the editors came
  };

  void buildEditorArea();
  void buildDocks();
  void buildMenus();
  void setMenuIcons();
  void buildStatusBar();
  void createEditorPages();
  void finishFirstLayout();
  void placePage(int tab);
  void fitTabSelector(int width);
  // The width the tab strip needs for all captions in one row at its smallest font.
  int tabSelectorMinimumWidth();
  // Widens the editor area until the tab strip fits in one row.
  void keepTabSelectorRoom();
  void modeCommand(std::int32_t id);
  void languageCommand(std::int32_t id);
  void leaveStartMode();
  void onStartPageClose();
  void innerMinimumTick();
  void refreshLockPanes();
  void showAbout();
  void setActionChecked(std::int32_t id, bool checked);

  Workspace& ws_;
  Host& host_;
  std::unique_ptr<MainCommands> commands_;

  std::int16_t mode_;
  std::int16_t modeBeforeResults_ = 0;
  bool startLeft_ = false;
  bool exitRequested_ = false;
  bool exiting_ = false;
  bool shutDown_ = false;
  bool firstLayoutDone_ = false;
  bool activatedOnce_ = false;
  bool blankNavigated_ = false;
  bool hiddenByDrag_ = false;
  bool tabsWanted_ = false;
  int arrangement_ = 1;
  int tick_ = 0;

  QDockWidget* libraryDock_ = nullptr;
  QDockWidget* helpDock_ = nullptr;
  LibraryPanelBase* library_ = nullptr;
  HelpPanelBase* help_ = nullptr;

  QWidget* editorArea_ = nullptr;
  QTabBar* tabSelector_ = nullptr;
  QTabWidget* editorTabs_ = nullptr;
  SystemInfoStrip* infoStrip_ = nullptr;
  // Says what to do next where the pages would be while no system is open.
  QLabel* emptyHint_ = nullptr;
  bool tabMarksShown_ = false;
  bool systemShown_ = false;  // whether the last layout had an open system
  QList<int> panelWidthsBeforeSideBySide_;  // help, library; empty when nothing to give back
  bool firstPaintDone_ = false;
  // While the window is built no stand-in page asks for the late pages: nothing is in view yet.
  bool constructing_ = true;
  std::function<void()> latePages_;
  std::array<Page, kTabCount> pages_{};
  std::array<QWidget*, kTabCount> containers_{};

  std::map<std::int32_t, QAction*> actions_;
  QMenu* contextMenu_ = nullptr;
  std::array<QLabel*, 3> lockPanes_{};
  std::unique_ptr<KeyboardLockState> lockState_;
  QPointer<AboutWindow> about_;
  QStringList protocol_;

  QTimer heartbeatTimer_;
  QTimer innerMinimumTimer_;
  QTimer layoutTimer_;
};

}  // namespace zorvik
