#include "backtest/backtest_page.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QShowEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>
#include <QDateTime>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "app/optional_modules.hpp"
#include "backtest/backtest_charts.hpp"
#include "backtest/backtest_report.hpp"
#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "market/timeframes.hpp"
#include "model/component_files.hpp"
#include "platform/host.hpp"
#include "terminal/history_listing.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The quiet moment after the last mouse button or key was let go before a changed system runs
// again, in milliseconds: long enough not to run between the clicks of a double click or while
// a value is typed, short enough to feel immediate.
constexpr int kRerunDelayMs = 400;

// Columns of the trade list.
enum TradeColumn { kTicket, kType, kLots, kOpenTime, kOpenPrice, kCloseTime, kClosePrice, kStopLoss, kTakeProfit,
                   kProfit, kReason, kTradeColumns };
// The trade's index in the result, kept in the first column of its row (rows get sorted).
constexpr int kTradeIndexRole = Qt::UserRole + 1;

QDate dayOf(std::int64_t time) { return QDateTime::fromSecsSinceEpoch(time, Qt::UTC).date(); }
std::int64_t secondsOf(const QDate& day) { return day.startOfDay(Qt::UTC).toSecsSinceEpoch(); }

QStandardItem* cell(const QString& text, const QVariant& sortValue) {
  auto* item = new QStandardItem(text);
  item->setData(sortValue, Qt::UserRole);
  item->setEditable(false);
  return item;
}

}  // namespace

QString BacktestPage::t(const char* german) const { return q(ws_.tr(german)); }

BacktestPage::BacktestPage(Workspace& ws, Host& host, QWidget* parent, bool buildNow)
    : QWidget(parent), ws_(ws), host_(host) {
  setObjectName(QStringLiteral("BacktestPage"));
  if (buildNow) build();
  rerunTimer_.setSingleShot(true);
  rerunTimer_.setInterval(kRerunDelayMs);
  connect(&rerunTimer_, &QTimer::timeout, this, [this] {
    if (!outcome_ && runFingerprint_.empty()) return;  // never run: nothing to run again
    if (!autoRun_->isChecked() || !history_ || ws_.system().systemFileName.empty()) return;
    // A slider still held: wait for its release.
    if (QApplication::mouseButtons() != Qt::NoButton) {
      rerunTimer_.start();
      return;
    }
    // A run of this very system under way or done: nothing new to see.
    if (systemFingerprint() == (thread_ ? pendingFingerprint_ : runFingerprint_)) return;
    startRun();
  });
  qApp->installEventFilter(this);
  ws_.addSystemOpenedListener([page = QPointer<BacktestPage>(this)] {
    if (page) page->systemMayHaveChanged();
  });
}

void BacktestPage::build() {
  if (built_) return;
  built_ = true;
  buildControls();
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

void BacktestPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  build();
  ensureHistoriesListed();
}

void BacktestPage::ensureHistoriesListed() {
  if (!listed_) listHistories();
}

BacktestPage::~BacktestPage() {
  if (qApp) qApp->removeEventFilter(this);
  if (thread_) {
    cancelFlag_->store(true);
    thread_->wait();
    delete thread_;
  }
}

