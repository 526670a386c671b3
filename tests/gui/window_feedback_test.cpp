// What the window tells the trader after an action: generating without a compiler keeps the
// source and says where a compiler was looked for, the source is shown read-only, a save is
// confirmed and unsaved changes are marked in the caption, "System testen" answers in one
// report, and an editor area without a system says what to do next.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

#include "app/app_commands.hpp"
#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "app/qt_host.hpp"
#include "app/system_test_report.hpp"
#include "library/expert_source_view.hpp"
#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "window/command_table.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

// Runs action on every modal window that opens until the call under test returns, and counts
// them.
struct ModalWatch {
  int opened = 0;
  std::function<void(QWidget*)> action;
  QTimer timer;
  QPointer<QWidget> last;
  explicit ModalWatch(std::function<void(QWidget*)> a) : action(std::move(a)) {
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == last) return;
      last = modal;
      ++opened;
      action(modal);
    });
    timer.start();
  }
};

}  // namespace

class WindowFeedbackTest : public QObject {
  Q_OBJECT
 private slots:
  void withoutACompilerTheSourceIsKeptAndTheSearchExplained() {
    for (const bool english : {false, true}) {
      testing::TestWorkspace t(testing::FolderSeed{.demoLibrary = true,
                                                   .settings = english ? "LANGUAGE=ENGLISCH\r\n" : ""},
                               true);
      Workspace& ws = *t.ws;
      QVERIFY(openSystem(ws, "MA Trendfolger.hsy.txt"));
      QtHost host;
      AppCommands commands(ws, host, nullptr);
      std::vector<fs::path> opened;
      commands.openFolder = [&opened](const fs::path& folder) { opened.push_back(folder); };
      QString text;
      ModalWatch watch([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        text = box->text();
        QPushButton* folderButton = nullptr;
        for (QAbstractButton* b : box->buttons())
          if (b->text() == QString::fromStdString(ws.tr("Ordner öffnen"))) folderButton = qobject_cast<QPushButton*>(b);
        QVERIFY(folderButton);
        folderButton->click();
        QVERIFY(box->isVisible());  // the message stays up beside the opened folder
        box->accept();
      });
      commands.generateExpert();
      QCOMPARE(watch.opened, 1);
      const fs::path kept = ws.userFile("MA Trendfolger.mq4");
      QVERIFY(fs::exists(kept));
      QVERIFY(fs::file_size(kept) > 1000);
      QVERIFY(!fs::exists(ws.userFile("_Zorvik.mq4")));
      QCOMPARE(opened, std::vector<fs::path>{ws.userFolder()});
      // Where it looked, whether wine is there, and the kept file; in the chosen language.
      for (const char* part : {"metalang.exe", "metaeditor.exe", "wine", "MA Trendfolger.mq4"})
        QVERIFY2(text.contains(QLatin1String(part)), part);
      QVERIFY(text.contains(english ? QStringLiteral("The source was kept") : QStringLiteral("Der Quelltext wurde behalten")));
      // Our own check is the verdict on the kept source.
      QVERIFY(text.contains(english ? QStringLiteral("checked and well-formed, but not compiled")
                                    : QStringLiteral("geprüft und fehlerfrei, aber nicht kompiliert")));
    }
  }

  void systemTestShowsOneReportWithTheSixRowsAndTheLint() {
    testing::TestWorkspace t(true, true);
    Workspace& ws = *t.ws;
    QVERIFY(openSystem(ws, "MA Trendfolger.hsy.txt"));
    // A trailing stop below the stop loss: a finding the report must carry after its rows.
    ws.system().group(2).sl = "50";
    ws.system().group(2).ts = "20";
    const std::vector<LintFinding> findings = lintSystem(ws, ws.system());
    QVERIFY(!findings.empty());
    QtHost host;
    AppCommands commands(ws, host, nullptr);
    QStringList rows, meanings;
    int differenceLines = 0;
    ModalWatch watch([&](QWidget* modal) {
      auto* report = qobject_cast<SystemTestReport*>(modal);
      QVERIFY(report);
      rows = report->rowMarks();
      meanings = report->rowMeanings();
      differenceLines = static_cast<int>(report->differenceView()->document()->blockCount());
      report->accept();
    });
    const auto shown = commands.checkSystem(1);
    QCOMPARE(watch.opened, 1);
    QVERIFY(shown.has_value());
    QCOMPARE(shown->size(), std::size_t{6});
    QCOMPARE(rows.size(), static_cast<qsizetype>(6 + findings.size()));
    for (std::size_t i = 0; i < shown->size(); ++i) QCOMPARE(rows[static_cast<qsizetype>(i)], QString::fromStdString((*shown)[i].text));
    for (std::size_t i = 0; i < findings.size(); ++i) {
      const auto row = static_cast<qsizetype>(6 + i);
      QCOMPARE(rows[row], findings[i].level == LintLevel::Warn ? QStringLiteral("Warnung") : QStringLiteral("Hinweis"));
      QCOMPARE(meanings[row], QString::fromStdString(findings[i].text));
    }
    QVERIFY(differenceLines > 1);

    // Without an open system nothing is tested and nothing opens.
    ws.system().systemFileName.clear();
    QVERIFY(!commands.checkSystem(1).has_value());
    QCOMPARE(watch.opened, 1);
  }

