// Without its plug-ins (charts, web access, sounds) the program works on and says what is
// missing where the part is used: the backtest page shows a note in place of each chart and
// still runs, a web page or a download fails with a reason that names the plug-in, and a sound
// stays silent with a status text.
#include <QLabel>
#include <QMainWindow>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QPushButton>
#include <QtTest>

#include "app/qt_host.hpp"
#include "backtest/backtest_page.hpp"
#include "test_support.hpp"
#include "update/download_dialog.hpp"
#include "update/http_fetch.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

using namespace zorvik;

class MissingModulesTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    // Before anything asks for a plug-in: they are looked for in an empty folder only.
    qputenv("ZORVIK_MODULE_DIR", QByteArray::fromStdString(empty_.path().string()));
  }

  void backtestPageShowsNotesAndStillRuns() {
    testing::TestWorkspace env(true);
    QVERIFY(openSystem(*env.ws, "MA Trendfolger.hsy.txt"));
    BacktestPage page(*env.ws, env.host);
    page.show();
    for (QWidget* view : {page.equityView(), page.priceView()}) {
      auto* note = qobject_cast<QLabel*>(view);
      QVERIFY(note);
      QVERIFY2(note->text().contains("libzorvik_charts.so"), qPrintable(note->text()));
    }
    QSignalSpy finished(&page, &BacktestPage::runFinished);
    QTest::mouseClick(page.startButton(), Qt::LeftButton);
    QVERIFY(finished.wait(20000) || finished.count() > 0);
    QVERIFY(page.tradeModel()->rowCount() > 0);
  }

  void webRequestsFailNamingThePlugIn() {
    WebClient web;
    const FetchedPage page = web.fetchPage(QUrl("http://127.0.0.1:9/"), 1000, "test", 1000);
    QVERIFY(page.body.isEmpty());
    QVERIFY2(page.error.contains("libzorvik_web.so"), qPrintable(page.error));

    testing::TestWorkspace env;
    DownloadDialog window(*env.ws, env.host);
    window.setDownloads({{"http://127.0.0.1:9/file", QString::fromStdString((env.dir.path() / "file").string())}});
    window.exec();
    QCOMPARE(window.outcomes().size(), 1);
    QVERIFY(!window.outcomes().front().cancelled);
    QVERIFY(window.outcomes().front().error.find("libzorvik_web.so") != std::string::npos);
  }

  void soundsAreSilentAndSaySoOnce() {
    testing::TestWorkspace env;
    QMainWindow window;
    QtHost host;
    host.setMainWindow(&window);
    host.setResourceFolder(env.ws->resFolder());
    host.eventSound("Neues Handelssystem");
    QVERIFY2(window.statusBar()->currentMessage().contains("libzorvik_sound.so"),
             qPrintable(window.statusBar()->currentMessage()));
    window.statusBar()->clearMessage();
    host.eventSound("Neues Handelssystem");
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
  }

 private:
  testing::TempDir empty_;
};

QTEST_MAIN(MissingModulesTest)
#include "missing_modules_test.moc"
