#include "app/main_window.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>

#include <algorithm>

#include "app/keyboard_lock_state.hpp"
#include "app/main_commands.hpp"
#include "app/qt_host.hpp"
#include "help/help_panel_base.hpp"
#include "help/help_topics.hpp"
#include "library/library_panel_base.hpp"
#include "model/trading_system.hpp"
#include "workspace/current_system.hpp"
#include "qt_text.hpp"
#include "window/display_modes.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

MainWindow::MainWindow(Workspace& ws, Host& host, QWidget* parent, const PartsInstaller& installParts)
    : QMainWindow(parent),
      ws_(ws),
      host_(host),
      commands_(std::make_unique<MainCommands>()),
      mode_(mode::Transitional) {
  setObjectName(QStringLiteral("ZorvikForm"));
  if (auto* qtHost = dynamic_cast<QtHost*>(&host_)) {
    qtHost->setMainWindow(this);
    qtHost->setResourceFolder(ws_.resFolder());
    qtHost->setTranslator([&ws = ws_](std::string_view german) { return ws.tr(german); });
  }
  ws_.startUp();
  // 1280 x 800, or what the screen has room for. The room is for the whole window: its frame
  // (title bar and borders) comes on top of this size, and a window as large as the screen
  // would push its own status bar below the screen's edge. The frame is not known before the
  // first show, so a common one is assumed here and the truth is checked after the show.
  QSize size(1280, 800);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() - kAssumedFrame);
  resize(size);
  setDockOptions(QMainWindow::AnimatedDocks);

  buildEditorArea();
  buildDocks();
  buildMenus();
  copyTabCaptions();
  createEditorPages();
  if (installParts) installParts(*this);
  // Whatever opens a system (library, new system, a symbol switch), the page in view and the
  // caption follow it at once.
  ws_.addSystemOpenedListener([self = QPointer<MainWindow>(this)] {
    if (!self) return;
    self->onEditorTabChanged(self->selectedTab());
    self->updateWindowTitle();
  });
  library_->relistLibrary();
  updateWindowTitle();
  // Still in the transitional mode: opening the last system here does not leave the start mode.
  library_->openLastSystem();

  heartbeatTimer_.setInterval(100);
  connect(&heartbeatTimer_, &QTimer::timeout, this, &MainWindow::heartbeat);
  innerMinimumTimer_.setInterval(100);
  connect(&innerMinimumTimer_, &QTimer::timeout, this, &MainWindow::innerMinimumTick);
  layoutTimer_.setInterval(3000);
  layoutTimer_.setSingleShot(true);
  connect(&layoutTimer_, &QTimer::timeout, this, [this] {
    keepTabSelectorRoom();
    layoutEditorArea();
  });
  heartbeatTimer_.start();
  constructing_ = false;
}

MainWindow::~MainWindow() {
  // The help topics watch every event of the program; they go first, before the widgets they
  // know are torn down and send their last events.
  qDeleteAll(findChildren<HelpTopics*>(Qt::FindDirectChildrenOnly));
  if (auto* qtHost = dynamic_cast<QtHost*>(&host_)) {
    qtHost->setMainWindow(nullptr);
    qtHost->setTranslator({});
  }
}

// ---------------------------------------------------------------------------------------------
// Plug-in points

void MainWindow::setLibraryPanel(LibraryPanelBase* panel) {
  if (!panel || panel == library_) return;
  LibraryPanelBase* old = library_;
  library_ = panel;
  libraryDock_->setWidget(panel);
  panel->setEditorTabs(tabSelector_, editorTabs_);
  connect(panel, &LibraryPanelBase::clicked, this, &MainWindow::libraryClicked);
  connect(panel, &LibraryPanelBase::contextMenuRequested, this, &MainWindow::showLibraryContextMenu);
  connect(panel, &LibraryPanelBase::commandRequested, this, [this](std::int32_t id) { commandDispatch(id); });
  connect(panel, &LibraryPanelBase::titleChanged, this, &MainWindow::updateWindowTitle);
  connect(panel, &LibraryPanelBase::pageRefreshRequested, this, [this] { onEditorTabChanged(selectedTab()); });
  if (old) old->deleteLater();
}

void MainWindow::setHelpPanel(HelpPanelBase* panel) {
  if (!panel || panel == help_) return;
  HelpPanelBase* old = help_;
  help_ = panel;
  helpDock_->setWidget(panel);
  connect(panel, &HelpPanelBase::startPageCloseRequested, this, &MainWindow::onStartPageClose);
  if (old) {
    panel->setViewVisible(old->viewVisible());
    old->deleteLater();
  }
  if (startLeft_) panel->startModeLeft();
}

void MainWindow::setCommands(std::unique_ptr<MainCommands> commands) {
  if (commands) commands_ = std::move(commands);
}

// ---------------------------------------------------------------------------------------------
// Window services

void MainWindow::updateWindowTitle() {
  // The caption keeps its fixed form; an asterisk after it says that the open system has
  // changes that are not yet in its file.
  const TradingSystem& system = ws_.system();
  QString caption = q(windowCaption(programVersion(), system.systemFileName));
  if (system.changed && !system.systemFileName.empty()) caption += QStringLiteral(" *");
  if (windowTitle() != caption) setWindowTitle(caption);
}

