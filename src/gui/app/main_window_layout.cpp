// The main window's display modes and docks: the start, edit, help and results modes with their
// layout files, the share of the help panel, and the sliver of editor area that is kept beside a
// full-width help panel.
#include "app/main_window.hpp"

#include <QCoreApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLayout>
#include <QPainter>

#include "app/after_first_paint.hpp"
#include "help/help_panel.hpp"
#include "library/library_panel_base.hpp"
#include "qt_text.hpp"
#include "text/text_files.hpp"
#include "window/command_table.hpp"
#include "window/display_modes.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

// Version stamp of the layout files; restoreState refuses bytes of another version.
constexpr int kLayoutVersion = 1;

// The title of a side panel: its caption on a light band with a line below. Drawn here rather
// than through a style sheet, which would put every widget of the panel under the slower
// style-sheet style.
class DockTitle : public QWidget {
 public:
  explicit DockTitle(QDockWidget* dock) : QWidget(dock), dock_(dock) {
    connect(dock, &QWidget::windowTitleChanged, this, [this] {
      hint_ = QSize();
      updateGeometry();
      update();
    });
  }
  // Asked for again and again while the docks are laid out: measured once per caption and font.
  QSize sizeHint() const override {
    if (!hint_.isValid()) {
      const QFontMetrics metrics(font());
      hint_ = {metrics.horizontalAdvance(dock_->windowTitle()) + kTextLeft + kPadRight, metrics.height() + 2 * kPadY};
    }
    return hint_;
  }
  QSize minimumSizeHint() const override { return {kTextLeft + kPadRight, sizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Midlight));
    p.fillRect(QRect(0, height() - 1, width(), 1), palette().color(QPalette::Mid));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(kTextLeft, kPadY, width() - kTextLeft - kPadRight, fontMetrics().height()),
               Qt::AlignLeft | Qt::AlignVCenter, dock_->windowTitle());
  }
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::FontChange) hint_ = QSize();
    QWidget::changeEvent(event);
  }

 private:
  static constexpr int kTextLeft = 12;
  static constexpr int kPadRight = 8;
  static constexpr int kPadY = 5;  // the line below included
  QDockWidget* dock_;
  mutable QSize hint_;
};

}  // namespace

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
  libraryDock_->setTitleBarWidget(new DockTitle(libraryDock_));
  helpDock_->setTitleBarWidget(new DockTitle(helpDock_));
  libraryDock_->installEventFilter(this);
  helpDock_->installEventFilter(this);
}

void MainWindow::finishFirstLayout() {
  // The freshly built arrangement becomes the reset layout, rewritten at every start (the
  // file once the window is on screen).
  const QByteArray freshLayout = saveState(kLayoutVersion);
  if (restoreState(freshLayout, kLayoutVersion)) settleLayout();
  mode_ = mode::Start;
  checkModeCommand();
  setHelpPanelPercent(100);
  firstLayoutDone_ = true;
  // The manual (a large page to lay out) and the hidden editors come after the first picture;
  // the web view is hidden until the first heartbeat anyway.
  runAfterFirstPaint(
      this,
      [this, freshLayout] {
        writeLayoutFile(mode::Start, freshLayout);
        buildLatePages();
        setMenuIcons();
        if (help_->shownAddress().compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0)
          help_->showStartPage();
      },
      [this] { firstPaintDone_ = true; });
}

void MainWindow::saveLayout(std::int16_t mode) { writeLayoutFile(mode, saveState(kLayoutVersion)); }

void MainWindow::writeLayoutFile(std::int16_t mode, const QByteArray& state) {
  const std::string_view file = layoutFileName(mode);
  if (file.empty()) return;
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
  if (mode_ == mode::Results) {
    // The reset arrangement shows both panels; a results page keeps the window to itself.
    libraryDock_->hide();
    helpDock_->hide();
    settleLayout();
    saveLayout(mode_);
    return;
  }
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

void MainWindow::enterResultsMode() {
  if (mode_ != mode::Edit && mode_ != mode::Help) return;
  modeBeforeResults_ = mode_;
  saveLayout(mode_);
  mode_ = mode::Results;
  // The first time there is no layout of this mode yet: both panels simply step aside.
  if (!loadLayout(mode::Results)) {
    libraryDock_->hide();
    helpDock_->hide();
  }
  settleLayout();
  checkModeCommand();
}

void MainWindow::leaveResultsMode() {
  if (mode_ != mode::Results) return;
  saveLayout(mode::Results);
  mode_ = modeBeforeResults_;
  loadLayout(mode_);
  // Whatever the file said, the editors need the library and the help beside them.
  libraryDock_->show();
  helpDock_->show();
  settleLayout();
  checkModeCommand();
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
  if (percent <= 50) keepTabSelectorRoom();
}

void MainWindow::keepTabSelectorRoom() {
  // Measuring the strip tries fonts: only where the panels could give way at all.
  if (!firstLayoutDone_ || helpPanelPercent() > 50 || !helpDock_->isVisible()) return;
  widenEditorArea(tabSelectorMinimumWidth() - editorAreaWidth());
}

void MainWindow::widenEditorArea(int missing) {
  // Below these widths the manual's lines and the library's names would be cut more than the
  // editors gain.
  constexpr int kHelpPanelMinimumWidth = 180;
  constexpr int kLibraryPanelMinimumWidth = 200;
  if (!firstLayoutDone_ || missing <= 0 || helpPanelPercent() > 50 || !helpDock_->isVisible()) return;
  const int help = std::max(kHelpPanelMinimumWidth, helpDock_->width() - missing);
  if (help < helpDock_->width()) {
    missing -= helpDock_->width() - help;
    resizeDocks({helpDock_}, {help}, Qt::Horizontal);
  }
  if (missing > 0 && libraryDock_->isVisible()) {
    const int library = std::max(kLibraryPanelMinimumWidth, libraryDock_->width() - missing);
    if (library < libraryDock_->width()) resizeDocks({libraryDock_}, {library}, Qt::Horizontal);
  }
  settleLayout();
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
}  // namespace zorvik
