// The backtest page's controls and their layout, built once: the settings of a run, the run
// buttons with progress and status, and the result views below them. The page's behaviour is
// in backtest_page.cpp.
#include "backtest/backtest_page.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/optional_modules.hpp"
#include "backtest/chart_module.hpp"
#include "backtest/statistics_panel.hpp"
#include "backtest/trade_table.hpp"
#include "backtest/vote_tree.hpp"

namespace zorvik {

void BacktestPage::buildControls() {
  QGridLayout* settings = buildSettingsRows();
  QHBoxLayout* buttons = buildRunButtons();
  QHBoxLayout* statusRow = buildStatusRow();
  QSplitter* parts = buildResultViews();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(settings);
  layout->addLayout(buttons);
  layout->addWidget(progress_);
  layout->addLayout(statusRow);
  layout->addWidget(parts, 1);

  connectControls();
  drawEquity();
  drawPriceChart(0, 0, nullptr);
}

QGridLayout* BacktestPage::buildSettingsRows() {
  historyChoice_ = new QComboBox;
  historyChoice_->setObjectName(QStringLiteral("backtestHistory"));
  historyChoice_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  historyChoice_->setMinimumContentsLength(24);
  historyChoice_->setToolTip(t("Die Kurshistorie, auf der das Handelssystem getestet wird"));
  historyFile_ = new QPushButton(t("Datei..."));
  historyFile_->setObjectName(QStringLiteral("backtestHistoryFile"));
  historyFile_->setToolTip(t("Eine Kurshistorie (.hst oder .csv) von der Festplatte wählen"));
  from_ = new QDateEdit;
  to_ = new QDateEdit;
  for (QDateEdit* edit : {from_, to_}) {
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
  }
  from_->setObjectName(QStringLiteral("backtestFrom"));
  to_->setObjectName(QStringLiteral("backtestTo"));
  from_->setToolTip(t("Erster Tag des Tests; die Bars davor speisen nur die Indikatoren"));
  to_->setToolTip(t("Letzter Tag des Tests (ganz eingeschlossen)"));
  spread_ = new QSpinBox;
  spread_->setObjectName(QStringLiteral("backtestSpread"));
  spread_->setRange(0, 100000);
  spread_->setValue(SymbolProperties{}.spreadPoints);
  spread_->setSuffix(QStringLiteral(" ") + t("Punkte"));
  spread_->setToolTip(t("Abstand von Ask über Bid in Punkten"));
  deposit_ = new QDoubleSpinBox;
  deposit_->setObjectName(QStringLiteral("backtestDeposit"));
  deposit_->setRange(1, 1e12);
  deposit_->setDecimals(2);
  deposit_->setValue(BacktestSettings{}.deposit);
  deposit_->setToolTip(t("Das Geld auf dem Konto zu Beginn des Tests"));

  auto* settings = new QGridLayout;
  settings->setContentsMargins(0, 0, 0, 0);
  settings->addWidget(new QLabel(t("Historie:")), 0, 0);
  auto* historyRow = new QHBoxLayout;
  historyRow->addWidget(historyChoice_, 1);
  historyRow->addWidget(historyFile_);
  settings->addLayout(historyRow, 0, 1, 1, 5);
  settings->addWidget(new QLabel(t("Von:")), 1, 0);
  settings->addWidget(from_, 1, 1);
  settings->addWidget(new QLabel(t("Bis:")), 1, 2);
  settings->addWidget(to_, 1, 3);
  settings->addWidget(new QLabel(t("Spread:")), 2, 0);
  settings->addWidget(spread_, 2, 1);
  settings->addWidget(new QLabel(t("Einlage:")), 2, 2);
  settings->addWidget(deposit_, 2, 3);
  settings->setColumnStretch(5, 1);
  return settings;
}

QHBoxLayout* BacktestPage::buildRunButtons() {
  autoRun_ = new QCheckBox(t("Bei Änderung neu testen"));
  autoRun_->setObjectName(QStringLiteral("backtestAutoRun"));
  autoRun_->setChecked(true);
  autoRun_->setToolTip(t("Nach jeder übernommenen Änderung des Handelssystems läuft der Test von selbst wieder"));
  start_ = new QPushButton(t("Test starten"));
  start_->setObjectName(QStringLiteral("backtestStart"));
  start_->setDefault(true);
  cancel_ = new QPushButton(t("Abbrechen"));
  cancel_->setObjectName(QStringLiteral("backtestCancel"));
  cancel_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(cancel_);
  buttons->addWidget(autoRun_);
  buttons->addStretch(1);
  return buttons;
}

QHBoxLayout* BacktestPage::buildStatusRow() {
  saveTrades_ = new QPushButton(t("Trades als CSV..."));
  saveTrades_->setObjectName(QStringLiteral("backtestSaveTrades"));
  saveReport_ = new QPushButton(t("Bericht als HTML..."));
  saveReport_->setObjectName(QStringLiteral("backtestSaveReport"));
  saveTrades_->setEnabled(false);
  saveReport_->setEnabled(false);
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("backtestProgress"));
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(10);
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("backtestStatus"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(status_, 1);
  statusRow->addWidget(saveTrades_);
  statusRow->addWidget(saveReport_);
  return statusRow;
}

QSplitter* BacktestPage::buildResultViews() {
  equityView_ = newChartView(QStringLiteral("backtestEquity"));
  equityView_->setMinimumHeight(120);
  equityView_->setToolTip(t("Kapital (Equity) und Kontostand (Balance) am Ende jeder Bar; grau: der Lauf davor"));
  statistics_ = new StatisticsPanel(ws_);
  tradeTable_ = new TradeTable(ws_);
  priceView_ = newChartView(QStringLiteral("backtestPrices"));
  priceView_->setMinimumHeight(120);
  priceView_->setToolTip(t("Die Kurse um den gewählten Trade; ein Klick auf eine Kerze erklärt die Signale dieser Bar"));
  votes_ = new VoteTree(ws_);

  auto* top = new QSplitter(Qt::Horizontal);
  top->setChildrenCollapsible(false);
  top->addWidget(equityView_);
  top->addWidget(statistics_);
  top->setStretchFactor(0, 1);
  top->setStretchFactor(1, 0);
  // The statistics take the width of their texts, the curve everything else.
  equityView_->setMinimumWidth(180);
  statistics_->fitWidth();

  auto* bottom = new QSplitter(Qt::Horizontal);
  bottom->addWidget(priceView_);
  bottom->addWidget(votes_);
  bottom->setStretchFactor(0, 1);
  bottom->setStretchFactor(1, 1);
  bottom->setSizes({400, 300});
  auto* parts = new QSplitter(Qt::Vertical);
  parts->setObjectName(QStringLiteral("backtestParts"));
  parts->addWidget(top);
  parts->addWidget(tradeTable_);
  parts->addWidget(bottom);
  parts->setStretchFactor(0, 2);
  parts->setStretchFactor(1, 2);
  parts->setStretchFactor(2, 3);
  return parts;
}

void BacktestPage::connectControls() {
  connect(historyChoice_, &QComboBox::activated, this, &BacktestPage::historyChosen);
  connect(historyFile_, &QPushButton::clicked, this, &BacktestPage::chooseFileByDialog);
  connect(start_, &QPushButton::clicked, this, &BacktestPage::startRun);
  connect(cancel_, &QPushButton::clicked, this, &BacktestPage::cancelRun);
  connect(saveTrades_, &QPushButton::clicked, this, &BacktestPage::saveTradesByDialog);
  connect(saveReport_, &QPushButton::clicked, this, &BacktestPage::saveReportByDialog);
  connect(tradeTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BacktestPage::tradeSelected);
}

QWidget* BacktestPage::newChartView(const QString& name) {
  QWidget* view = nullptr;
  if (auto* charts = loadModule<ChartModule>(Module::Charts)) {
    view = charts->newChartView(nullptr);
  } else {
    auto* note = new QLabel(t("Die Diagramme können nicht gezeigt werden:") + QLatin1Char('\n') + moduleProblem(Module::Charts));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    view = note;
  }
  view->setObjectName(name);
  return view;
}

std::vector<std::pair<QWidget*, QString>> BacktestPage::helpTopics() const {
  return {{historyChoice_, QStringLiteral("Backtest Historie")},  {historyFile_, QStringLiteral("Backtest Historie Datei")},
          {from_, QStringLiteral("Backtest Von")},                {to_, QStringLiteral("Backtest Bis")},
          {spread_, QStringLiteral("Backtest Spread")},           {deposit_, QStringLiteral("Backtest Einlage")},
          {autoRun_, QStringLiteral("Backtest Automatisch")},     {start_, QStringLiteral("Backtest Start")},
          {cancel_, QStringLiteral("Backtest Abbrechen")},        {progress_, QStringLiteral("Backtest Fortschritt")},
          {status_, QStringLiteral("Backtest Meldung")},          {equityView_, QStringLiteral("Backtest Kapitalkurve")},
          {statistics_, QStringLiteral("Backtest Statistik")},    {tradeTable_, QStringLiteral("Backtest Trades")},
          {priceView_, QStringLiteral("Backtest Kurschart")},     {votes_, QStringLiteral("Backtest Signalerklaerung")},
          {saveTrades_, QStringLiteral("Backtest Trades speichern")},
          {saveReport_, QStringLiteral("Backtest Bericht speichern")},
          {const_cast<BacktestPage*>(this), QStringLiteral("Backtest")}};
}

}  // namespace zorvik
