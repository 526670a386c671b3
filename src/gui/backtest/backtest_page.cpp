#include "backtest/backtest_page.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/file_dialogs.hpp"
#include "app/optional_modules.hpp"
#include "backtest/backtest_charts.hpp"
#include "backtest/backtest_report.hpp"
#include "backtest/statistics_panel.hpp"
#include "backtest/trade_table.hpp"
#include "backtest/trader_times.hpp"
#include "backtest/vote_tree.hpp"
#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "market/timeframes.hpp"
#include "model/component_files.hpp"
#include "platform/host.hpp"
#include "qt_text.hpp"
#include "terminal/history_listing.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

// The quiet moment after the last mouse button or key was let go before a changed system runs
// again, in milliseconds: long enough not to run between the clicks of a double click or while
// a value is typed, short enough to feel immediate.
constexpr int kRerunDelayMs = 400;

QDate dayOf(std::int64_t time) { return QDateTime::fromSecsSinceEpoch(time, Qt::UTC).date(); }
std::int64_t secondsOf(const QDate& day) { return day.startOfDay(Qt::UTC).toSecsSinceEpoch(); }

}  // namespace

QString BacktestPage::t(const char* german) const { return q(ws_.tr(german)); }

QTableView* BacktestPage::tradeTable() const { return tradeTable_; }
QStandardItemModel* BacktestPage::tradeModel() const { return tradeTable_ ? tradeTable_->tradeModel() : nullptr; }
QTreeWidget* BacktestPage::statisticsView() const { return statistics_; }
QTreeWidget* BacktestPage::voteView() const { return votes_; }

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
  const QString file = askFileToOpen(
      this, QStringLiteral("history"), t("Kurshistorie wählen"), QString::fromStdString(ws_.root().string()),
      t("Kurshistorien") + QStringLiteral(" (*.hst *.csv *.txt);;") + t("Alle Dateien") + QStringLiteral(" (*)"));
  if (!file.isEmpty()) chooseHistoryFile(std::filesystem::path(file.toStdString()));
}

void BacktestPage::setHistory(std::shared_ptr<const BarSeries> history, const std::filesystem::path& path) {
  history_ = std::move(history);
  historyPath_ = path;
  settingsChanged();
  if (history_->empty()) return;
  const QDate first = dayOf(history_->time.front());
  const QDate last = dayOf(history_->time.back());
  for (QDateEdit* edit : {from_, to_}) edit->setDateRange(first, last);
  from_->setDate(first);
  to_->setDate(last);
  setStatus(q(history_->symbol) + QStringLiteral(" ") + q(timeframeName(history_->timeframeMinutes)) +
            QStringLiteral(", ") + QString::number(history_->size()) + QStringLiteral(" ") + t("Bars") +
            QStringLiteral(", ") + traderTime(ws_, history_->time.front()).section(QLatin1Char(' '), 0, 0) +
            QStringLiteral(" - ") + traderTime(ws_, history_->time.back()).section(QLatin1Char(' '), 0, 0));
}

BacktestSettings BacktestPage::runSettings() const {
  BacktestSettings settings;
  settings.symbol.spreadPoints = spread_->value();
  settings.symbol.stopLevelPoints = stopLevel_->value();
  settings.deposit = deposit_->value();
  settings.account.leverage = leverage_->value();
  settings.account.stopOutPercent = stopOut_->value();
  settings.account.commissionPerLot = commission_->value();
  settings.account.swapLongPoints = swapLong_->value();
  settings.account.swapShortPoints = swapShort_->value();
  settings.fromDay = secondsOf(from_->date());
  settings.toDay = secondsOf(to_->date());
  return settings;
}

void BacktestPage::rememberTerms() {
  Settings::BacktestTerms& terms = ws_.settings.backtest;
  terms.spreadPoints = spread_->value();
  terms.deposit = deposit_->value();
  terms.leverage = leverage_->value();
  terms.stopOutPercent = stopOut_->value();
  terms.commissionPerLot = commission_->value();
  terms.swapLongPoints = swapLong_->value();
  terms.swapShortPoints = swapShort_->value();
  terms.stopLevelPoints = stopLevel_->value();
}

