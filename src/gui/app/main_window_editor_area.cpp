// The editor area of the main window: the tab selector, the pages below it (one container per
// tab, into which the editors are moved), the tab marks and the information strip.
#include "app/main_window.hpp"

#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "app/main_commands.hpp"
#include "app/tab_selector.hpp"
#include "help/help_panel_base.hpp"
#include "model/trading_system.hpp"
#include "qt_text.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

// The seven tabs of the editor area, in tab order.
constexpr std::array<const char*, MainWindow::kTabCount> kTabCaptions{
    "GENERAL@1", "LONG@1", "EXIT LONG@1", "SHORT@1", "EXIT SHORT@1", "MONEYMANAGEMENT@1", "EINSTELLUNGEN@1"};

// Pixels: the information strip's width, the gaps around it, and the narrowest editor area
// that still shows its pages.
constexpr int kStripWidth = 132;
constexpr int kMargin = 6;
constexpr int kSliverWidth = 40;

// The central area between the docked panels. It has no layout manager: the window places the
// tab selector, the pages and the information strip itself, so that the area can shrink to a
// few pixels while the help panel is wide.
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

void MainWindow::buildEditorArea() {
  editorArea_ = new EditorArea(*this, this);
  auto* selector = new TabSelector(editorArea_);
  // In two rows: the system's general settings and its four signal groups, then money
  // management, the settings and what follows; in three, the long and the short side apart.
  selector->setRowBreaks({5, 3});
  tabSelector_ = selector;
  tabSelector_->setObjectName(QStringLiteral("tc1"));
  tabSelector_->setExpanding(false);
  tabSelector_->setDrawBase(true);
  tabSelector_->setElideMode(Qt::ElideNone);
  tabSelector_->setIconSize(QSize(12, 12));
  // A touch smaller than the menus: fewer tabs need a second row beside a narrow help panel.
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
  emptyHint_ = new QLabel(q(ws_.tr("Kein Handelssystem geöffnet.")) + QStringLiteral("\n\n") +
                              q(ws_.tr("Links in der Toolbox ein Handelssystem anklicken oder mit "
                                       "„Neues Handelssystem“ ein neues anlegen.")),
                          editorArea_);
  emptyHint_->setObjectName(QStringLiteral("emptyEditorHint"));
  emptyHint_->setAlignment(Qt::AlignCenter);
  emptyHint_->setWordWrap(true);
  emptyHint_->setForegroundRole(QPalette::PlaceholderText);
  emptyHint_->hide();
  setCentralWidget(editorArea_);
  // Hidden until the first heartbeat, so that start-up does not flash half-laid-out pages.
  setEditorTabsVisible(false);
}

