#include "editors/signal_group_page.hpp"

#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/indicator_editor.hpp"
#include "editors/signal_group_editor.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"

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

  connect(groupEditor_, &SignalGroupEditor::overviewChanged, this, &SignalGroupPage::overviewChanged);
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
}

void SignalGroupPage::refresh() { showGroup(system_ ? *system_ : ws_.system(), group_ == 0 ? 1 : group_); }

void SignalGroupPage::setArrangement(int arrangement) {
  arrangement_ = arrangement == 1 ? 1 : 0;
  splitter_->setOrientation(arrangement_ == 1 ? Qt::Vertical : Qt::Horizontal);
  const int total = arrangement_ == 1 ? splitter_->height() : splitter_->width();
  if (total > 0) splitter_->setSizes({total * 3 / 5, total - total * 3 / 5});
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