void BacktestPage::settingsChanged() {
  if (!built_ || !stopLevel_) return;
  rememberTerms();
  // A run under way computes with the old terms: it is stopped, and nothing of it is shown.
  if (thread_) cancelRun();
  if (outcome_) clearResult(t("Die Einstellungen wurden geändert: „Test starten“ rechnet mit ihnen."));
}

void BacktestPage::clearResult(const QString& why) {
  outcome_.reset();
  previousEquity_.clear();
  showOutcome();
  progress_->setValue(0);
  if (!why.isEmpty()) setStatus(why);
}

std::string BacktestPage::comparisonKey() const {
  if (!history_ || history_->empty()) return {};
  return historyPath_.string() + '|' + history_->symbol + '|' + std::to_string(history_->timeframeMinutes) + '|' +
         std::to_string(history_->size()) + '|' + std::to_string(history_->time.front()) + '|' +
         std::to_string(history_->time.back()) + '|' + from_->date().toString(Qt::ISODate).toStdString() + '|' +
         to_->date().toString(Qt::ISODate).toStdString();
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
  if (type == QEvent::Resize && watched == parts_) shareHeights();
  // A wider or narrower price chart names more or fewer times, none of them shortened.
  if (type == QEvent::Resize && watched == priceView_ && priceTimeLabels() != priceLabels_)
    drawPriceChart(priceShown_.first, priceShown_.last, priceShown_.trade, priceShown_.highlight);
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
  const BacktestSettings settings = runSettings();
  if (auto problem = settingsProblem(settings, &ws_.language)) {
    setStatus(t("Der Backtest ist nicht möglich:") + QStringLiteral(" ") + q(*problem), true);
    return;
  }
  auto job = std::make_shared<const BacktestJob>(
      BacktestJob{ws_.system().clone(), ws_.catalogue, ws_.definitions, history_, settings, ws_.language});
  pendingFingerprint_ = systemFingerprint();
  pendingSystemFile_ = ws_.system().systemFileName;
  pendingComparisonKey_ = comparisonKey();
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
    // What was shown before belongs to another run: no half result, no export of an old one.
    clearResult(t("Der Test wurde abgebrochen."));
    emit runFinished();
    return;
  }
  progress_->setValue(progress_->maximum());
  const bool sameSystem = pendingSystemFile_ == runSystemFile_;
  runFingerprint_ = pendingFingerprint_;
  runSystemFile_ = pendingSystemFile_;
  if (!outcome->error.empty()) {
    lastEquity_.clear();
    clearResult({});
    setStatus(t("Der Backtest ist nicht möglich:") + QStringLiteral(" ") + q(outcome->error), true);
    emit runFinished();
    return;
  }
  // The curve before is worth a comparison only for the same system on the same bars: another
  // history or window would stretch the time axis over years the new run does not cover.
  previousEquity_.clear();
  if (sameSystem && pendingComparisonKey_ == lastComparisonKey_) previousEquity_ = lastEquity_;
  outcome_ = std::move(outcome);
  lastEquity_ = equityPoints(outcome_->result);
  lastComparisonKey_ = pendingComparisonKey_;
  showOutcome();
  setStatus(doneSentence(), outcome_->result.statistics.stopOuts > 0);
  emit runFinished();
}

void BacktestPage::takeOutcome(std::shared_ptr<BacktestOutcome> outcome) {
  pendingFingerprint_ = systemFingerprint();
  pendingSystemFile_ = ws_.system().systemFileName;
  pendingComparisonKey_ = comparisonKey();
  finishRun(std::move(outcome), false);
}