void MainWindow::createEditorPages() {
  // Each tab starts with a stand-in page; the editors replace them with setEditorPage.
  for (int i = 0; i < kTabCount; ++i) {
    setEditorPage(i, makePlaceholderPage(tabSelector_->tabText(i)));
    pages_[static_cast<std::size_t>(i)].standIn = true;
  }
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

void MainWindow::buildLatePages() {
  if (!latePages_) return;
  // Taken out first: building may select a tab, which asks for the late pages again.
  const std::function<void()> build = std::move(latePages_);
  latePages_ = nullptr;
  build();
}

QWidget* MainWindow::editorPage(int tab) {
  if (tab < 0 || tab >= kTabCount) return nullptr;
  buildLatePages();
  return pages_[static_cast<std::size_t>(tab)].widget;
}

int MainWindow::addPage(const QString& caption, QWidget* page) {
  const int tab = tabSelector_->addTab(caption);
  editorTabs_->addTab(page, caption);
  return tab;
}

void MainWindow::placePage(int tab) {
  QWidget* page = pages_[static_cast<std::size_t>(tab)].widget;
  QWidget* container = containers_[static_cast<std::size_t>(tab)];
  if (!page || !container) return;
  if (page->parentWidget() != container) container->layout()->addWidget(page);
  page->show();
}

void MainWindow::layoutEditorArea() {
  if (!editorArea_ || !tabSelector_) return;
  const int w = editorArea_->width();
  const int h = editorArea_->height();
  // In the sliver left beside a full-width help panel a page would only show a cut-off letter.
  const bool showTabs = tabsWanted_ && w >= kSliverWidth;
  // Without an open system every page but the program settings would edit a system that
  // cannot be saved: the grey field takes its place and says how to get one. Before the first
  // heartbeat the pages are hidden on purpose.
  systemShown_ = !ws_.system().systemFileName.empty();
  const bool noSystem = firstLayoutDone_ && !systemShown_ && w >= kSliverWidth;
  const bool hintForPage = showTabs && noSystem && selectedTab() != kSettingsTab;
  const bool hint = (!showTabs && noSystem) || hintForPage;
  tabSelector_->setVisible(showTabs);
  editorTabs_->setVisible(showTabs && !hintForPage);
  emptyHint_->setVisible(hint);
  // Trying font sizes loads fonts: only for a strip that is shown.
  if (showTabs) fitTabSelector(w);
  const int tabHeight = tabSelector_->sizeHint().height();
  tabSelector_->setGeometry(0, kMargin, w, tabHeight);
  const int top = kMargin + tabHeight;
  const int hintTop = showTabs ? top : 0;
  if (hint)
    emptyHint_->setGeometry(2 * kMargin, hintTop + 2 * kMargin, std::max(0, w - 4 * kMargin),
                            std::max(0, h - hintTop - 4 * kMargin));
  // Until the first check has drawn rows the strip takes no room from the page; without a
  // system it has nothing to say.
  // A results page has the whole width: the strip's column would stand empty below it there.
  const bool resultsPage = selectedTab() >= kTabCount;
  const int stripWidth =
      infoStrip_->rows().empty() || hintForPage || resultsPage ? 0 : std::min(kStripWidth, std::max(0, w / 4));
  infoStrip_->setVisible(showTabs && stripWidth > 0);
  const int pageWidth = std::max(0, w - stripWidth - (stripWidth > 0 ? kMargin : 0));
  editorTabs_->setGeometry(0, top, pageWidth, std::max(0, h - top));
  infoStrip_->setGeometry(pageWidth + kMargin, top + kMargin, std::max(0, stripWidth - kMargin),
                      std::min(infoStrip_->sizeHint().height(), std::max(0, h - top - 2 * kMargin)));
}

void MainWindow::fitTabSelector(int width) {
  // Captions may not be shortened: where the tabs do not fit in one row they take two or three.
  static_cast<TabSelector*>(tabSelector_)->fitTo(width);
}

int MainWindow::tabSelectorMinimumWidth() { return static_cast<TabSelector*>(tabSelector_)->oneRowMinimumWidth(); }

int MainWindow::selectedTab() const { return tabSelector_ ? tabSelector_->currentIndex() : -1; }

void MainWindow::copyTabCaptions() {
  for (int i = 0; i < tabSelector_->count() && i < editorTabs_->count(); ++i) editorTabs_->setTabText(i, tabSelector_->tabText(i));
}

void MainWindow::onEditorTabChanged(int index) {
  if (index < 0 || index >= editorTabs_->count()) return;
  // Without a system the hint stands in for every page but the settings.
  if (!systemShown_ || ws_.system().systemFileName.empty()) layoutEditorArea();
  // A stand-in in view, or an added page (built with the late pages), needs them now; not yet
  // while the window is built, when no page is in view.
  if (!constructing_ && (index >= kTabCount || pages_[static_cast<std::size_t>(index)].standIn)) buildLatePages();
  editorTabs_->setCurrentIndex(index);
  // Before start-up is done the window has no layouts to switch between.
  if (firstLayoutDone_) {
    if (index >= kTabCount)
      enterResultsMode();
    else
      leaveResultsMode();
  }
  layoutEditorArea();
  if (index >= kTabCount) return;  // an added page keeps itself
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
  // The marks widen every tab: the strip's font and the room beside the help panel follow.
  if (open != tabMarksShown_) {
    tabMarksShown_ = open;
    keepTabSelectorRoom();
    layoutEditorArea();
  }
}

void MainWindow::setEditorTabsVisible(bool visible) {
  tabsWanted_ = visible;
  // The page coming into view is an editor, never a stand-in.
  const int shown = selectedTab();
  if (visible && shown >= 0 && shown < kTabCount && pages_[static_cast<std::size_t>(shown)].standIn)
    onEditorTabChanged(shown);
  layoutEditorArea();
}

void MainWindow::applyInfoRows(const std::optional<InfoRows>& rows) {
  if (!rows) return;
  const bool firstRows = infoStrip_->rows().empty() != rows->empty();
  infoStrip_->setRows(*rows);
  if (firstRows) layoutEditorArea();
}

}  // namespace zorvik
