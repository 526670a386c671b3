// The window program's host starts programs, follows them to their end and finds programs on
// the search path, as compiling an Expert Advisor needs.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/qt_host.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class QtHostProcessTest : public QObject {
  Q_OBJECT

  // Lets events run until the watched program has ended; nullopt when it never did.
  static std::optional<int> waitForEnd(zorvik::QtHost& host, int handle) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
      if (auto code = host.programExitCode(handle)) return code;
      host.processEvents(20ms);
    }
    return std::nullopt;
  }

 private slots:
  void followsAWatchedProgramToItsExitCodeInItsWorkingFolder() {
    QTemporaryDir dir;
    zorvik::QtHost host;
    const int handle = host.startWatchedProgram("/bin/sh", {"-c", "pwd > where.txt; exit 3"}, dir.path().toStdString());
    QVERIFY(handle > 0);
    QCOMPARE(waitForEnd(host, handle), std::optional<int>(3));
    // Asked again, the answer stays.
    QCOMPARE(host.programExitCode(handle), std::optional<int>(3));
    std::ifstream where(fs::path(dir.path().toStdString()) / "where.txt");
    std::string line;
    std::getline(where, line);
    QCOMPARE(fs::canonical(line), fs::canonical(dir.path().toStdString()));
  }

  void aProgramThatCannotStartGivesNoHandle() {
    QTemporaryDir dir;
    zorvik::QtHost host;
    QCOMPARE(host.startWatchedProgram(fs::path(dir.path().toStdString()) / "missing.exe", {}, {}), 0);
    QCOMPARE(host.programExitCode(12345), std::optional<int>());
  }

  void findsProgramsOnTheSearchPath() {
    zorvik::QtHost host;
    QVERIFY(!host.findProgram("sh").empty());
    QVERIFY(host.findProgram("zorvik-no-such-program").empty());
  }
};

QTEST_MAIN(QtHostProcessTest)
#include "qt_host_process_test.moc"