QString BacktestPage::doneSentence() const {
  const BacktestStatistics& s = outcome_->result.statistics;
  const QString profit = q(fixedNumber(s.netProfit, 2));
  QString sentence = s.trades == 1 ? t("Fertig: 1 Trade, Nettogewinn %1").arg(profit)
                                   : t("Fertig: %1 Trades, Nettogewinn %2").arg(s.trades).arg(profit);
  // The blown account is the first thing a trader must learn of a run, not a figure to find.
  const std::vector<std::int64_t> stopOuts = stopOutTimes(outcome_->result);
  if (stopOuts.size() == 1)
    sentence += QStringLiteral(". ") + t("Das Konto wurde am %1 ausgestoppt (Stop Out).").arg(traderTime(ws_, stopOuts.front()));
  else if (stopOuts.size() > 1)
    sentence += QStringLiteral(". ") + t("Das Konto wurde %1-mal ausgestoppt (Stop Out), zuerst am %2.")
                                           .arg(stopOuts.size())
                                           .arg(traderTime(ws_, stopOuts.front()));
  return sentence;
}

void BacktestPage::setStatus(const QString& text, bool fault) {
  status_->setText(text);
  QPalette p = status_->palette();
  p.setColor(QPalette::WindowText, fault ? QColor(0xb0, 0x20, 0x20) : palette().color(QPalette::WindowText));
  status_->setPalette(p);
}

// ---- Result -------------------------------------------------------------------------------

void BacktestPage::showOutcome() {
  // The trade in view before a re-run stays in view when the new run has it too; otherwise the
  // first trade is shown, so that the chart and the vote explanation are never empty.
  const qulonglong ticket = tradeTable_->selectedTicket();
  statistics_->showStatistics(outcome_ ? &outcome_->result.statistics : nullptr);
  tradeTable_->showTrades(outcome_ ? &outcome_->result : nullptr);
  drawEquity();
  drawPriceChart(0, 0, nullptr);
  votes_->clear();
  tradeTable_->selectTicketOrFirst(ticket);
  saveTrades_->setEnabled(outcome_ != nullptr);
  saveReport_->setEnabled(outcome_ != nullptr);
}

void BacktestPage::drawEquity() {
  if (auto* charts = loadModule<ChartModule>(Module::Charts)) {
    EquityChartData data = equityChartData(outcome_ ? &outcome_->result : nullptr, previousEquity_,
                                           {t("Equity"), t("Balance"), t("vorher"), t("Stop Out")});
    data.timeFormat = monthAxisFormat(ws_);
    charts->showEquity(equityView_, data);
  }
}

void BacktestPage::tradeSelected() {
  if (!outcome_) return;
  const std::optional<std::size_t> index = tradeTable_->selectedTrade();
  const std::vector<Trade>& trades = outcome_->result.trades;
  if (!index || *index >= trades.size()) return;
  const Trade& trade = trades[*index];
  // Some bars on either side, and no more candles than a chart can show legibly.
  constexpr std::size_t kAround = 30;
  constexpr std::size_t kMostBars = 400;
  const std::size_t first = trade.openBar > kAround ? trade.openBar - kAround : 0;
  std::size_t last = std::min(trade.closeBar + kAround, outcome_->history->size() - 1);
  last = std::min(last, first + kMostBars);
  drawPriceChart(first, last, &trade);
  const bool buy = trade.type == TradeType::Buy;
  const QString exit = t("Ausstieg") + QStringLiteral(" (") + tradeTable_->selectedCloseReason() + QStringLiteral(")");
  showVotes({{t("Einstieg"), trade.openBar}, {exit, trade.closeBar}}, buy ? 1 : 3);
}

int BacktestPage::priceTimeLabels() const {
  // A time label ("05.01. 10:00") with some air on either side, beside the price labels.
  const QFontMetrics metrics(priceView_->font());
  const int label = metrics.horizontalAdvance(traderTime(ws_, 0, TimeShown::DayOfYearAndTime)) + 3 * metrics.averageCharWidth();
  const int prices = metrics.horizontalAdvance(QStringLiteral("0.000000")) + 40;
  return std::clamp((priceView_->width() - prices) / std::max(1, label), 1, 3);
}

