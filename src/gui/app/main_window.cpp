#include "app/main_window.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/about_window.hpp"
#include "window/command_table.hpp"
#include "window/display_modes.hpp"
#include "help/help_panel.hpp"
#include "app/keyboard_lock_state.hpp"
#include "library/library_panel_base.hpp"
#include "app/main_commands.hpp"
#include "app/qt_host.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"
#include "text/text_files.hpp"

namespace zorvik {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The seven tabs of the editor area, in tab order.
constexpr std::array<const char*, MainWindow::kTabCount> kTabCaptions{
    "GENERAL@1", "LONG@1", "EXIT LONG@1", "SHORT@1", "EXIT SHORT@1", "MONEYMANAGEMENT@1", "EINSTELLUNGEN@1"};

// Version stamp of the layout files; restoreState refuses bytes of another version.
constexpr int kLayoutVersion = 1;
constexpr int kStripWidth = 132;
constexpr int kMargin = 6;
constexpr int kSliverWidth = 40;

// The ids whose images the icon strip "Toolbar.png" holds, in strip order.
constexpr std::array<std::int32_t, 13> kIconStripIds{100, 101, 103, 113, 108, 106, 107, 120, 121, 122, 123, 124, 125};

// The central area between the docked panels. It has no layout manager: the window places
// the tab selector, the pages and the information strip itself, so that the area can shrink to a few pixels
// while the help panel is wide.
class EditorArea : public QWidget {
 public:
  EditorArea(MainWindow& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("EditorArea"));
    setMinimumSize(0, 0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    form_.layoutEditorArea();
  }

 private:
  MainWindow& form_;
};

// A quiet stand-in for an editor that is not built yet: the tab's caption, large and pale.
QWidget* makePlaceholderPage(const QString& caption) {
  auto* label = new QLabel(caption);
  label->setAlignment(Qt::AlignCenter);
  QFont f = label->font();
  f.setPointSizeF(f.pointSizeF() * 2.2);
  f.setBold(true);
  label->setFont(f);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, p.color(QPalette::Mid));
  label->setPalette(p);
  return label;
}

// The in-use icon of a tab: 0 unused (hollow ring), 1 in use (amber dot), 2 confirmed (green
// dot with a tick).
QIcon tabMarkIcon(int editok) {
  if (editok < 0 || editok > 2) return {};
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(5, 5, 22, 22);
  if (editok == 0) {
    p.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 3));
    p.drawEllipse(r);
  } else if (editok == 1) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe6, 0xa2, 0x2c));
    p.drawEllipse(r);
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0xa0, 0x43));
    p.drawEllipse(r);
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{10.5, 16.5}, {14.5, 20.5}, {21.5, 12}});
  }
  return QIcon(pm);
}

}  // namespace

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
  }
  ws_.startUp();
  // 1280 x 800, or what the screen has room for.
  QSize size(1280, 800);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size());
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
  connect(&layoutTimer_, &QTimer::timeout, this, [this] { layoutEditorArea(); });
  heartbeatTimer_.start();
}

MainWindow::~MainWindow() {
  if (auto* qtHost = dynamic_cast<QtHost*>(&host_)) qtHost->setMainWindow(nullptr);
}


// ---------------------------------------------------------------------------------------------
// Building

