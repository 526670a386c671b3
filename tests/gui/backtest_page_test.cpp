// The backtest page driven as a trader would: the demo system on the demo history, the trade
// list, statistics and vote explanation that follow, cancel, the automatic run after a change,
// saving, the refusals that must reach the trader as faults rather than as empty results, the
// account's terms, stop outs, results that never outlive their settings, and the room the page
// gets in the window.
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QXYSeries>
#include <QtTest>

#include <filesystem>

#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "backtest/backtest.hpp"
#include "backtest/backtest_page.hpp"
#include "backtest/backtest_report.hpp"
#include "backtest/trader_times.hpp"
#include "help/help_registry.hpp"
#include "help/help_topics.hpp"
#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "model/settings.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/current_system.hpp"
#include "window/display_modes.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

constexpr int kProfitColumn = 9;

// A working folder with the demo library and one of its systems open.
struct Env : testing::TestWorkspace {
  explicit Env(const char* system = "MA Trendfolger.hsy.txt") : TestWorkspace(true) {
    if (!openSystem(*ws, system)) throw std::runtime_error(std::string("cannot open ") + system);
  }
};

// The same run without the page, for comparison.
BacktestResult directRun(Workspace& ws, const BarSeries& history, const BacktestSettings& settings) {
  auto prepared = Backtest::prepare(ws.system(), ws.catalogue, ws.definitions, history, settings);
  if (!std::holds_alternative<Backtest>(prepared)) return {};
  return std::get<Backtest>(prepared).run();
}

QString statistic(const BacktestPage& page, const QString& label) {
  const auto found = page.statisticsView()->findItems(label, Qt::MatchExactly, 0);
  return found.isEmpty() ? QString() : found.front()->text(1);
}

// The page's chart views come from the chart plug-in.
QChartView* chartView(QWidget* view) {
  auto* chart = qobject_cast<QChartView*>(view);
  if (!chart) throw std::runtime_error("no chart view: the chart plug-in was not loaded");
  return chart;
}

bool runToEnd(BacktestPage& page) {
  QSignalSpy finished(&page, &BacktestPage::runFinished);
  QTest::mouseClick(page.startButton(), Qt::LeftButton);
  return finished.wait(20000) || finished.count() > 0;
}

int columnNamed(const BacktestPage& page, const QString& caption) {
  for (int c = 0; c < page.tradeModel()->columnCount(); ++c)
    if (page.tradeModel()->headerData(c, Qt::Horizontal).toString() == caption) return c;
  return -1;
}

// What a run shows, with some of its trades closed by the stop out and charged commission and
// swap: the engine makes such runs once the account knows money; the page must show them now.
std::shared_ptr<BacktestOutcome> withStopOuts(const BacktestOutcome& ran, const std::vector<std::size_t>& stoppedOut) {
  auto outcome = std::make_shared<BacktestOutcome>();
  outcome->history = ran.history;
  outcome->result = ran.result;
  for (Trade& trade : outcome->result.trades) {
    trade.commission = -7 * trade.lots;
    trade.swap = 1.25;
  }
  for (std::size_t i : stoppedOut) outcome->result.trades[i].reason = CloseReason::StopOut;
  fillTradeStatistics(outcome->result.trades, outcome->result.statistics);
  outcome->result.statistics.stopOuts = static_cast<int>(stoppedOut.size());
  return outcome;
}

QXYSeries* seriesNamed(QChart* chart, const QString& name) {
  for (QAbstractSeries* series : chart->series())
    if (series->name() == name) return qobject_cast<QXYSeries*>(series);
  return nullptr;
}

// The program as main() assembles it at a screen size, the demo system open, in edit mode.
struct Window {
  testing::TempDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;
  std::unique_ptr<MainWindow> form;