void BacktestPage::drawPriceChart(std::size_t first, std::size_t last, const Trade* trade,
                                  std::optional<std::size_t> highlight) {
  priceShown_ = {first, last, trade, highlight};
  priceLabels_ = priceTimeLabels();
  const BarSeries* history = outcome_ ? outcome_->history.get() : nullptr;
  auto* charts = loadModule<ChartModule>(Module::Charts);
  if (!charts) return;
  PriceChartData data = priceChartData(history, first, last, trade, {t("Kurs"), t("Einstieg"), t("Ausstieg"), t("SL"), t("TP")},
                                       priceLabels_, [this](std::int64_t time) {
                                         return traderTime(ws_, time, TimeShown::DayOfYearAndTime);
                                       });
  if (highlight) data.highlightBar = static_cast<double>(*highlight);
  charts->showPrices(priceView_, data, [this](double bar) {
    if (bar >= 0) explainBar(static_cast<std::size_t>(std::llround(bar)));
  });
}

void BacktestPage::explainBar(std::size_t bar) {
  if (!outcome_ || !outcome_->backtest || bar >= outcome_->history->size()) return;
  showVotes({{t("Bar"), bar}}, 0);
  // Drawn again after the click has been handled: the click comes from the chart replaced here.
  priceShown_.highlight = bar;
  QTimer::singleShot(0, this, [this, bar] {
    if (priceShown_.highlight == bar) drawPriceChart(priceShown_.first, priceShown_.last, priceShown_.trade, bar);
  });
}

void BacktestPage::showVotes(const std::vector<std::pair<QString, std::size_t>>& bars, int highlightGroup) {
  votes_->showVotes(outcome_.get(), bars, highlightGroup);
}

// ---- Save ---------------------------------------------------------------------------------

bool BacktestPage::saveTrades(const std::filesystem::path& file, bool forGermanSpreadsheet) {
  if (!outcome_) return false;
  std::string error;
  const std::string text =
      forGermanSpreadsheet ? tradesCsvForGermanSpreadsheet(outcome_->result) : tradesCsv(outcome_->result);
  if (writeFileAtomic(file, text, &error)) return true;
  ws_.message("Die Datei kann nicht geschrieben werden: ", file.string() + " (" + error + ")");
  return false;
}

bool BacktestPage::saveReport(const std::filesystem::path& file) {
  if (!outcome_) return false;
  std::string title = ws_.system().general.title;
  if (history_)
    title += " - " + history_->symbol + " " + timeframeName(history_->timeframeMinutes);
  std::string error;
  const ReportLanguage language = ws_.language.english() ? ReportLanguage::English : ReportLanguage::German;
  if (writeFileAtomic(file, reportHtml(outcome_->result, title, language), &error)) return true;
  ws_.message("Die Datei kann nicht geschrieben werden: ", file.string() + " (" + error + ")");
  return false;
}

QString BacktestPage::proposedFileName() const {
  // What was tested, so that several exports side by side say which is which.
  QString name = q(ws_.system().general.title);
  if (name.isEmpty()) name = QStringLiteral("Backtest");
  if (history_)
    name += QLatin1Char(' ') + q(history_->symbol) + QLatin1Char(' ') + q(timeframeName(history_->timeframeMinutes));
  return name;
}

void BacktestPage::saveTradesByDialog() {
  // A spreadsheet set to German reads ";" and the decimal comma; the machine-readable form
  // stays on offer (and is the only one in English, where both agree with it).
  const QString spreadsheet = t("CSV für Tabellenkalkulation, deutsch") + QStringLiteral(" (*.csv)");
  const QString machine = t("CSV, maschinenlesbar") + QStringLiteral(" (*.csv)");
  const bool german = !ws_.language.english();
  QString chosen;
  const QString file = askFileToSave(this, QStringLiteral("trades"), t("Trades speichern"),
                                     QString::fromStdString(ws_.root().string()), proposedFileName() + ".csv",
                                     german ? spreadsheet + QStringLiteral(";;") + machine : machine, &chosen);
  if (!file.isEmpty()) saveTrades(std::filesystem::path(file.toStdString()), german && chosen != machine);
}

void BacktestPage::saveReportByDialog() {
  const QString file =
      askFileToSave(this, QStringLiteral("report"), t("Bericht speichern"), QString::fromStdString(ws_.root().string()),
                    proposedFileName() + ".html", QStringLiteral("HTML (*.html *.htm)"));
  if (!file.isEmpty()) saveReport(std::filesystem::path(file.toStdString()));
}

}  // namespace zorvik