void BacktestPage::buildControls() {
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
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(cancel_);
  buttons->addWidget(autoRun_);
  buttons->addStretch(1);
  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(status_, 1);
  statusRow->addWidget(saveTrades_);
  statusRow->addWidget(saveReport_);

  equityView_ = newChartView(QStringLiteral("backtestEquity"));
  equityView_->setMinimumHeight(120);
  equityView_->setToolTip(t("Kapital (Equity) und Kontostand (Balance) am Ende jeder Bar; grau: der Lauf davor"));
  statistics_ = new QTreeWidget;
  statistics_->setObjectName(QStringLiteral("backtestStatistics"));
  statistics_->setHeaderLabels({t("Kennzahl"), t("Wert")});
  statistics_->setRootIsDecorated(false);
  statistics_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  statistics_->header()->setSectionResizeMode(QHeaderView::Fixed);
  statistics_->header()->setStretchLastSection(false);
  tradeModel_ = new QStandardItemModel(0, kTradeColumns, this);
  tradeModel_->setHorizontalHeaderLabels({t("Ticket"), t("Typ"), t("Lots"), t("Eröffnet"), t("Kurs"), t("Geschlossen"),
                                          t("Kurs"), t("SL"), t("TP"), t("Gewinn"), t("Grund")});
  tradeModel_->setSortRole(Qt::UserRole);
  tradeTable_ = new QTableView;
  tradeTable_->setObjectName(QStringLiteral("backtestTrades"));
  tradeTable_->setModel(tradeModel_);
  tradeTable_->setSortingEnabled(true);
  tradeTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tradeTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  tradeTable_->verticalHeader()->hide();
  tradeTable_->verticalHeader()->setDefaultSectionSize(tradeTable_->fontMetrics().height() + 4);
  tradeTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tradeTable_->setMinimumHeight(90);
  tradeTable_->setToolTip(t("Alle Trades des Tests; ein Klick zeigt die Kurse um den Trade und warum er eröffnet und geschlossen wurde"));
  priceView_ = newChartView(QStringLiteral("backtestPrices"));
  priceView_->setMinimumHeight(120);
  priceView_->setToolTip(t("Die Kurse um den gewählten Trade; ein Klick auf eine Kerze erklärt die Signale dieser Bar"));
  votes_ = new QTreeWidget;
  votes_->setObjectName(QStringLiteral("backtestVotes"));
  votes_->setHeaderLabels({t("Signal"), t("ausgelöst"), t("Punkte"), t("Werte")});
  votes_->setMinimumWidth(180);

  auto* top = new QSplitter(Qt::Horizontal);
  top->setChildrenCollapsible(false);
  top->addWidget(equityView_);
  top->addWidget(statistics_);
  top->setStretchFactor(0, 1);
  top->setStretchFactor(1, 0);
  // The statistics take the width of their texts, the curve everything else.
  equityView_->setMinimumWidth(180);
  fitStatisticsWidth();

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

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(settings);
  layout->addLayout(buttons);
  layout->addWidget(progress_);
  layout->addLayout(statusRow);
  layout->addWidget(parts, 1);

  connect(historyChoice_, &QComboBox::activated, this, &BacktestPage::historyChosen);
  connect(historyFile_, &QPushButton::clicked, this, &BacktestPage::chooseFileByDialog);
  connect(start_, &QPushButton::clicked, this, &BacktestPage::startRun);
  connect(cancel_, &QPushButton::clicked, this, &BacktestPage::cancelRun);
  connect(saveTrades_, &QPushButton::clicked, this, &BacktestPage::saveTradesByDialog);
  connect(saveReport_, &QPushButton::clicked, this, &BacktestPage::saveReportByDialog);
  connect(tradeTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BacktestPage::tradeSelected);
  drawEquity();
  drawPriceChart(0, 0, nullptr);
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

// ---- History ------------------------------------------------------------------------------

void BacktestPage::listHistories() {
  build();
  listed_ = true;
  const QString chosen = historyChoice_->currentText();
  std::vector<HistoryEntry> entries;
  // The chosen files of this run stay in the list.
  for (const HistoryEntry& e : histories_)
    if (!e.demo && e.caption.startsWith(QStringLiteral("* "))) entries.push_back(e);
  const char* home = std::getenv("HOME");
  const auto files = listHistoryFiles(metatraderFoldersToSearch(ws_.settings.metatraderFolder, home ? home : ""), ws_.root());
  bool demoListed = false;
  for (const HistoryFileInfo& f : files) {
    if (!f.error.empty()) continue;
    HistoryEntry e;
    e.path = f.path;
    e.demo = f.server == "demo";
    demoListed = demoListed || e.demo;
    e.caption = (e.demo ? t("Demo-Historie") : q(f.server)) + QStringLiteral(": ") + q(f.symbol) + QStringLiteral(" ") +
                q(timeframeName(f.timeframeMinutes)) + QStringLiteral(", ") + QString::number(f.bars) +
                QStringLiteral(" ") + t("Bars");
    entries.insert(e.demo ? entries.begin() : entries.end(), e);
  }
  // Without the file the demo history is made in memory: the page works in a fresh folder.
  if (!demoListed) entries.insert(entries.begin(), HistoryEntry{t("Demo-Historie") + QStringLiteral(": DEMO H1"), {}, true});
  histories_ = std::move(entries);
  historyChoice_->clear();
  for (const HistoryEntry& e : histories_) historyChoice_->addItem(e.caption);
  const int again = historyChoice_->findText(chosen);
  const int index = again >= 0 ? again : 0;
  historyChoice_->setCurrentIndex(index);
  if (again < 0 || !history_) historyChosen(index);
}

void BacktestPage::historyChosen(int index) {
  if (index < 0 || index >= static_cast<int>(histories_.size())) return;
  const HistoryEntry& e = histories_[static_cast<std::size_t>(index)];
  if (e.demo && e.path.empty()) {
    setHistory(std::make_shared<const BarSeries>(makeDemoHistory()), {});
    return;
  }
  HistoryRead read = readHistoryFile(e.path);
  if (!read.ok()) {
    history_.reset();
    setStatus(t("Die Kurshistorie kann nicht gelesen werden:") + QStringLiteral(" ") + q(read.error->message()), true);
    return;
  }
  setHistory(std::make_shared<const BarSeries>(std::move(read.series)), e.path);
}

bool BacktestPage::chooseHistoryFile(const std::filesystem::path& path) {
  ensureHistoriesListed();
  HistoryRead read = readHistoryFile(path);
  if (!read.ok()) {
    setStatus(t("Die Kurshistorie kann nicht gelesen werden:") + QStringLiteral(" ") + q(read.error->message()), true);
    return false;
  }
  const QString caption = QStringLiteral("* ") + QString::fromStdString(path.filename().string());
  int index = historyChoice_->findText(caption);
  if (index < 0) {
    histories_.push_back(HistoryEntry{caption, path, false});
    historyChoice_->addItem(caption);
    index = historyChoice_->count() - 1;
  }
  historyChoice_->setCurrentIndex(index);
  setHistory(std::make_shared<const BarSeries>(std::move(read.series)), path);
  return true;
}

void BacktestPage::chooseFileByDialog() {
  const QString file = QFileDialog::getOpenFileName(this, t("Kurshistorie wählen"), QString::fromStdString(ws_.root().string()),
                                                    t("Kurshistorien") + QStringLiteral(" (*.hst *.csv *.txt);;") +
                                                        t("Alle Dateien") + QStringLiteral(" (*)"));
  if (!file.isEmpty()) chooseHistoryFile(std::filesystem::path(file.toStdString()));
}

void BacktestPage::setHistory(std::shared_ptr<const BarSeries> history, const std::filesystem::path& path) {
  history_ = std::move(history);
  historyPath_ = path;
  if (history_->empty()) return;
  const QDate first = dayOf(history_->time.front());
  const QDate last = dayOf(history_->time.back());
  for (QDateEdit* edit : {from_, to_}) edit->setDateRange(first, last);
  from_->setDate(first);
  to_->setDate(last);
  setStatus(q(history_->symbol) + QStringLiteral(" ") + q(timeframeName(history_->timeframeMinutes)) +
            QStringLiteral(", ") + QString::number(history_->size()) + QStringLiteral(" ") + t("Bars") +
            QStringLiteral(", ") + first.toString(Qt::ISODate) + QStringLiteral(" - ") + last.toString(Qt::ISODate));
}

// ---- Runs ---------------------------------------------------------------------------------

std::string BacktestPage::systemFingerprint() const {
  std::string text;
  for (const std::string& line : systemFileLines(ws_.system())) text += line + '\n';
  return text;
}

void BacktestPage::systemMayHaveChanged() {
  if (outcome_ || !runFingerprint_.empty()) rerunTimer_.start();
}

bool BacktestPage::eventFilter(QObject* watched, QEvent* event) {
  // A slider let go, an accept button clicked, a value typed and confirmed: all end with a
  // button or key released somewhere in the program. The timer then compares the system.
  const QEvent::Type type = event->type();
  if ((type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) && watched->isWidgetType())
    systemMayHaveChanged();
  // A wider or narrower price chart names more or fewer times, none of them shortened.
  if (type == QEvent::Resize && watched == priceView_ && priceTimeLabels() != priceLabels_)
    drawPriceChart(priceShown_.first, priceShown_.last, priceShown_.trade);
  return QWidget::eventFilter(watched, event);
}

void BacktestPage::startRun() {
  build();
  ensureHistoriesListed();
  if (ws_.system().systemFileName.empty()) {
    setStatus(t("Kein Handelssystem geöffnet."), true);
    return;
  }
  if (!history_) {
    setStatus(t("Bitte zuerst eine Kurshistorie wählen."), true);
    return;
  }
  if (thread_) {
    // Stop the run in progress; its end starts this one.
    runAgain_ = true;
    cancelFlag_->store(true);
    return;
  }
  BacktestSettings settings;
  settings.symbol.spreadPoints = spread_->value();
  settings.deposit = deposit_->value();
  settings.fromDay = secondsOf(from_->date());
  settings.toDay = secondsOf(to_->date());
  if (auto problem = settingsProblem(settings)) {
    setStatus(t("Der Backtest ist nicht möglich:") + QStringLiteral(" ") + q(*problem), true);
    return;
  }
  auto job = std::make_shared<const BacktestJob>(
      BacktestJob{ws_.system().clone(), ws_.catalogue, ws_.definitions, history_, settings});
  pendingFingerprint_ = systemFingerprint();
  pendingSystemFile_ = ws_.system().systemFileName;
  cancelFlag_ = std::make_shared<std::atomic<bool>>(false);
  cancelledByTrader_ = false;
  progress_->setValue(0);
  cancel_->setEnabled(true);
  setStatus(t("Der Test läuft..."));

  auto flag = cancelFlag_;
  auto slot = std::make_shared<std::shared_ptr<BacktestOutcome>>();
  QThread* thread = QThread::create([this, job, flag, slot] {
    int shown = 0;
    // Runs on the worker: the bar is moved by a queued call, and only once per permille.
    auto progress = [this, &shown](double share) {
      const int permille = static_cast<int>(std::clamp(share, 0.0, 1.0) * 1000);
      if (permille <= shown) return;
      shown = permille;
      QMetaObject::invokeMethod(progress_, "setValue", Qt::QueuedConnection, Q_ARG(int, permille));
    };
    *slot = runBacktestJob(*job, progress, flag.get());
  });
  thread_ = thread;
  // Delivered on this page's thread once the worker has ended; a page already gone gets nothing.
  connect(thread, &QThread::finished, this, [this, thread, slot] {
    if (thread_ == thread) thread_ = nullptr;
    thread->deleteLater();
    finishRun(*slot, cancelledByTrader_);
  });
  thread->start();
}

void BacktestPage::cancelRun() {
  if (!thread_) return;
  cancelledByTrader_ = true;
  runAgain_ = false;
  cancelFlag_->store(true);
  cancel_->setEnabled(false);
  setStatus(t("Der Test wird abgebrochen..."));
}

void BacktestPage::finishRun(std::shared_ptr<BacktestOutcome> outcome, bool cancelledByTrader) {
  cancel_->setEnabled(false);
  if (runAgain_) {
    runAgain_ = false;
    startRun();
    return;
  }
  // What the trader cancelled stays cancelled, even when the worker finished in the meantime.
  if (cancelledByTrader || !outcome || outcome->cancelled) {
    // Not run again by itself for the same system: the trader stopped it on purpose.
    if (cancelledByTrader) runFingerprint_ = pendingFingerprint_;
    progress_->setValue(0);
    setStatus(t("Der Test wurde abgebrochen."));
    emit runFinished();
    return;
  }
  progress_->setValue(progress_->maximum());
  const bool sameSystem = pendingSystemFile_ == runSystemFile_;
  runFingerprint_ = pendingFingerprint_;
  runSystemFile_ = pendingSystemFile_;
  if (!outcome->error.empty()) {
    outcome_.reset();
    previousEquity_.clear();
    showOutcome();
    setStatus(t("Der Backtest ist nicht möglich:") + QStringLiteral(" ") + q(outcome->error), true);
    emit runFinished();
    return;
  }
  // The curve before is worth a comparison only for the same system.
  previousEquity_.clear();
  if (outcome_ && sameSystem) previousEquity_ = equityPoints(outcome_->result);
  outcome_ = std::move(outcome);
  showOutcome();
  const BacktestStatistics& s = outcome_->result.statistics;
  const QString profit = q(fixedNumber(s.netProfit, 2));
  setStatus(s.trades == 1 ? t("Fertig: 1 Trade, Nettogewinn %1").arg(profit)
                          : t("Fertig: %1 Trades, Nettogewinn %2").arg(s.trades).arg(profit));
  emit runFinished();
}

void BacktestPage::setStatus(const QString& text, bool fault) {
  status_->setText(text);
  status_->setForegroundRole(fault ? QPalette::Highlight : QPalette::WindowText);
  QPalette p = status_->palette();
  p.setColor(QPalette::WindowText, fault ? QColor(0xb0, 0x20, 0x20) : palette().color(QPalette::WindowText));
  status_->setPalette(p);
}

// ---- Result -------------------------------------------------------------------------------

void BacktestPage::showOutcome() {
  // The trade in view before a re-run stays in view when the new run has it too; otherwise the
  // first trade is shown, so that the chart and the vote explanation are never empty.
  qulonglong ticket = 0;
  if (const QModelIndexList rows = tradeTable_->selectionModel()->selectedRows(kTicket); !rows.isEmpty())
    ticket = rows.front().data(Qt::UserRole).toULongLong();
  showStatistics();
  showTrades();
  drawEquity();
  drawPriceChart(0, 0, nullptr);
  votes_->clear();
  if (tradeModel_->rowCount() > 0) {
    int row = 0;
    for (int r = 0; r < tradeModel_->rowCount() && ticket != 0; ++r)
      if (tradeModel_->item(r, kTicket)->data(Qt::UserRole).toULongLong() == ticket) row = r;
    tradeTable_->selectRow(row);
    tradeTable_->scrollTo(tradeModel_->index(row, kTicket));
  }
  saveTrades_->setEnabled(outcome_ != nullptr);
  saveReport_->setEnabled(outcome_ != nullptr);
}

namespace {

// The figures of the statistics, in the order shown.
constexpr std::array<const char*, 14> kStatisticLabels{
    "Nettogewinn",     "Bruttogewinn",       "Bruttoverlust",        "Profitfaktor",
    "Trades",          "Gewonnen %",         "Durchschnittlicher Gewinn", "Durchschnittlicher Verlust",
    "Größter Gewinn",  "Größter Verlust",    "Maximaler Drawdown",   "Maximaler Drawdown %",
    "Erholungsfaktor", "Erwartungswert"};

}  // namespace

void BacktestPage::fitStatisticsWidth() {
  // Every label and every value whole, with room for the vertical scroll bar a short page
  // needs: the value column is never the one that is cut. Room for a six-digit sum is there
  // before any run, so that the first result does not move the curve.
  const QFontMetrics metrics = statistics_->fontMetrics();
  // The item's text margins, and a pixel each side for the rounding of the glyphs' extent.
  const int cellMargin =
      2 * (statistics_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, statistics_) + 1) + 2;
  int label = statistics_->header()->sectionSizeHint(0);
  for (const char* text : kStatisticLabels) label = std::max(label, metrics.horizontalAdvance(t(text)) + cellMargin);
  int value = std::max(statistics_->header()->sectionSizeHint(1),
                       metrics.horizontalAdvance(QStringLiteral("-100000.00")) + cellMargin);
  for (QTreeWidgetItemIterator it(statistics_); *it; ++it)
    value = std::max(value, metrics.horizontalAdvance((*it)->text(1)) + cellMargin);
  const int scrollBar = statistics_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, statistics_);
  statistics_->setColumnWidth(0, label);
  statistics_->setColumnWidth(1, value);
  statistics_->setFixedWidth(label + value + scrollBar + 2 * statistics_->frameWidth());
}