void MainWindow::buildEditorArea() {
  editorArea_ = new EditorArea(*this, this);
  tabSelector_ = new QTabBar(editorArea_);
  tabSelector_->setObjectName(QStringLiteral("tc1"));
  tabSelector_->setExpanding(false);
  tabSelector_->setDrawBase(true);
  tabSelector_->setElideMode(Qt::ElideNone);
  tabSelector_->setIconSize(QSize(12, 12));
  // A touch smaller than the menus, so that all seven tabs fit beside a help panel of 35 percent.
  QFont tabFont = tabSelector_->font();
  tabFont.setPointSizeF(tabFont.pointSizeF() * 0.9);
  tabSelector_->setFont(tabFont);
  editorTabs_ = new QTabWidget(editorArea_);
  editorTabs_->setObjectName(QStringLiteral("TC2"));
  editorTabs_->tabBar()->hide();  // the selector above chooses the page
  for (int i = 0; i < kTabCount; ++i) {
    const QString caption = q(ws_.tr(kTabCaptions[static_cast<std::size_t>(i)]));
    tabSelector_->addTab(caption);
    auto* container = new QWidget;
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    containers_[static_cast<std::size_t>(i)] = container;
    editorTabs_->addTab(container, QString());
  }
  tabSelector_->setTabToolTip(0, q(ws_.tr("Generelle Einstellungen")));
  infoStrip_ = new SystemInfoStrip(ws_.resFolder(), editorArea_);
  connect(infoStrip_, &SystemInfoStrip::rowClicked, this, [this](int row) {
    if (row >= 1 && row <= 4) {
      applyInfoRows(commands_->checkSystem(2));
    } else if (row == 5) {
      commands_->askEqualSymbols();
    } else if (row == 6) {
      commands_->askEqualTimeFrames();
    }
  });
  connect(infoStrip_, &SystemInfoStrip::helpKeyHovered, this, [this](const QString& context, const QString& key) {
    if (help_) help_->hoverHelp(context, key);
  });
  connect(tabSelector_, &QTabBar::currentChanged, this, &MainWindow::onEditorTabChanged);
  setCentralWidget(editorArea_);
  // Hidden until the first heartbeat, so that start-up does not flash half-laid-out pages.
  setEditorTabsVisible(false);
}

void MainWindow::buildDocks() {
  // The panels may be resized but neither floated nor moved: their docks carry no features,
  // and the heartbeat puts a panel that ended up on the wrong side back.
  libraryDock_ = new QDockWidget(q(ws_.tr("Toolbox@2")), this);
  libraryDock_->setObjectName(QStringLiteral("Toolbox"));
  libraryDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  libraryDock_->setAllowedAreas(Qt::LeftDockWidgetArea);
  // An empty panel until the program's parts put the library here.
  auto* emptyPanel = new LibraryPanelBase;
  emptyPanel->setObjectName(QStringLiteral("PictureTP"));
  emptyPanel->setAutoFillBackground(true);
  emptyPanel->setBackgroundRole(QPalette::Base);
  setLibraryPanel(emptyPanel);
  addDockWidget(Qt::LeftDockWidgetArea, libraryDock_);

  helpDock_ = new QDockWidget(q(ws_.tr("Die Hilfe...@2")), this);
  helpDock_->setObjectName(QStringLiteral("Helpbox"));
  helpDock_->setAccessibleName(q(ws_.tr("Helpbox@2")));
  helpDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  helpDock_->setAllowedAreas(Qt::RightDockWidgetArea);
  setHelpPanel(new HelpPanel(ws_, host_));
  // Like the tab strips, the web view waits for the first heartbeat (which brings both back).
  help_->setViewVisible(false);
  addDockWidget(Qt::RightDockWidgetArea, helpDock_);

  // The panels' first widths, kept in the reset layout: a library column and a help column
  // of about a third of the window.
  resizeDocks({libraryDock_, helpDock_}, {250, 360}, Qt::Horizontal);
  const QString titleStyle = QStringLiteral(
      "QDockWidget::title { background: palette(midlight); padding: 5px 8px; border-bottom: 1px solid palette(mid); }");
  libraryDock_->setStyleSheet(titleStyle);
  helpDock_->setStyleSheet(titleStyle);
  libraryDock_->installEventFilter(this);
  helpDock_->installEventFilter(this);
}