  void aSaveIsConfirmedAndUnsavedChangesAreMarked() {
    testing::TestWorkspace t(testing::FolderSeed{.demoLibrary = true}, false);
    // Boxes would wait for a click: what the program says is kept instead.
    struct QuietHost : QtHost {
      std::vector<std::string> said;
      void message(const std::string& text) override { said.push_back(text); }
      bool askYesNo(const std::string& text) override {
        said.push_back(text);
        return false;
      }
    } host;
    Workspace ws(t.dir.path(), host);
    MainWindow form(ws, host, nullptr, [&](MainWindow& f) { installProgramParts(f, ws, host); });
    form.heartbeatTimer()->stop();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The window lies inside the screen's available area, frame and status bar included, also
    // when it was made larger than the screen.
    form.resize(form.screen()->availableGeometry().size() + QSize(200, 200));
    form.fitIntoScreen();
    QVERIFY(form.screen()->availableGeometry().contains(form.frameGeometry()));
    form.heartbeat();
    form.libraryClicked();
    QVERIFY(openSystem(ws, "MA Trendfolger.hsy.txt"));
    form.buildLatePages();
    // Looking at every page changes nothing.
    for (int tab = 0; tab < form.tabSelector()->count(); ++tab) form.tabSelector()->setCurrentIndex(tab);
    form.heartbeat();
    QCOMPARE(form.windowTitle(), QStringLiteral("Zorvik 1.0.0 >MA Trendfolger<"));
    ws.system().setParameter("mm_lots", "0.2");
    form.heartbeat();
    QCOMPARE(form.windowTitle(), QStringLiteral("Zorvik 1.0.0 >MA Trendfolger< *"));
    // Ctrl+S, as the menu shows it.
    QCOMPARE(form.commandAction(cmd::SaveSystem)->shortcut().toString(), QStringLiteral("Ctrl+S"));
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(form.currentStatusText(), QStringLiteral("Gespeichert: MA Trendfolger"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Zorvik 1.0.0 >MA Trendfolger<"));
    QVERIFY(testing::readBytes(ws.userFile("MA Trendfolger.hsy.txt")).find("lots=\"0.2\"") != std::string::npos);
  }

  void aGeneratedSourceIsShownReadOnlyInColour() {
    testing::TestWorkspace t(true, true);
    Workspace& ws = *t.ws;
    const fs::path source = ws.userFile("Trend.mq4");
    testing::writeBytes(source,
                        "// Trend\r\n#property strict\r\nextern double Lots = 0.1;\r\n"
                        "int start() {\r\n  return(OrderSend(Symbol(), OP_BUY, Lots, Ask, 3, 0, 0));\r\n}\r\n");
    ExpertSourceView view(ws, source);
    QVERIFY(view.text()->isReadOnly());
    QVERIFY(view.text()->toPlainText().contains(QStringLiteral("OrderSend(Symbol()")));
    QVERIFY(view.windowTitle().contains(QStringLiteral("Trend.mq4")));
    // Comments, directives, keywords and functions are coloured.
    int colouredLines = 0;
    for (QTextBlock b = view.text()->document()->firstBlock(); b.isValid(); b = b.next())
      if (!b.layout()->formats().isEmpty()) ++colouredLines;
    QVERIFY(colouredLines >= 4);
  }

  void anEmptyEditorAreaSaysWhatToDoNext() {
    testing::TestWorkspace t(true, true);
    QtHost host;
    MainWindow form(*t.ws, host);
    form.heartbeatTimer()->stop();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.heartbeat();
    form.libraryClicked();
    QVERIFY(openSystem(*t.ws, "MA Trendfolger.hsy.txt"));
    form.setEditorTabsVisible(true);
    QVERIFY(!form.emptyEditorHint()->isVisible());
    // The open system's file is deleted: the next heartbeat puts the hint in the page's place;
    // the tabs stay, so that the program settings can still be reached.
    t.ws->system().systemFileName.clear();
    form.heartbeat();
    QVERIFY(form.emptyEditorHint()->isVisible());
    QVERIFY(form.emptyEditorHint()->text().contains(QStringLiteral("Neues Handelssystem")));
    QVERIFY(form.tabSelector()->isVisible());
    QVERIFY(!form.editorTabs()->isVisible());
    form.tabSelector()->setCurrentIndex(MainWindow::kSettingsTab);
    QVERIFY(form.editorTabs()->isVisible());
    QVERIFY(!form.emptyEditorHint()->isVisible());
  }
};

QTEST_MAIN(WindowFeedbackTest)
#include "window_feedback_test.moc"