void BacktestPage::showStatistics() {
  statistics_->clear();
  if (!outcome_) {
    fitStatisticsWidth();
    return;
  }
  const BacktestStatistics& s = outcome_->result.statistics;
  const auto money = [](double v) { return q(fixedNumber(v, 2)); };
  const auto maybe = [&](const std::optional<double>& v) { return v ? money(*v) : QStringLiteral("-"); };
  const std::array<QString, kStatisticLabels.size()> values{
      money(s.netProfit),        money(s.grossProfit), money(s.grossLoss),   maybe(s.profitFactor),
      QString::number(s.trades), maybe(s.wonPercent),  maybe(s.averageWin),  maybe(s.averageLoss),
      maybe(s.largestWin),       maybe(s.largestLoss), money(s.maxDrawdown), money(s.maxDrawdownPercent),
      maybe(s.recoveryFactor),   maybe(s.expectancy)};
  for (std::size_t i = 0; i < values.size(); ++i) {
    auto* item = new QTreeWidgetItem(statistics_, {t(kStatisticLabels[i]), values[i]});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
  fitStatisticsWidth();
}

void BacktestPage::showTrades() {
  tradeTable_->setSortingEnabled(false);
  tradeModel_->removeRows(0, tradeModel_->rowCount());
  if (!outcome_) return;
  const BacktestResult& r = outcome_->result;
  const auto price = [&](double v) { return v == 0 ? QString() : q(fixedNumber(v, r.digits)); };
  const auto time = [](std::int64_t v) { return q(historyTimeText(v)); };
  for (std::size_t i = 0; i < r.trades.size(); ++i) {
    const Trade& tr = r.trades[i];
    const char* reason = "Signal";
    switch (tr.reason) {
      case CloseReason::Signal: reason = "Signal"; break;
      case CloseReason::StopLoss: reason = "Stop Loss"; break;
      case CloseReason::TakeProfit: reason = "Take Profit"; break;
      case CloseReason::Hedge: reason = "Gegenposition"; break;
      case CloseReason::EndOfTest: reason = "Testende"; break;
    }
    QList<QStandardItem*> row{
        cell(QString::number(tr.ticket), tr.ticket),
        cell(t(tr.type == TradeType::Buy ? "Kauf" : "Verkauf"), static_cast<int>(tr.type)),
        cell(q(fixedNumber(tr.lots, 2)), tr.lots),
        cell(time(tr.openTime), static_cast<qlonglong>(tr.openTime)),
        cell(price(tr.openPrice), tr.openPrice),
        cell(time(tr.closeTime), static_cast<qlonglong>(tr.closeTime)),
        cell(price(tr.closePrice), tr.closePrice),
        cell(price(tr.stopLoss), tr.stopLoss),
        cell(price(tr.takeProfit), tr.takeProfit),
        cell(q(fixedNumber(tr.profit, 2)), tr.profit),
        cell(t(reason), static_cast<int>(tr.reason)),
    };
    row[0]->setData(static_cast<qulonglong>(i), kTradeIndexRole);
    for (int c : {kTicket, kLots, kOpenPrice, kClosePrice, kStopLoss, kTakeProfit, kProfit})
      row[c]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (tr.profit < 0) row[kProfit]->setForeground(QColor(0xb0, 0x20, 0x20));
    tradeModel_->appendRow(row);
  }
  tradeTable_->setSortingEnabled(true);
  tradeTable_->sortByColumn(kTicket, Qt::AscendingOrder);
}

void BacktestPage::drawEquity() {
  if (auto* charts = loadModule<ChartModule>(Module::Charts))
    charts->showEquity(equityView_, equityChartData(outcome_ ? &outcome_->result : nullptr, previousEquity_,
                                                    {t("Equity"), t("Balance"), t("vorher")}));
}

void BacktestPage::tradeSelected() {
  if (!outcome_) return;
  const QModelIndexList rows = tradeTable_->selectionModel()->selectedRows(kTicket);
  if (rows.isEmpty()) return;
  const auto index = rows.front().data(kTradeIndexRole).toULongLong();
  const std::vector<Trade>& trades = outcome_->result.trades;
  if (index >= trades.size()) return;
  const Trade& trade = trades[index];
  // Some bars on either side, and no more candles than a chart can show legibly.
  constexpr std::size_t kAround = 30;
  constexpr std::size_t kMostBars = 400;
  const std::size_t first = trade.openBar > kAround ? trade.openBar - kAround : 0;
  std::size_t last = std::min(trade.closeBar + kAround, outcome_->history->size() - 1);
  last = std::min(last, first + kMostBars);
  drawPriceChart(first, last, &trade);
  const bool buy = trade.type == TradeType::Buy;
  const QString exit = t("Ausstieg") + QStringLiteral(" (") + tradeModel_->itemFromIndex(rows.front().siblingAtColumn(kReason))->text() + QStringLiteral(")");
  showVotes({{t("Einstieg"), trade.openBar}, {exit, trade.closeBar}}, buy ? 1 : 3);
}

int BacktestPage::priceTimeLabels() const {
  // A time label ("01.05 10:00") with some air on either side, beside the price labels.
  const QFontMetrics metrics(priceView_->font());
  const int label = metrics.horizontalAdvance(QStringLiteral("00.00 00:00")) + 3 * metrics.averageCharWidth();
  const int prices = metrics.horizontalAdvance(QStringLiteral("0.000000")) + 40;
  return std::clamp((priceView_->width() - prices) / std::max(1, label), 1, 3);
}

void BacktestPage::drawPriceChart(std::size_t first, std::size_t last, const Trade* trade) {
  priceShown_ = {first, last, trade};
  priceLabels_ = priceTimeLabels();
  const BarSeries* history = outcome_ ? outcome_->history.get() : nullptr;
  auto* charts = loadModule<ChartModule>(Module::Charts);
  if (!charts) return;
  charts->showPrices(priceView_,
                     priceChartData(history, first, last, trade, {t("Kurs"), t("Einstieg"), t("Ausstieg"), t("SL"), t("TP")},
                                    priceLabels_),
                     [this](double bar) {
                       if (bar >= 0) explainBar(static_cast<std::size_t>(std::llround(bar)));
                     });
}

void BacktestPage::explainBar(std::size_t bar) {
  if (!outcome_ || !outcome_->backtest || bar >= outcome_->history->size()) return;
  showVotes({{t("Bar"), bar}}, 0);
}

void BacktestPage::showVotes(const std::vector<std::pair<QString, std::size_t>>& bars, int highlightGroup) {
  votes_->clear();
  if (!outcome_ || !outcome_->backtest) return;
  static constexpr std::array<const char*, 4> kGroupNames{"Einstieg Long", "Ausstieg Long", "Einstieg Short",
                                                          "Ausstieg Short"};
  const QString yes = t("ja");
  const QString no = t("nein");
  for (std::size_t b = 0; b < bars.size(); ++b) {
    const std::size_t bar = bars[b].second;
    const BarVotes votes = outcome_->backtest->votes(bar);
    auto* barItem = new QTreeWidgetItem(votes_, {bars[b].first + QStringLiteral(": ") +
                                                     q(historyTimeText(outcome_->history->time[bar]))});
    barItem->setFirstColumnSpanned(true);
    barItem->setExpanded(true);
    for (const GroupVote& g : votes.groups) {
      const QString sum = t("Summe") + QStringLiteral(" ") + QString::number(g.sum) + QStringLiteral(" / ") +
                          t("Schwelle") + QStringLiteral(" ") + QString::number(g.threshold);
      auto* groupItem = new QTreeWidgetItem(
          barItem, {t(kGroupNames[static_cast<std::size_t>(std::clamp(g.group, 1, 4) - 1)]), g.fires ? yes : no, sum});
      QFont bold = groupItem->font(0);
      bold.setBold(true);
      groupItem->setFont(0, bold);
      // Entry bar: the entry group of the trade's side; exit bar: its exit group; a picked bar: all.
      const int wanted = highlightGroup == 0 ? g.group : highlightGroup + static_cast<int>(b);
      groupItem->setExpanded(g.group == wanted);
      for (const IndicatorVote& v : g.indicators) {
        QStringList operands;
        for (double o : v.operands)
          if (!std::isnan(o)) operands << QString::number(o, 'g', 8);
        QString name = QStringLiteral("#") + QString::number(v.position) + QStringLiteral(" ") + q(v.type);
        if (!v.comment.empty()) name += QStringLiteral(" (") + q(v.comment) + QStringLiteral(")");
        auto* item = new QTreeWidgetItem(groupItem, {name, v.counts ? (v.fired ? yes : no) : t("kein Signal"),
                                                     QString::number(v.points, 'g', 6), operands.join(QStringLiteral("; "))});
        if (v.fired) item->setForeground(1, QColor(0x2e, 0xa0, 0x43));
        // The columns outgrow a narrow tree: the row's tool tip says all of it.
        const QString whole = name + QStringLiteral("\n") + votes_->headerItem()->text(1) + QStringLiteral(": ") +
                              item->text(1) + QStringLiteral("\n") + votes_->headerItem()->text(2) +
                              QStringLiteral(": ") + item->text(2) +
                              (operands.isEmpty() ? QString()
                                                  : QStringLiteral("\n") + votes_->headerItem()->text(3) +
                                                        QStringLiteral(": ") + item->text(3));
        for (int c = 0; c < votes_->columnCount(); ++c) item->setToolTip(c, whole);
      }
    }
  }
  for (int c = 0; c < votes_->columnCount(); ++c) votes_->resizeColumnToContents(c);
}

// ---- Save ---------------------------------------------------------------------------------

bool BacktestPage::saveTrades(const std::filesystem::path& file) {
  if (!outcome_) return false;
  std::string error;
  if (writeFileAtomic(file, tradesCsv(outcome_->result), &error)) return true;
  ws_.message("Die Datei kann nicht geschrieben werden: ", file.string() + " (" + error + ")");
  return false;
}

bool BacktestPage::saveReport(const std::filesystem::path& file) {
  if (!outcome_) return false;
  std::string title = ws_.system().general.title;
  if (history_)
    title += " - " + history_->symbol + " " + timeframeName(history_->timeframeMinutes);
  std::string error;
  if (writeFileAtomic(file, reportHtml(outcome_->result, title), &error)) return true;
  ws_.message("Die Datei kann nicht geschrieben werden: ", file.string() + " (" + error + ")");
  return false;
}

void BacktestPage::saveTradesByDialog() {
  const QString file = QFileDialog::getSaveFileName(this, t("Trades speichern"), QString::fromStdString(ws_.root().string()),
                                                    QStringLiteral("CSV (*.csv)"));
  if (!file.isEmpty()) saveTrades(std::filesystem::path(file.toStdString()));
}

void BacktestPage::saveReportByDialog() {
  const QString file = QFileDialog::getSaveFileName(this, t("Bericht speichern"), QString::fromStdString(ws_.root().string()),
                                                    QStringLiteral("HTML (*.html *.htm)"));
  if (!file.isEmpty()) saveReport(std::filesystem::path(file.toStdString()));
}

}  // namespace zorvik