void MainWindow::buildMenus() {
  for (const CommandMenu& menu : commandMenus()) {
    QMenu* m = menuBar()->addMenu(q(ws_.tr(menu.caption)));
    for (const CommandEntry& e : menu.entries) {
      if (e.kind == EntryKind::Submenu) {
        m->addMenu(q(ws_.tr(e.caption)));
        continue;
      }
      QAction* a = m->addAction(q(ws_.tr(e.caption)));
      a->setData(e.id);
      a->setCheckable(e.kind == EntryKind::Checkable);
      actions_[e.id] = a;
      const std::int32_t id = e.id;
      connect(a, &QAction::triggered, this, [this, id, a] { commandDispatch(id, a->text()); });
    }
  }

  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName(QStringLiteral("LibraryContextMenu"));
  for (const CommandEntry& e : libraryContextEntries()) {
    QAction* a = contextMenu_->addAction(q(ws_.tr(e.caption)));
    a->setData(e.id);
    actions_[e.id] = a;
    const std::int32_t id = e.id;
    connect(a, &QAction::triggered, this, [this, id, a] { commandDispatch(id, a->text()); });
  }

  // Icons: the strip "Toolbar.png" holds one square image per id; without it the toolkit's
  // own new and save icons stand in.
  QPixmap strip;
  const auto stripFile = ws_.resFile("Toolbar.png");
  if (std::filesystem::exists(stripFile)) strip.load(q(stripFile.string()));
  auto iconOf = [&](std::int32_t id, QStyle::StandardPixmap fallback) {
    if (!strip.isNull()) {
      const int w = strip.width() / static_cast<int>(kIconStripIds.size());
      for (std::size_t i = 0; i < kIconStripIds.size(); ++i)
        if (kIconStripIds[i] == id) return QIcon(strip.copy(static_cast<int>(i) * w, 0, w, strip.height()));
    }
    return style()->standardIcon(fallback);
  };
  actions_[cmd::NewSystem]->setIcon(iconOf(cmd::NewSystem, QStyle::SP_FileIcon));
  actions_[cmd::SaveSystem]->setIcon(iconOf(cmd::SaveSystem, QStyle::SP_DialogSaveButton));

  buildStatusBar();
  checkLanguageCommand(checkedLanguageCommand(ws_.language.name()));
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  const std::array<const char*, 3> labels{"CAPS", "NUM", "SCRL"};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    auto* pane = new QLabel(q(ws_.tr(labels[i])), bar);
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 14);
    pane->setEnabled(false);
    bar->addPermanentWidget(pane);
    lockPanes_[i] = pane;
  }
  lockState_ = std::make_unique<KeyboardLockState>();
  refreshLockPanes();
  bar->show();
  setActionChecked(cmd::StatusBar, true);
}

void MainWindow::createEditorPages() {
  // Each tab starts with a stand-in page; the editors replace them with setEditorPage.
  for (int i = 0; i < kTabCount; ++i) setEditorPage(i, makePlaceholderPage(tabSelector_->tabText(i)));
}

