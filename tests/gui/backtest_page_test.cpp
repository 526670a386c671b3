// The backtest page driven as a trader would: the demo system on the demo history, the trade
// list, statistics and vote explanation that follow, cancel, the automatic run after a change,
// saving, and the refusals that must reach the trader as faults rather than as empty results.
#include <QComboBox>
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
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtTest>

#include <filesystem>

#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "backtest/backtest.hpp"
#include "backtest/backtest_page.hpp"
#include "backtest/backtest_report.hpp"
#include "help/help_registry.hpp"
#include "help/help_topics.hpp"
#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/current_system.hpp"
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
      QVERIFY2(group->child(0)->toolTip(3).startsWith(group->child(0)->text(0) + "\nausgelöst: ja\nPunkte: "),
               qPrintable(group->child(0)->toolTip(3)));
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
    QVERIFY(votes->topLevelItem(0)->text(0).endsWith(QString::fromStdString(historyTimeText(prices.time[bar]))));
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

  void cancelStopsTheRunAndKeepsWhatWasShown() {
    Env env;
    BacktestPage page(*env.ws, env.host);
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
};

QTEST_MAIN(BacktestPageTest)
#include "backtest_page_test.moc"