  Window(QSize size, bool english) {
    testing::FolderSeed seed;
    seed.demoLibrary = true;
    seed.settings = english ? "LANGUAGE=ENGLISCH\r\n" : "LANGUAGE=DEUTSCH\r\n";
    testing::seedWorkingFolder(dir.path(), seed);
    ws = std::make_unique<Workspace>(dir.path(), host);
    form = std::make_unique<MainWindow>(*ws, host, nullptr, [this](MainWindow& f) { installProgramParts(f, *ws, host); });
    form->heartbeatTimer()->stop();
    form->resize(size);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) qWarning("window not exposed");
    QTest::qWait(30);
    form->heartbeat();
    form->libraryClicked();
    openSystem(*ws, "MA Trendfolger.hsy.txt");
    form->heartbeat();
    QTest::qWait(30);
  }
  void select(int tab) {
    form->tabSelector()->setCurrentIndex(tab);
    QTest::qWait(20);
  }
};

}  // namespace

class BacktestPageTest : public QObject {
  Q_OBJECT
 private slots:
  void demoSystemShowsTradesStatisticsAndVotes() {
    Env env;
    BacktestPage page(*env.ws, env.host);
    page.resize(1000, 760);
    page.show();
    QVERIFY(page.historyChoice()->currentText().contains("DEMO"));

    // Settings of the page reach the run: compare with the engine run on the same terms.
    page.spreadEdit()->setValue(35);
    page.depositEdit()->setValue(5000);
    page.fromEdit()->setDate(QDate(2024, 3, 1));
    QVERIFY(runToEnd(page));
    QVERIFY(!page.running());
    BacktestSettings settings;
    settings.symbol.spreadPoints = 35;
    settings.deposit = 5000;
    settings.fromDay = parseDay("2024-03-01");
    settings.toDay = parseDay(page.toEdit()->date().toString(Qt::ISODate).toStdString());
    const BarSeries demo = makeDemoHistory();
    const BacktestResult expected = directRun(*env.ws, demo, settings);
    QVERIFY(!expected.trades.empty());
    QVERIFY(page.outcome() && page.outcome()->error.empty());
    const BacktestResult& shown = page.outcome()->result;
    QCOMPARE(shown.trades.size(), expected.trades.size());
    QCOMPARE(shown.statistics.netProfit, expected.statistics.netProfit);
    QCOMPARE(shown.trades.front().openTime, expected.trades.front().openTime);

    QCOMPARE(page.tradeModel()->rowCount(), static_cast<int>(expected.trades.size()));
    QCOMPARE(statistic(page, "Trades"), QString::number(expected.trades.size()));
    QCOMPARE(statistic(page, "Nettogewinn"), QString::fromStdString(fixedNumber(expected.statistics.netProfit, 2)));
    QCOMPARE(page.statusLabel()->text(), QStringLiteral("Fertig: %1 Trades, Nettogewinn %2")
                                             .arg(expected.trades.size())
                                             .arg(QString::fromStdString(fixedNumber(expected.statistics.netProfit, 2))));
    QCOMPARE(page.progressBar()->value(), page.progressBar()->maximum());
    QVERIFY(!chartView(page.equityView())->chart()->series().isEmpty());
    // The first trade is in view at once: its candles and its votes.
    QCOMPARE(page.tradeTable()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(page.tradeTable()->selectionModel()->selectedRows().front().data().toString(), QString("1"));
    QVERIFY(chartView(page.priceView())->chart()->series().size() >= 3);
    QCOMPARE(page.voteView()->topLevelItemCount(), 2);

    // Sorted by profit, the rows follow the numbers, not their text ("10.00" after "9.00").
    page.tradeTable()->sortByColumn(kProfitColumn, Qt::AscendingOrder);
    double before = -1e300;
    for (int row = 0; row < page.tradeModel()->rowCount(); ++row) {
      const double profit = page.tradeModel()->item(row, kProfitColumn)->data(Qt::UserRole).toDouble();
      QVERIFY2(profit >= before, qPrintable(QString("row %1").arg(row)));
      before = profit;
    }

    // A trade picked: its candles and marks, and the entry group that fired on its entry bar.
    page.tradeTable()->selectRow(0);
    QVERIFY(chartView(page.priceView())->chart()->series().size() >= 3);
    QTreeWidget* votes = page.voteView();
    QCOMPARE(votes->topLevelItemCount(), 2);
    QTreeWidgetItem* entry = votes->topLevelItem(0);
    QVERIFY(entry->text(0).startsWith("Einstieg: "));
    QCOMPARE(entry->childCount(), 4);
    int firedEntries = 0;
    for (int g : {0, 2}) {
      QTreeWidgetItem* group = entry->child(g);
      if (group->text(1) != "ja") continue;
      ++firedEntries;
      QVERIFY(group->isExpanded() || entry->child(2 - g)->isExpanded());
      QVERIFY(group->childCount() >= 1);
      QCOMPARE(group->child(0)->text(1), QString("ja"));
      // However narrow the tree, the row's tool tip holds all of it.
      QVERIFY2(group->child(0)->toolTip(2).startsWith(group->child(0)->text(0) + "\nausgelöst: ja\nPunkte: "),
               qPrintable(group->child(0)->toolTip(2)));
      // Its values named, in rows of their own: no column to scroll sideways for.
      QCOMPARE(votes->columnCount(), 3);
      QVERIFY(group->child(0)->childCount() >= 1);
      QVERIFY2(group->child(0)->child(0)->text(0).startsWith("Diese Bar: Wert "), qPrintable(group->child(0)->child(0)->text(0)));
      // A group that fired has reached its threshold.
      const auto m = QRegularExpression("^Summe (\\d+) / Schwelle (\\d+)$").match(group->text(2));
      QVERIFY2(m.hasMatch(), qPrintable(group->text(2)));
      QVERIFY(m.captured(2).toInt() > 0 && m.captured(1).toInt() >= m.captured(2).toInt());
    }
    QCOMPARE(firedEntries, 1);

    // A click on a candle of the price chart explains that bar: one bar, all four groups.
    QApplication::processEvents();
    const Trade& picked = page.outcome()->result.trades[static_cast<std::size_t>(
        page.tradeModel()->item(0, 0)->data(Qt::UserRole + 1).toULongLong())];
    const std::size_t bar = picked.openBar + 1;
    const BarSeries& prices = *page.outcome()->history;
    QChart* chart = chartView(page.priceView())->chart();
    const QPointF body = chart->mapToPosition(QPointF(static_cast<qreal>(bar), (prices.open[bar] + prices.close[bar]) / 2),
                                              chart->series().front());
    QTest::mouseClick(chartView(page.priceView())->viewport(), Qt::LeftButton, {},
                      chartView(page.priceView())->mapFromScene(chart->mapToScene(body)));
    QCOMPARE(votes->topLevelItemCount(), 1);
    QCOMPARE(votes->topLevelItem(0)->childCount(), 4);
    // German dates put the day first.
    const QString when = traderTime(*env.ws, prices.time[bar]);
    QVERIFY(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$").match(when).hasMatch());
    QVERIFY(votes->topLevelItem(0)->text(0).endsWith(when));
    // The clicked candle stands out from the others.
    QCOMPARE(page.highlightedBar(), std::optional<std::size_t>(bar));
    QApplication::processEvents();
    int highlighted = 0;
    for (QAbstractSeries* series : chartView(page.priceView())->chart()->series())
      if (auto* candles = qobject_cast<QCandlestickSeries*>(series))
        for (QCandlestickSet* set : candles->sets())
          if (set->brush().color() == QColor(0xff, 0x8c, 0x00)) {
            ++highlighted;
            QCOMPARE(set->timestamp(), static_cast<qreal>(bar));
          }
    QCOMPARE(highlighted, 1);
  }

  void pageIsATabOfTheWindowWithHelpForEveryControl() {
    Env env;
    MainWindow form(*env.ws, env.host, nullptr, [&](MainWindow& f) { installProgramParts(f, *env.ws, env.host); });
    auto* page = form.findChild<BacktestPage*>();
    QVERIFY(page);
    const int tab = form.tabSelector()->count() - 1;
    QCOMPARE(tab, MainWindow::kTabCount);
    QCOMPARE(form.tabSelector()->tabText(tab), QString("BACKTEST"));
    form.tabSelector()->setCurrentIndex(tab);
    QCOMPARE(form.editorTabs()->currentWidget(), page);
    // The editor tabs still work after it.
    form.tabSelector()->setCurrentIndex(0);
    QCOMPARE(form.editorTabs()->currentIndex(), 0);

    auto* topics = form.findChild<HelpTopics*>();
    QVERIFY(topics);
    for (const auto& [control, topic] : page->helpTopics()) {
      QVERIFY2(!env.ws->helpTexts.text(topic.toStdString()).empty(), qPrintable(topic));  // the hover text
      env.host.deferred.clear();
      QVERIFY(topics->helpTopicRequestAt(&form, kKeyF1, control));
      QVERIFY2(!env.host.deferred.empty() && env.host.deferred.back().find(topic.toStdString()) != std::string::npos,
               qPrintable(topic));
    }
  }

  void cancelStopsTheRunAndClearsWhatWasShown() {
    Env env;
    BacktestPage page(*env.ws, env.host);
    QVERIFY(runToEnd(page));
    QVERIFY(page.saveTradesButton()->isEnabled());
    QSignalSpy finished(&page, &BacktestPage::runFinished);
    QTest::mouseClick(page.startButton(), Qt::LeftButton);
    QVERIFY(page.running());
    QVERIFY(page.cancelButton()->isEnabled());
    // Cancelled before the result is taken in: however fast the worker was, it stays cancelled.
    QTest::mouseClick(page.cancelButton(), Qt::LeftButton);
    QVERIFY(finished.wait(20000) || finished.count() == 1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!page.running());
    QVERIFY(page.statusLabel()->text().contains("abgebrochen"));
    QCOMPARE(page.tradeModel()->rowCount(), 0);
    QVERIFY(!page.outcome());
    QVERIFY(!page.saveTradesButton()->isEnabled() && !page.saveReportButton()->isEnabled());
    QVERIFY(!page.cancelButton()->isEnabled());

    // The page runs again after a cancel.
    QVERIFY(runToEnd(page));
    QVERIFY(page.tradeModel()->rowCount() > 0);
  }

  void acceptedChangeRunsAgainAndKeepsTheCurveBefore() {
    Env env;
    BacktestPage page(*env.ws, env.host);
    page.show();
    QVERIFY(runToEnd(page));
    const double firstNet = page.outcome()->result.statistics.netProfit;
    QVERIFY(page.previousEquity().empty());

    // Nothing changed: a click somewhere runs nothing.
    QSignalSpy finished(&page, &BacktestPage::runFinished);
    QTest::mouseClick(page.statusLabel(), Qt::LeftButton);
    QTest::qWait(page.rerunTimer()->interval() + 200);
    QCOMPARE(finished.count(), 0);

    // Twice the lots, then a button let go (as after a slider or an accept button).
    env.ws->system().setParameter("mm_lots", "0.2");
    QTest::mouseClick(page.statusLabel(), Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QVERIFY(!page.previousEquity().empty());
    QVERIFY(std::abs(page.outcome()->result.statistics.netProfit - 2 * firstNet) < 0.02 + std::abs(firstNet) * 1e-9);
    QCOMPARE(chartView(page.equityView())->chart()->series().size(), 3);
  }

  void savesTradesAndReportAndSaysWhenItCannot() {
    Env env;
    BacktestPage page(*env.ws, env.host);
    QVERIFY(runToEnd(page));
    const fs::path csv = env.dir.path() / "trades.csv";
    const fs::path html = env.dir.path() / "report.html";
    QVERIFY(page.saveTrades(csv));
    QVERIFY(page.saveReport(html));
    QCOMPARE(testing::readBytes(csv), tradesCsv(page.outcome()->result));
    const std::string report = testing::readBytes(html);
    QVERIFY(report.find("<svg") != std::string::npos);
    QVERIFY(report.find("MA Trendfolger") != std::string::npos);

    QVERIFY(!page.saveTrades(env.dir.path() / "no" / "such" / "folder" / "t.csv"));
    QCOMPARE(env.host.messages.size(), std::size_t(1));
    QVERIFY(env.host.messages.back().find("t.csv") != std::string::npos);
  }

  void refusalsReachTheTrader() {
    // A system reading M30 cannot run on H1 bars: the reason, and no trades from before.
    Env env("RSI Umkehr.hsy.txt");
    for (int g = 1; g <= 4; ++g)
      for (Indicator& indicator : env.ws->system().group(g).indicators()) indicator.setRaw("timeframe", "idM30");
    BacktestPage page(*env.ws, env.host);
    QVERIFY(runToEnd(page));
    QVERIFY(page.statusLabel()->text().contains("nicht möglich"));
    QVERIFY(page.statusLabel()->text().contains("M30"));
    QCOMPARE(page.tradeModel()->rowCount(), 0);

    // A history that cannot be read keeps the one chosen before and says where it failed.
    const fs::path bad = env.dir.path() / "EURUSD60.csv";
    testing::writeBytes(bad, "2024.01.02,00:00,1.1,1.0,1.2,1.1,5\n");
    const QString chosen = page.historyChoice()->currentText();
    QVERIFY(!page.chooseHistoryFile(bad));
    QVERIFY(page.statusLabel()->text().contains("EURUSD60.csv"));
    QCOMPARE(page.historyChoice()->currentText(), chosen);
  }

  void accountTermsReachTheRunAreTypedCheckedAndRemembered() {
    Env env;
    {
      BacktestPage page(*env.ws, env.host);
      page.show();
      // Typed as a German trader writes numbers; a letter is not taken at all.
      for (auto [edit, typed] : std::vector<std::pair<QDoubleSpinBox*, QString>>{
               {page.leverageEdit(), "50"}, {page.stopOutEdit(), "80"}, {page.commissionEdit(), "7,5"},
               {page.swapLongEdit(), "-3,25"}, {page.swapShortEdit(), "x1,5"}}) {
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
      }
      page.stopLevelEdit()->setValue(10);
      // Out of range is not taken either: the stop-out level ends at 100 %.
      page.stopOutEdit()->selectAll();
      QTest::keyClicks(page.stopOutEdit(), "150");
      QTest::keyClick(page.stopOutEdit(), Qt::Key_Return);
      const BacktestSettings settings = page.runSettings();
      QCOMPARE(settings.account.leverage, 50.0);
      QVERIFY(settings.account.stopOutPercent <= 100);
      QCOMPARE(settings.account.commissionPerLot, 7.5);
      QCOMPARE(settings.account.swapLongPoints, -3.25);
      QCOMPARE(settings.account.swapShortPoints, 1.5);
      QCOMPARE(settings.symbol.stopLevelPoints, 10);
      QVERIFY(!settingsProblem(settings));
    }
    // Remembered in the settings file, and a new page starts with them.
    const Settings::BacktestTerms terms = env.ws->settings.backtest;
    QCOMPARE(terms.commissionPerLot, 7.5);
    Settings read;
    parseSettings(settingsLines(env.ws->settings, env.ws->language), read, env.ws->language, env.ws->resFolder());
    QVERIFY(read.backtest == terms);
    const auto plain = settingsLines(Settings{}, env.ws->language);
    QVERIFY(std::none_of(plain.begin(), plain.end(), [](const std::string& l) { return l.starts_with("BT"); }));
    BacktestPage again(*env.ws, env.host);
    QCOMPARE(again.leverageEdit()->value(), 50.0);
    QCOMPARE(again.swapLongEdit()->value(), -3.25);
    QCOMPARE(again.stopLevelEdit()->value(), 10);
  }

  void aChangedHistoryWindowOrAccountClearsTheResult() {
    Env env;
    BacktestPage page(*env.ws, env.host);
    page.show();
    QVERIFY(runToEnd(page));
    QVERIFY(page.previousEquity().empty());

    // Each change clears the result and its export; the next run on the same bars keeps the
    // grey curve, a run on another window does not.
    struct Change {
      const char* what;
      std::function<void()> apply;
      bool sameBars;
    };
    const std::vector<Change> changes{
        {"leverage", [&] { page.leverageEdit()->setValue(20); }, true},
        {"commission", [&] { page.commissionEdit()->setValue(3); }, true},
        {"spread", [&] { page.spreadEdit()->setValue(25); }, true},
        {"first day", [&] { page.fromEdit()->setDate(page.fromEdit()->date().addMonths(2)); }, false},
        {"last day", [&] { page.toEdit()->setDate(page.toEdit()->date().addDays(-10)); }, false},
    };
    for (const Change& change : changes) {
      QVERIFY2(page.outcome() && page.tradeModel()->rowCount() > 0, change.what);
      change.apply();
      QVERIFY2(!page.outcome() && page.tradeModel()->rowCount() == 0, change.what);
      QVERIFY2(!page.saveTradesButton()->isEnabled() && !page.saveReportButton()->isEnabled(), change.what);
      QVERIFY2(page.statusLabel()->text().contains("geändert"), change.what);
      QVERIFY(runToEnd(page));
      QVERIFY2(page.previousEquity().empty() != change.sameBars, change.what);
      const QStringList legend = [&] {
        QStringList names;
        for (QAbstractSeries* series : chartView(page.equityView())->chart()->series()) names << series->name();
        return names;
      }();
      QVERIFY2(legend.contains("vorher") == change.sameBars, change.what);
    }

    // Another history: the same.
    const fs::path csv = env.dir.path() / "EURUSD60.csv";
    std::string text;
    const BarSeries demo = makeDemoHistory();
    for (std::size_t i = 0; i < 3000; ++i)
      text += historyTimeText(demo.time[i]).substr(0, 10) + "," + historyTimeText(demo.time[i]).substr(11) + "," +
              fixedNumber(demo.open[i], 5) + "," + fixedNumber(demo.high[i], 5) + "," + fixedNumber(demo.low[i], 5) +
              "," + fixedNumber(demo.close[i], 5) + ",10\n";
    testing::writeBytes(csv, text);
    QVERIFY(page.chooseHistoryFile(csv));
    QVERIFY(!page.outcome() && !page.saveTradesButton()->isEnabled());
    QVERIFY(runToEnd(page));
    QVERIFY(page.previousEquity().empty());
  }

  void stopOutsAreMarkedAndNamed() {
    Env env;
    BacktestPage page(*env.ws, env.host);
    page.show();
    QVERIFY(runToEnd(page));
    BacktestOutcome ran;
    ran.history = page.outcome()->history;
    ran.result = page.outcome()->result;
    QVERIFY(ran.result.trades.size() >= 4);

    struct Case {
      std::vector<std::size_t> stoppedOut;
      QString sentence;  // after "Fertig: ..."
    };
    const QString first = traderTime(*env.ws, ran.result.trades[1].closeTime);
    const std::vector<Case> cases{
        {{}, QString()},
        {{1}, ". Das Konto wurde am " + first + " ausgestoppt (Stop Out)."},
        {{1, 3}, ". Das Konto wurde 2-mal ausgestoppt (Stop Out), zuerst am " + first + "."},
    };
    const int reason = columnNamed(page, "Grund");
    const int result = columnNamed(page, "Ergebnis");
    const int commission = columnNamed(page, "Kommission");
    const int swap = columnNamed(page, "Swap");
    QVERIFY(reason >= 0 && result >= 0 && commission >= 0 && swap >= 0);
    for (const Case& c : cases) {
      page.takeOutcome(withStopOuts(ran, c.stoppedOut));
      const BacktestResult& shown = page.outcome()->result;
      const QString where = QString::number(c.stoppedOut.size());
      QVERIFY2(page.statusLabel()->text().endsWith(QString::fromStdString(fixedNumber(shown.statistics.netProfit, 2)) + c.sentence),
               qPrintable(page.statusLabel()->text()));
      QCOMPARE(statistic(page, "Stop Outs"), where);
      // Every row: its result is profit, commission and swap together; a stop out stands out.
      for (int row = 0; row < page.tradeModel()->rowCount(); ++row) {
        const auto index = page.tradeModel()->item(row, 0)->data(Qt::UserRole + 1).toULongLong();
        const Trade& trade = shown.trades[index];
        QCOMPARE(page.tradeModel()->item(row, result)->text(), QString::fromStdString(fixedNumber(trade.result(), 2)));
        QCOMPARE(page.tradeModel()->item(row, commission)->text(), QString::fromStdString(fixedNumber(trade.commission, 2)));
        QCOMPARE(page.tradeModel()->item(row, swap)->text(), QString("1.25"));
        const bool stopOut = trade.reason == CloseReason::StopOut;
        QCOMPARE(page.tradeModel()->item(row, reason)->text() == "Stop Out", stopOut);
        QCOMPARE(page.tradeModel()->item(row, 1)->background().style() != Qt::NoBrush, stopOut);
      }
      // On the curve: one mark per stop out, on the equity of that bar.
      QXYSeries* marks = seriesNamed(chartView(page.equityView())->chart(), "Stop Out");
      QCOMPARE(marks != nullptr, !c.stoppedOut.empty());
      if (marks) {
        QCOMPARE(marks->count(), static_cast<int>(c.stoppedOut.size()));
        const Trade& stopped = shown.trades[c.stoppedOut.front()];
        QCOMPARE(static_cast<qint64>(marks->at(0).x()), stopped.closeTime * 1000);
        const auto bar = std::find(shown.barTime.begin(), shown.barTime.end(), stopped.closeTime) - shown.barTime.begin();
        QCOMPARE(marks->at(0).y(), shown.equity[static_cast<std::size_t>(bar)]);
      }
    }
  }

  void resultsGetTheRoomTheyNeed() {
    struct Size {
      QSize window;
      int chartWidth;
      int tradeRows;
    };
    for (const Size& size : {Size{{1280, 800}, 700, 12}, Size{{1024, 768}, 500, 8}}) {
      for (bool english : {false, true}) {
        Window w(size.window, english);
        const QString where = QStringLiteral("%1x%2 %3").arg(size.window.width()).arg(size.window.height()).arg(english);
        auto* page = w.form->findChild<BacktestPage*>();
        QVERIFY(page);
        QCOMPARE(w.form->displayMode(), mode::Edit);
        w.select(w.form->tabSelector()->count() - 1);
        QVERIFY(runToEnd(*page));
        QTest::qWait(30);
        // The side panels give way, and no empty strip column stands beside the page.
        QCOMPARE(w.form->displayMode(), mode::Results);
        QVERIFY2(!w.form->libraryDock()->isVisible() && !w.form->helpDock()->isVisible(), qPrintable(where));
        QVERIFY2(!w.form->infoStrip()->isVisible(), qPrintable(where));
        QVERIFY2(page->equityView()->width() >= size.chartWidth,
                 qPrintable(where + QStringLiteral(": chart %1 px").arg(page->equityView()->width())));
        QTableView* trades = page->tradeTable();
        QVERIFY(trades->model()->rowCount() > size.tradeRows);
        const int rowsShown = trades->viewport()->height() / trades->verticalHeader()->defaultSectionSize();
        QVERIFY2(rowsShown >= size.tradeRows, qPrintable(where + QStringLiteral(": %1 rows").arg(rowsShown)));

        // Back on an editor the panels return in the mode left; the page's arrangement is kept.
        w.select(0);
        QCOMPARE(w.form->displayMode(), mode::Edit);
        QVERIFY(w.form->libraryDock()->isVisible() && w.form->helpDock()->isVisible());
        QVERIFY(fs::exists(w.ws->resFile(layoutFileName(mode::Results))));
        w.select(w.form->tabSelector()->count() - 1);
        QCOMPARE(w.form->displayMode(), mode::Results);
        QVERIFY(!w.form->libraryDock()->isVisible() && !w.form->helpDock()->isVisible());
      }
    }
  }
};

QTEST_MAIN(BacktestPageTest)
#include "backtest_page_test.moc"