void MainWindow::finishFirstLayout() {
  // The freshly built arrangement becomes the reset layout, rewritten at every start.
  saveLayout(mode::Start);
  loadLayout(mode::Start);
  mode_ = mode::Start;
  checkModeCommand();
  setHelpPanelPercent(100);
  help_->showStartPage();
  firstLayoutDone_ = true;
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
  connect(panel, &LibraryPanelBase::editorTabsVisibilityRequested, this, &MainWindow::setEditorTabsVisible);
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

void MainWindow::setEditorPage(int tab, QWidget* page, std::function<void(int)> onShow) {
  if (tab < 0 || tab >= kTabCount || !page) return;
  Page& slot = pages_[static_cast<std::size_t>(tab)];
  QWidget* old = slot.widget;
  slot = Page{page, std::move(onShow)};
  const bool oldStillUsed =
      std::any_of(pages_.begin(), pages_.end(), [old](const Page& p) { return p.widget == old; });
  if (old && old != page && !oldStillUsed) old->deleteLater();
  if (!page->parentWidget() || tab == selectedTab()) placePage(tab);
}

QWidget* MainWindow::editorPage(int tab) const {
  if (tab < 0 || tab >= kTabCount) return nullptr;
  return pages_[static_cast<std::size_t>(tab)].widget;
}

void MainWindow::setCommands(std::unique_ptr<MainCommands> commands) {
  if (commands) commands_ = std::move(commands);
}

void MainWindow::placePage(int tab) {
  QWidget* page = pages_[static_cast<std::size_t>(tab)].widget;
  QWidget* container = containers_[static_cast<std::size_t>(tab)];
  if (!page || !container) return;
  if (page->parentWidget() != container) container->layout()->addWidget(page);
  page->show();
}

// ---------------------------------------------------------------------------------------------
// Commands

QAction* MainWindow::commandAction(std::int32_t id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::setActionChecked(std::int32_t id, bool checked) {
  if (QAction* a = commandAction(id)) a->setChecked(checked);
}

void MainWindow::commandDispatch(std::int32_t id, const QString& caption) {
  (void)caption;
  if (!isDispatchedCommand(id)) return;
  const bool hasSystem = !ws_.system().systemFileName.empty();
  switch (id) {
    case cmd::NewSystem:
      commands_->newSystem();
      break;
    case cmd::SaveSystem:
      if (hasSystem) {
        commands_->saveSystem();
        eventSound("Write System");
      }
      break;
    case cmd::Quit:
      close();
      break;
    case cmd::StatusBar:
      statusBar()->setVisible(statusBar()->isHidden());
      setActionChecked(cmd::StatusBar, !statusBar()->isHidden());
      settleLayout();
      break;
    case cmd::Reset:
      resetLayout();
      break;
    case cmd::EditMode:
    case cmd::HelpMode:
    case cmd::StartMode:
      modeCommand(id);
      break;
    case cmd::ProgramSettings:
      // The program settings live on the last tab; the menu entry takes the user there.
      libraryClicked();
      tabSelector_->setCurrentIndex(6);
      break;
    case cmd::SideBySide:
    case cmd::OneUnderTheOther:
      arrangement_ = id == cmd::SideBySide ? 0 : 1;
      emit signalGroupArrangementChanged(arrangement_);
      layoutEditorArea();
      break;
    case cmd::CheckSystem:
      applyInfoRows(commands_->checkSystem(1));
      break;
    case cmd::GenerateNow:
      if (hasSystem) {
        commands_->generateExpert();
      } else {
        ws_.message("Zuerst ein System laden");
      }
      break;
    case cmd::German:
    case cmd::English:
      languageCommand(id);
      break;
    case cmd::About:
      showAbout();
      break;
    default:
      if (id >= cmd::MoveToTrash && id <= cmd::SaveAs && library_) library_->contextCommand(id);
      break;
  }
}

void MainWindow::offerContextEntries(const std::string& groupCaption) {
  const auto offered = offeredContextCommands(groupCaption, ws_.language);
  for (const CommandEntry& e : libraryContextEntries())
    if (QAction* a = commandAction(e.id))
      a->setVisible(std::find(offered.begin(), offered.end(), e.id) != offered.end());
}

void MainWindow::showLibraryContextMenu(const QString& groupCaption, const QPoint& globalPos) {
  offerContextEntries(groupCaption.toStdString());
  contextMenu_->popup(globalPos);
}

void MainWindow::libraryClicked() {
  if (mode_ == mode::Start) commandDispatch(cmd::EditMode);
}

void MainWindow::modeCommand(std::int32_t id) {
  // The arrangement of the mode being left survives; then the target layout and its share.
  saveLayout(mode_);
  loadLayout(modeOfModeCommand(id));
  checkModeCommand();
  leaveStartMode();
  if (const auto share = shareAfterModeCommand(id, helpPanelPercent())) setHelpPanelPercent(*share);
}

void MainWindow::languageCommand(std::int32_t id) {
  const std::string target = id == cmd::German ? "DEUTSCH" : "ENGLISCH";
  if (ws_.language.name() == target) {
    ws_.message(id == cmd::German ? "Deutsch ist bereits eingestellt" : "Englisch ist bereits eingestellt");
  } else {
    ws_.language.switchLanguage(target, ws_.resFolder());
    if (ws_.language.name() != target) {
      // Without the English table nothing would change after the restart; say why instead.
      ws_.message("Die Sprachdatei fehlt: ", ws_.resFile("langEng.txt").string());
      checkLanguageCommand(checkedLanguageCommand(ws_.language.name()));
      return;
    }
    ws_.message("Bitte Programm neu starten");
    exitRequested_ = true;
  }
  checkLanguageCommand(id);
}

void MainWindow::checkLanguageCommand(std::int32_t id) {
  setActionChecked(cmd::German, false);
  setActionChecked(cmd::English, false);
  if (id == cmd::German || id == cmd::English) setActionChecked(id, true);
}

void MainWindow::showAbout() {
  if (!about_) {
    about_ = new AboutWindow(ws_, protocol_, this);
    about_->move(geometry().center() - about_->rect().center());
  }
  about_->refresh();
  about_->show();
  about_->raise();
}

// ---------------------------------------------------------------------------------------------
// Display modes

void MainWindow::saveLayout(std::int16_t mode) {
  const std::string_view file = layoutFileName(mode);
  if (file.empty()) return;
  const QByteArray state = saveState(kLayoutVersion);
  // The layout is a convenience; a failed write keeps the previous file and is not worth a
  // message box.
  writeFileAtomic(ws_.resFile(file), std::string_view(state.constData(), static_cast<std::size_t>(state.size())));
}

bool MainWindow::loadLayout(std::int16_t mode) {
  bool applied = false;
  const std::string_view file = layoutFileName(mode);
  if (!file.empty()) {
    if (const auto bytes = readFileBytes(ws_.resFile(file))) {
      applied = restoreState(QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size())), kLayoutVersion);
    }
  }
  if (mode == mode::Edit || mode == mode::Help) mode_ = mode;
  if (applied) settleLayout();
  return applied;
}

