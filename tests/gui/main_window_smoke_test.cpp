// The main window starts on a working folder and shows the seven translated tabs.
#include <QTabWidget>
#include <QtTest>

#include <filesystem>

#include "app/main_window.hpp"
#include "app/qt_host.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;

class MainWindowSmokeTest : public QObject {
  Q_OBJECT
 private slots:
  void showsTheSevenTabsInBothLanguages() {
    QTemporaryDir dir;
    // Without user/: the start-up must create it.
    zorvik::testing::FolderSeed seed;
    seed.userFolder = false;
    zorvik::testing::seedWorkingFolder(dir.path().toStdString(), seed);
    const QStringList german{"GENERAL", "LONG", "EXIT LONG", "SHORT", "EXIT SHORT", "MONEYMANAGEMENT", "EINSTELLUNGEN"};
    const QStringList english{"GENERAL", "LONG", "EXIT LONG", "SHORT", "EXIT SHORT", "MONEY MANAGEMENT", "SETTINGS"};
    for (const bool inEnglish : {false, true}) {
      zorvik::QtHost host;
      zorvik::Workspace ws(dir.path().toStdString(), host);
      if (inEnglish) {
        QFile ini(dir.path() + "/res/Zorvik.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("LANGUAGE=ENGLISCH\r\n");
      }
      zorvik::MainWindow form(ws, host);
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      QStringList shown;
      for (int i = 0; i < form.editorTabs()->count(); ++i) shown << form.editorTabs()->tabText(i);
      QCOMPARE(shown, inEnglish ? english : german);
      QVERIFY(QDir(dir.path() + "/user").exists());
    }
  }
};

QTEST_MAIN(MainWindowSmokeTest)
#include "main_window_smoke_test.moc"