void MainWindow::fitIntoScreen() {
  const QScreen* screen = this->screen();
  if (!screen || isMaximized() || isFullScreen()) return;
  const QRect room = screen->availableGeometry();
  const QRect frame = frameGeometry();
  if (room.contains(frame)) return;
  // The frame's share of the outer size, as the window system drew it.
  const QSize margins = frame.size() - size();
  const QSize fitting = size().boundedTo(room.size() - margins);
  resize(fitting);
  const QRect now(frame.topLeft(), fitting + margins);
  QPoint topLeft = now.topLeft();
  if (now.right() > room.right()) topLeft.setX(room.right() - now.width() + 1);
  if (now.bottom() > room.bottom()) topLeft.setY(room.bottom() - now.height() + 1);
  topLeft.setX(std::max(topLeft.x(), room.left()));
  topLeft.setY(std::max(topLeft.y(), room.top()));
  move(topLeft);
}

void MainWindow::eventSound(const std::string& eventName) { host_.eventSound(eventName); }

QString MainWindow::currentStatusText() const { return statusBar()->currentMessage(); }

void MainWindow::protocol(const QString& line) { protocol_ << line; }

void MainWindow::quitApplication() {
  exiting_ = true;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->close();
}

// ---------------------------------------------------------------------------------------------
// Timers

void MainWindow::heartbeat() {
  // The first beat shows the manual and the pages: it waits for the first picture.
  if (!firstLayoutDone_ || !firstPaintDone_ || shutDown_) return;
  ++tick_;

  // 1. A blank web view gets the start page, once per blank page.
  if (help_->shownAddress().compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0) {
    if (!blankNavigated_) {
      blankNavigated_ = true;
      help_->showStartPage();
    }
  } else {
    blankNavigated_ = false;
  }

  // 2. The silent check keeps the information strip current.
  applyInfoRows(commands_->checkSystem(0));
  updateWindowTitle();

  // 3. A language switch asked for a restart. Kept open because the open system could not be
  // saved, the program goes on beating; the new language comes with the next start.
  if (exitRequested_) {
    heartbeatTimer_.stop();
    close();
    if (!shutDown_) {
      exitRequested_ = false;
      heartbeatTimer_.start();
    }
    return;
  }

  // 4./5. Panels belong on their sides.
  if (helpDock_->isFloating() || dockWidgetArea(helpDock_) != Qt::RightDockWidgetArea) {
    helpDock_->setFloating(false);
    addDockWidget(Qt::RightDockWidgetArea, helpDock_);
    settleLayout();
    return;
  }
  if (libraryDock_->isFloating() || dockWidgetArea(libraryDock_) != Qt::LeftDockWidgetArea) {
    libraryDock_->setFloating(false);
    addDockWidget(Qt::LeftDockWidgetArea, libraryDock_);
    settleLayout();
  }

  // 6. Keep a sliver of the editor area while the help panel is (nearly) full width.
  const int inner = editorAreaWidth();
  const int share = helpPanelPercent();
  // Started only when idle: restarting it on every tick would keep it from ever firing.
  if ((inner < kInnerMinimum || (share == 100 && inner != kInnerMinimum)) && !innerMinimumTimer_.isActive())
    innerMinimumTimer_.start(300);

  // 7. The editor area follows a widening of the inner area.
  if (inner > tabSelector_->width() + 15) settleLayout();

  // 8. A system opened or closed by any path: the pages or the hint in their place.
  if (systemShown_ == ws_.system().systemFileName.empty()) layoutEditorArea();

  // 9. After start-up or a drag of a panel's edge the hidden views come back.
  if (!help_->viewVisible() && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    hiddenByDrag_ = false;
    help_->setViewVisible(true);
    setEditorTabsVisible(true);
    layoutEditorArea();
  }

  if (tick_ % 5 == 0) refreshLockPanes();
}

// ---------------------------------------------------------------------------------------------
// Events

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstLayoutDone_) finishFirstLayout();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  layoutEditorArea();
  layoutTimer_.start();
  if (firstLayoutDone_ && !startLeft_ && mode_ == mode::Start) {
    // The start page keeps the whole window; once more after the resize has settled.
    setHelpPanelPercent(100);
    QTimer::singleShot(100, this, [this] {
      if (!startLeft_ && mode_ == mode::Start) setHelpPanelPercent(100);
    });
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !activatedOnce_) {
    activatedOnce_ = true;
    commands_->checkForUpdate();
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == libraryDock_ || watched == helpDock_) && firstLayoutDone_) {
    // While the user drags a panel's edge the heavy views stay hidden; they return on release.
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) {
      hiddenByDrag_ = true;
      help_->setViewVisible(false);
      setEditorTabsVisible(false);
    } else if (hiddenByDrag_) {
      hiddenByDrag_ = false;
      help_->setViewVisible(true);
      setEditorTabsVisible(true);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    // The open system first: when its file cannot be written the user may stay and save it
    // elsewhere instead of losing the changes with the program.
    if (!ws_.system().systemFileName.empty()) {
      if (commands_->saveSystem()) {
        eventSound("Write System");
      } else if (!askToDiscardUnsavableChanges(ws_)) {
        event->ignore();
        return;
      }
    }
    shutDown_ = true;
    heartbeatTimer_.stop();
    innerMinimumTimer_.stop();
    saveLayout(mode_ == mode::Transitional ? mode::Start : mode_);
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && w->isVisible()) w->close();
    ws_.saveSettings();
    commands_->installDownloadedUpdate();
    quitApplication();
  }
  event->accept();
}

}  // namespace zorvik