void MainWindow::resetLayout() {
  loadLayout(mode::Start);
  checkModeCommand();
  // The reset layout may have been saved while the help panel filled the window; the current
  // mode's share rule keeps the help panel narrow in edit mode and wide in help mode.
  if (mode_ == mode::Edit || mode_ == mode::Help) {
    if (const auto share = shareAfterModeCommand(mode_ == mode::Edit ? cmd::EditMode : cmd::HelpMode,
                                                 helpPanelPercent()))
      setHelpPanelPercent(*share);
  } else {
    setHelpPanelPercent(100);
  }
  settleLayout();
  saveLayout(mode_);
}

void MainWindow::checkModeCommand() {
  const std::int32_t checked = checkedModeCommand(mode_);
  for (std::int32_t id : {cmd::EditMode, cmd::HelpMode, cmd::StartMode}) setActionChecked(id, id == checked);
}

void MainWindow::leaveStartMode() {
  if (startLeft_) return;
  startLeft_ = true;
  if (help_) help_->startModeLeft();
}

void MainWindow::onStartPageClose() {
  leaveStartMode();
  loadLayout(mode::Edit);
  checkModeCommand();
  setHelpPanelPercent(35);
}

int MainWindow::editorAreaWidth() const {
  // When the docks leave the centre no room, the layout parks the editor area outside the
  // window with its old size instead of giving it a width of 0.
  if (!rect().intersects(editorArea_->geometry())) return 0;
  return editorArea_->width();
}

int MainWindow::helpPanelPercent() const { return helpShareOf(helpDock_->width(), editorAreaWidth() + helpDock_->width()); }

void MainWindow::setHelpPanelPercent(int percent) {
  // The layout may give or take a few pixels to the library panel while the help panel
  // changes, which changes the available width; a second pass meets the share again.
  for (int pass = 0; pass < 3; ++pass) {
    const int target = helpWidthForShare(percent, editorAreaWidth() + helpDock_->width());
    if (pass > 0 && helpDock_->width() == target) break;
    resizeDocks({helpDock_}, {target}, Qt::Horizontal);
    settleLayout();
  }
}

void MainWindow::keepEditorAreaMinimum() {
  const int available = editorAreaWidth() + helpDock_->width();
  resizeDocks({helpDock_}, {helpWidthKeepingInnerMinimum(available)}, Qt::Horizontal);
  settleLayout();
}

void MainWindow::settleLayout() {
  // Apply pending dock sizes now, so that the widths read right after are the new ones.
  if (QLayout* l = layout()) {
    l->invalidate();
    l->activate();
  }
  layoutEditorArea();
}

void MainWindow::layoutEditorArea() {
  if (!editorArea_ || !tabSelector_) return;
  const int w = editorArea_->width();
  const int h = editorArea_->height();
  // In the sliver left beside a full-width help panel a page would only show a cut-off letter.
  const bool showTabs = tabsWanted_ && w >= kSliverWidth;
  tabSelector_->setVisible(showTabs);
  editorTabs_->setVisible(showTabs);
  const int tabHeight = tabSelector_->sizeHint().height();
  tabSelector_->setGeometry(0, kMargin, w, tabHeight);
  const int top = kMargin + tabHeight;
  // Until the first check has drawn rows the strip takes no room from the page.
  const int stripWidth = infoStrip_->rows().empty() ? 0 : std::min(kStripWidth, std::max(0, w / 4));
  infoStrip_->setVisible(showTabs && stripWidth > 0);
  const int pageWidth = std::max(0, w - stripWidth - (stripWidth > 0 ? kMargin : 0));
  editorTabs_->setGeometry(0, top, pageWidth, std::max(0, h - top));
  infoStrip_->setGeometry(pageWidth + kMargin, top + kMargin, std::max(0, stripWidth - kMargin),
                      std::min(infoStrip_->sizeHint().height(), std::max(0, h - top - 2 * kMargin)));
}

