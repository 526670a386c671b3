#include "editors/signal_group_page.hpp"

#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "editors/indicator_editor.hpp"
#include "editors/signal_group_editor.hpp"
#include "model/trading_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

SignalGroupPage::SignalGroupPage(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
  setObjectName("ixiForm");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setChildrenCollapsible(false);
  layout->addWidget(splitter_);

  groupEditorTabs_ = new QTabWidget(splitter_);
  groupEditorTabs_->setObjectName("T2");
  groupEditorTabs_->tabBar()->hide();
  indicatorEditorTabs_ = new QTabWidget(splitter_);
  indicatorEditorTabs_->setObjectName("T3");
  indicatorEditor_ = new IndicatorEditor(ws_);
  groupEditor_ = new SignalGroupEditor(ws_, *indicatorEditor_);
  // In a narrow editor area (a wide help panel, a small window) the editors keep the size
  // their rows need and scroll, instead of being cut off at the right.
  auto scrolled = [](QWidget* editor) {
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(editor);
    return area;
  };
  groupEditorTabs_->addTab(scrolled(groupEditor_), QString());
  indicatorEditorTabs_->addTab(scrolled(indicatorEditor_), QString::fromStdString(ws_.tr("Indikatoreinstellungen")));
  splitter_->setStretchFactor(0, 3);
  splitter_->setStretchFactor(1, 2);
  connect(splitter_, &QSplitter::splitterMoved, this, [this] { panelsDragged_ = true; });

  connect(groupEditor_, &SignalGroupEditor::overviewChanged, this, &SignalGroupPage::overviewChanged);
  connect(groupEditor_, &SignalGroupEditor::neededHeightChanged, this, &SignalGroupPage::fitPanels);
  for (auto* form : {static_cast<QObject*>(groupEditor_), static_cast<QObject*>(indicatorEditor_)}) {
    // Both editors declare the same signals; forward each by name.
    connect(form, SIGNAL(toolboxRequested(QString)), this, SIGNAL(toolboxRequested(QString)));
    connect(form, SIGNAL(helpRequested(QString)), this, SIGNAL(helpRequested(QString)));
    connect(form, SIGNAL(itemDropped(QString)), this, SIGNAL(itemDropped(QString)));
    connect(form, SIGNAL(eventSound(QString)), this, SIGNAL(eventSound(QString)));
    connect(form, SIGNAL(sliderSettingChanged()), this, SIGNAL(sliderSettingChanged()));
    connect(form, SIGNAL(helpRegistration(QWidget*, QString, QString, QString)), this,
            SIGNAL(helpRegistration(QWidget*, QString, QString, QString)));
  }
}

void SignalGroupPage::showGroup(TradingSystem& system, int group) {
  if (group < 1 || group > system.groupCount()) return;
  system_ = &system;
  group_ = group;
  groupEditor_->activateControls(system.group(group), group);
  groupEditor_->showIndicators(1);
  takeRoomIfWanted();
  fitPanels();
}

void SignalGroupPage::refresh() { showGroup(system_ ? *system_ : ws_.system(), group_ == 0 ? 1 : group_); }

void SignalGroupPage::setArrangement(int arrangement) {
  arrangement_ = arrangement == 1 ? 1 : 0;
  panelsDragged_ = false;
  if (arrangement_ == 1) roomWanted_ = false;
  fitPanels();
}

namespace {

// What a panel's tab frame and scroll area take from its width around the editor.
int frameAround(const QTabWidget* tabs, const QWidget* editor) {
  const QWidget* viewport = editor->parentWidget();
  return viewport && tabs->width() > viewport->width() ? tabs->width() - viewport->width() : 0;
}

}  // namespace

int SignalGroupPage::sideBySideWidth() const {
  return groupEditor_->minimumWidth() + frameAround(groupEditorTabs_, groupEditor_) + indicatorEditor_->minimumWidth() +
         frameAround(indicatorEditorTabs_, indicatorEditor_) + splitter_->handleWidth() + 8;
}

bool SignalGroupPage::showsSideBySide() const { return arrangement_ == 0 && width() >= sideBySideWidth(); }

void SignalGroupPage::askRoomForSideBySide() {
  roomWanted_ = true;
  takeRoomIfWanted();
  fitPanels();
}

void SignalGroupPage::takeRoomIfWanted() {
  if (!roomWanted_ || arrangement_ != 0 || !isVisible()) return;
  roomWanted_ = false;
  if (width() < sideBySideWidth()) emit widthWanted(sideBySideWidth() - width());
  if (width() < sideBySideWidth())
    ws_.host().status(ws_.tr("Für die Anzeige nebeneinander ist das Fenster zu schmal."));
}

void SignalGroupPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitPanels();
}

void SignalGroupPage::fitPanels() {
  const Qt::Orientation orientation = showsSideBySide() ? Qt::Horizontal : Qt::Vertical;
  const bool turned = splitter_->orientation() != orientation;
  splitter_->setOrientation(orientation);
  if (panelsDragged_ && !turned) return;
  const int total = (orientation == Qt::Vertical ? splitter_->height() : splitter_->width()) - splitter_->handleWidth();
  if (total <= 0) return;
  int first = total * 3 / 5;
  if (orientation == Qt::Vertical) {
    // The group editor gets what its panels, a short list and its buttons need; the indicator
    // editor scrolls its rows below it and keeps its verdict buttons in view.
    constexpr int kIndicatorPartMinimum = 150;
    const int frame = groupEditorTabs_->height() > 0 && groupEditorTabs_->currentWidget()
                          ? std::max(0, groupEditorTabs_->height() - groupEditorTabs_->currentWidget()->height())
                          : 0;
    first = std::clamp(groupEditor_->neededHeight() + frame + 2, std::min(total / 3, kIndicatorPartMinimum),
                       std::max(total / 3, total - kIndicatorPartMinimum));
  } else {
    // The group editor gets its share, but never so much that the indicator editor would have
    // to scroll sideways.
    first = std::max(first, groupEditor_->minimumWidth() + frameAround(groupEditorTabs_, groupEditor_));
    first = std::min(first, total - indicatorEditor_->minimumWidth() - frameAround(indicatorEditorTabs_, indicatorEditor_));
  }
  splitter_->setSizes({first, total - first});
}

void SignalGroupPage::registerHelpTopics() {
  emit helpRegistration(groupEditor_->editIndicatorButton(), "XIForm", "Command5", "IndikatorEdit");
  emit helpRegistration(groupEditor_->addIndicatorButton(), "XIForm", "Command1", "IndikatorHinzu");
  emit helpRegistration(groupEditor_->removeIndicatorButton(), "XIForm", "Command2", "IndikatorWeg");
  emit helpRegistration(groupEditor_->toolboxButton(), "XIForm", "Command3", "InTools");
  emit helpRegistration(indicatorEditor_->discardButton(), "IForm", "Command22", "IndEditVerwerfen");
  emit helpRegistration(indicatorEditor_->acceptButton(), "IForm", "Command21", QString::fromUtf8("IndEditÜbernehmen"));
}

}  // namespace zorvik