// ---------------------------------------------------------------------------------------------
// Editor area

int MainWindow::selectedTab() const { return tabSelector_ ? tabSelector_->currentIndex() : -1; }

void MainWindow::copyTabCaptions() {
  for (int i = 0; i < tabSelector_->count() && i < editorTabs_->count(); ++i) editorTabs_->setTabText(i, tabSelector_->tabText(i));
}

void MainWindow::onEditorTabChanged(int index) {
  if (index < 0 || index >= kTabCount) return;
  editorTabs_->setCurrentIndex(index);
  placePage(index);
  // The settings page keeps what it shows; every other editor takes the open system anew.
  if (index != 6) {
    if (const auto& onShow = pages_[static_cast<std::size_t>(index)].onShow) onShow(index);
  }
  updateGroupTabIcons();
}

void MainWindow::updateGroupTabIcons() {
  const TradingSystem& system = ws_.system();
  const bool open = !system.systemFileName.empty();
  for (int i = 0; i < kTabCount; ++i) {
    int editok = -1;
    if (open) {
      if (i == 0) editok = system.general.editok;
      else if (i >= 1 && i <= 4) editok = system.group(i).editok;
      else if (i == 5) editok = system.mm.editok;
    }
    tabSelector_->setTabIcon(i, tabMarkIcon(editok));
  }
}

void MainWindow::setEditorTabsVisible(bool visible) {
  tabsWanted_ = visible;
  layoutEditorArea();
}

void MainWindow::applyInfoRows(const std::optional<InfoRows>& rows) {
  if (!rows) return;
  const bool firstRows = infoStrip_->rows().empty() != rows->empty();
  infoStrip_->setRows(*rows);
  if (firstRows) layoutEditorArea();
}

// ---------------------------------------------------------------------------------------------
// Window services

void MainWindow::updateWindowTitle() { setWindowTitle(q(windowCaption(programVersion(), ws_.system().systemFileName))); }

void MainWindow::eventSound(const std::string& eventName) { host_.eventSound(eventName); }

QString MainWindow::currentStatusText() const { return statusBar()->currentMessage(); }

void MainWindow::protocol(const QString& line) { protocol_ << line; }

void MainWindow::quitApplication() {
  exiting_ = true;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->close();
}

void MainWindow::refreshLockPanes() {
  for (int k = 0; k < 3; ++k) {
    const auto on = lockState_->isOn(static_cast<KeyboardLockState::Key>(k));
    lockPanes_[static_cast<std::size_t>(k)]->setEnabled(on.value_or(false));
  }
}

// ---------------------------------------------------------------------------------------------
// Timers

void MainWindow::heartbeat() {
  if (!firstLayoutDone_ || shutDown_) return;
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

  // 3. A language switch asked for a restart.
  if (exitRequested_) {
    heartbeatTimer_.stop();
    close();
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

  // 8. After start-up or a drag of a panel's edge the hidden views come back.
  if (!help_->viewVisible() && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    hiddenByDrag_ = false;
    help_->setViewVisible(true);
    setEditorTabsVisible(true);
    layoutEditorArea();
  }

  if (tick_ % 5 == 0) refreshLockPanes();
}

void MainWindow::innerMinimumTick() {
  innerMinimumTimer_.stop();
  QElapsedTimer clock;
  clock.start();
  auto needed = [this] {
    const int inner = editorAreaWidth();
    return inner < kInnerMinimum || (helpPanelPercent() == 100 && inner != kInnerMinimum);
  };
  // Bounded: window events run inside the loop, and a layout that refuses the width must not
  // keep the program here.
  while (needed() && clock.elapsed() < 1000) {
    QCoreApplication::processEvents();
    keepEditorAreaMinimum();
  }
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
    shutDown_ = true;
    heartbeatTimer_.stop();
    innerMinimumTimer_.stop();
    saveLayout(mode_ == mode::Transitional ? mode::Start : mode_);
    if (!ws_.system().systemFileName.empty()) {
      commands_->saveSystem();
      eventSound("Write System");
    }
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && w->isVisible()) w->close();
    ws_.saveSettings();
    commands_->installDownloadedUpdate();
    quitApplication();
  }
  event->accept();
}

}  // namespace zorvik
