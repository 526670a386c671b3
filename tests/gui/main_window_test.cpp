// The main window driven as a user drives it: menus in both languages, display modes and
// their layout files, panels that keep their sides, the language switch that ends the
// program, the shutdown, the information strip and the editor pages.
#include <QLabel>
#include <QDockWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/main_commands.hpp"
#include "app/main_window.hpp"
#include "app/qt_host.hpp"
#include "help/help_panel.hpp"
#include "help/help_panel_base.hpp"
#include "library/library_panel_base.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using zorvik::InfoRows;

namespace {

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Watches what the window hands to the rest of the program.
struct RecordingCommands : zorvik::MainCommands {
  QStringList calls;
  int silentChecks = 0;
  std::optional<InfoRows> rows;

  void newSystem() override { calls << "new"; }
  bool saveFails = false;
  bool saveSystem() override {
    calls << "save";
    return !saveFails;
  }
  void generateExpert() override { calls << "generate"; }
  std::optional<InfoRows> checkSystem(int mode) override {
    if (mode == 0) {
      ++silentChecks;
    } else {
      calls << QString("check%1").arg(mode);
    }
    return rows;
  }
  void askEqualSymbols() override { calls << "symbols"; }
  void askEqualTimeFrames() override { calls << "timeframes"; }
};

// Keeps the context commands the window hands to its library panel.
struct RecordingLibraryPanel : zorvik::LibraryPanelBase {
  QList<int> commands;
  void contextCommand(std::int32_t id) override { commands << id; }
};

// A working folder with the program's res/ and a shown main window on it.
struct Program {
  explicit Program(const QString& iniText = {}) {
    zorvik::testing::FolderSeed seed;
    seed.settings = iniText.toStdString();
    zorvik::testing::seedWorkingFolder(root(), seed);
  }
  fs::path root() const { return dir.path(); }
  fs::path res(const char* name) const { return root() / "res" / name; }

  zorvik::MainWindow& start() {
    ws = std::make_unique<zorvik::Workspace>(root(), host);
    form = std::make_unique<zorvik::MainWindow>(*ws, host);
    auto c = std::make_unique<RecordingCommands>();
    commands = c.get();
    form->setCommands(std::move(c));
    // The tests drive the heartbeat themselves; on a busy machine the timer would otherwise
    // tick between a test's steps.
    form->heartbeatTimer()->stop();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) qWarning("window not exposed");
    return *form;
  }
  // Lets the heartbeat run once and the layout settle.
  void tick() {
    form->heartbeat();
    QTest::qWait(20);
  }
  QStringList menuTitles() const {
    QStringList out;
    for (QAction* a : form->menuBar()->actions()) out << a->text();
    return out;
  }
  QStringList entries(int menu) const {
    QStringList out;
    for (QAction* a : form->menuBar()->actions().at(menu)->menu()->actions()) out << a->text();
    return out;
  }
  QList<int> checkedIds() const {
    QList<int> out;
    for (int id : {94, 95, 110, 200, 201, 202})
      if (form->commandAction(id)->isChecked()) out << id;
    return out;
  }

  zorvik::testing::TempDir dir;
  zorvik::RecordingHost host;
  std::unique_ptr<zorvik::Workspace> ws;
  std::unique_ptr<zorvik::MainWindow> form;
  RecordingCommands* commands = nullptr;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void menusShowTheCommandTableInBothLanguages() {
    {
      Program p;
      auto& form = p.start();
      QCOMPARE(p.menuTitles(), (QStringList{"&Datei", "&Anzeige", "&Systemeditor", "&Systemtest", "&Expert Advisor",
                                            "&Sprache", "&Hilfe"}));
      QCOMPARE(p.entries(0), (QStringList{"&Neues Handelssystem", "&Handelssystem speichern", "&Programm beenden"}));
      QCOMPARE(p.entries(1), (QStringList{"&Symbolleisten", "Status&leiste", "&Zurücksetzen", "&Editiermodus",
                                          "&Hilfemodus", "&Startmodus", "&Einstellungen"}));
      QCOMPARE(p.entries(6), (QStringList{"&Handbuch", "Nach &Updates suchen", "&Über..."}));
      QCOMPARE(form.commandAction(103)->shortcut(), QKeySequence(QKeySequence::Save));
      // No language set counts as German; the program starts in start mode.
      QCOMPARE(p.checkedIds(), (QList<int>{94, 110, 202}));
      QStringList context;
      for (QAction* a : form.libraryContextMenu()->actions()) context << a->text();
      QCOMPARE(context, (QStringList{"Ablegen", "Löschen", "Expert erzeugen", "Umbenennen", "Abbrechen",
                                     "Expert anwenden", "Wiederherstellen", "Speichern unter"}));
      QCOMPARE(form.libraryDock()->windowTitle(), QString("Toolbox"));
      QCOMPARE(form.helpDock()->windowTitle(), QString("Die Hilfe..."));
      QCOMPARE(form.windowTitle(), QString("Zorvik 1.0.0"));
      form.commandDispatch(110);
      QVERIFY(form.statusBar()->isHidden());
      QCOMPARE(p.checkedIds(), (QList<int>{94, 202}));
      form.commandDispatch(110);
      QVERIFY(!form.statusBar()->isHidden());
    }
    {
      Program p("LANGUAGE=ENGLISCH\r\n");
      auto& form = p.start();
      QCOMPARE(p.menuTitles(), (QStringList{"&File", "&View", "System &editor", "System &test", "E&xpert Advisor",
                                            "&Language", "&Help"}));
      QCOMPARE(p.entries(5), (QStringList{"&German", "&English"}));
      QCOMPARE(p.entries(6), (QStringList{"&Manual", "Check for &updates", "&About..."}));
      QCOMPARE(p.checkedIds(), (QList<int>{95, 110, 202}));
      QCOMPARE(form.libraryContextMenu()->actions().at(1)->text(), QString("Delete"));
      QCOMPARE(form.tabSelector()->tabText(5), QString("MONEY MANAGEMENT"));
      QCOMPARE(form.editorTabs()->tabText(5), QString("MONEY MANAGEMENT"));
      QVERIFY(p.ws->language.missingTexts().empty());
    }
  }

  void smallWindowKeepsTheTabStripWhole() {
    // At 1024 x 700 in edit mode the help panel, then the library panel, give up width until
    // all seven captions fit at once: no scroll arrows, no shortened caption.
    for (const char* settings : {"LANGUAGE=DEUTSCH\r\n", "LANGUAGE=ENGLISCH\r\n"}) {
      Program p(settings);
      auto& form = p.start();
      form.resize(1024, 700);
      p.tick();
      form.commandDispatch(200);
      p.tick();
      QVERIFY(form.tabSelector()->isVisible());
      QVERIFY2(form.tabSelector()->sizeHint().width() <= form.tabSelector()->width(), settings);
      QVERIFY(form.helpDock()->width() >= 180);
      QVERIFY(form.libraryDock()->width() >= 200);
    }
  }

  void modeSwitchesSaveTheLayoutOfTheModeBeingLeft() {
    Program p;
    // A stale reset layout from an earlier run is replaced at start, once the window is on screen.
    std::ofstream(p.res("cbLayoutZero.bin"), std::ios::binary) << "stale";
    auto& form = p.start();
    // The window the shares are meant for; a smaller one gives the tab strip its room first.
    form.resize(1280, 800);
    QCOMPARE(form.displayMode(), std::int16_t(-1));
    QCOMPARE(form.editorAreaWidth(), 15);  // start mode: the help panel fills the window
    QVERIFY(!form.editorTabsVisible());
    QTRY_VERIFY(readAll(p.res("cbLayoutZero.bin")) != "stale");
    QVERIFY(!readAll(p.res("cbLayoutZero.bin")).empty());
    p.tick();
    QVERIFY(form.editorTabsVisible());
    QVERIFY(!form.tabSelector()->isVisible());  // nothing to show in the sliver

    form.commandDispatch(200);
    QCOMPARE(form.displayMode(), std::int16_t(0));
    QCOMPARE(p.checkedIds(), (QList<int>{94, 110, 200}));
    QCOMPARE(form.helpPanelPercent(), 35);
    QVERIFY(form.startLeft());
    QVERIFY(form.tabSelector()->isVisible());

    form.setHelpPanelPercent(40);
    form.commandDispatch(201);  // leaving edit mode saves it at 40 percent
    QCOMPARE(form.displayMode(), std::int16_t(1));
    QCOMPARE(p.checkedIds(), (QList<int>{94, 110, 201}));
    QCOMPARE(form.helpPanelPercent(), 65);
    QVERIFY(fs::exists(p.res("cbLayoutEdit.bin")));

    form.setHelpPanelPercent(80);
    form.commandDispatch(200);  // the edit layout brings back 40 percent, which stays
    QCOMPARE(form.helpPanelPercent(), 40);
    form.commandDispatch(201);  // the help layout brings back 80 percent, which stays
    QCOMPARE(form.helpPanelPercent(), 80);

    form.commandDispatch(202);
    QCOMPARE(form.displayMode(), std::int16_t(1));
    QCOMPARE(p.checkedIds(), (QList<int>{94, 110, 201}));
    QCOMPARE(form.editorAreaWidth(), 15);

    // Reset keeps the mode and overwrites that mode's layout.
    form.commandDispatch(200);
    const std::string before = readAll(p.res("cbLayoutEdit.bin"));
    form.setHelpPanelPercent(20);
    form.commandDispatch(98);
    QCOMPARE(form.displayMode(), std::int16_t(0));
    QCOMPARE(p.checkedIds(), (QList<int>{94, 110, 200}));
    QVERIFY(form.helpPanelPercent() <= 50);
    QVERIFY(readAll(p.res("cbLayoutEdit.bin")) != before);

    // A broken layout file is ignored; the arrangement on screen stays.
    std::ofstream(p.res("cbLayoutHilfe.bin"), std::ios::binary) << "garbage";
    const int share = form.helpPanelPercent();
    QVERIFY(!form.loadLayout(1));
    QCOMPARE(form.helpPanelPercent(), share);
  }

  void startModeIsLeftByTheStartPageButtonOrALibraryClick() {
    {
      Program p;
      auto& form = p.start();
      auto* help = qobject_cast<zorvik::HelpPanel*>(form.helpPanel());
      QVERIFY(help);
      QCOMPARE(help->startPageButton()->text(), QString("Browserfenster schliessen"));
      form.resize(1200, 760);  // a resize in start mode keeps the help panel full
      QTRY_COMPARE(form.editorAreaWidth(), 15);
      QTest::mouseClick(help->startPageButton(), Qt::LeftButton);
      QCOMPARE(form.displayMode(), std::int16_t(0));
      QCOMPARE(form.helpPanelPercent(), 35);
      QCOMPARE(help->startPageButton()->text(), QString("Startseite"));
      form.resize(1280, 800);
      QTest::qWait(150);
      QVERIFY(form.editorAreaWidth() > 15);
    }
    {
      Program p;
      auto& form = p.start();
      form.libraryClicked();
      QCOMPARE(form.displayMode(), std::int16_t(0));
      form.commandDispatch(201);
      form.libraryClicked();  // outside start mode a click changes no mode
      QCOMPARE(form.displayMode(), std::int16_t(1));
    }
  }

  void panelsGoBackToTheirSidesAndTheEditorAreaKeepsASliver() {
    Program p;
    auto& form = p.start();
    form.commandDispatch(200);
    form.addDockWidget(Qt::LeftDockWidgetArea, form.helpDock());
    form.addDockWidget(Qt::RightDockWidgetArea, form.libraryDock());
    p.tick();
    QCOMPARE(form.dockWidgetArea(form.helpDock()), Qt::RightDockWidgetArea);
    p.tick();
    QCOMPARE(form.dockWidgetArea(form.libraryDock()), Qt::LeftDockWidgetArea);

    // The help panel swallowing the editor area is narrowed back within a second.
    const int available = form.editorAreaWidth() + form.helpDock()->width();
    form.resizeDocks({form.helpDock()}, {available}, Qt::Horizontal);
    QTRY_VERIFY(form.editorAreaWidth() < 15);
    p.tick();
    QTRY_COMPARE_WITH_TIMEOUT(form.editorAreaWidth(), 15, 1500);
  }

  void languageSwitchAsksForARestartAndEndsTheProgram() {
    struct Case {
      QString ini;
      int command;
      std::string message;
      bool closes;
      std::string language;
    };
    const QList<Case> cases{
        {"", 94, "Bitte Programm neu starten", true, "LANGUAGE=DEUTSCH"},  // empty counts as German, still switches
        // The question speaks the language of the window that asks it.
        {"", 95, "Bitte Programm neu starten", true, "LANGUAGE=ENGLISCH"},
        {"LANGUAGE=ENGLISCH\r\n", 94, "Please restart the program", true, "LANGUAGE=DEUTSCH"},
        {"LANGUAGE=DEUTSCH\r\n", 94, "Deutsch ist bereits eingestellt", false, ""},
        {"LANGUAGE=ENGLISCH\r\n", 95, "English is already set", false, ""},
    };
    for (const Case& c : cases) {
      Program p(c.ini);
      auto& form = p.start();
      form.commandDispatch(c.command);
      QCOMPARE(p.host.messages, std::vector<std::string>{c.message});
      QCOMPARE(p.checkedIds().first(), c.command);
      if (c.closes) {
        p.tick();  // the heartbeat ends the program
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(form.exiting());
        QVERIFY(readAll(p.res("Zorvik.ini")).find(c.language + "\r\n") == 0);
      } else {
        QTest::qWait(250);
        QVERIFY(form.isVisible());
        QVERIFY(!fs::exists(p.res("Zorvik.ini")) || c.ini.toStdString() == readAll(p.res("Zorvik.ini")));
      }
    }

    // Without the English table the program says so and stays as it is.
    Program p;
    fs::remove(p.res("langEng.txt"));
    auto& form = p.start();
    form.commandDispatch(95);
    QCOMPARE(p.host.messages.size(), std::size_t(1));
    QVERIFY(p.host.messages[0].rfind("Die Sprachdatei fehlt: ", 0) == 0);
    QCOMPARE(p.checkedIds().first(), 94);
    QTest::qWait(250);
    QVERIFY(form.isVisible());
  }

  void shutdownSavesLayoutSystemAndSettings() {
    Program p;
    auto& form = p.start();
    form.commandDispatch(103);  // no open system: nothing
    form.commandDispatch(99);
    QCOMPARE(p.host.messages, std::vector<std::string>{"Zuerst ein System laden"});
    QVERIFY(p.commands->calls.isEmpty());

    p.ws->system().systemFileName = "Trend.hsy.txt";
    form.updateWindowTitle();
    QCOMPARE(form.windowTitle(), QString("Zorvik 1.0.0 >Trend<"));
    form.commandDispatch(99);
    form.commandDispatch(103);
    QCOMPARE(p.commands->calls, (QStringList{"generate", "save"}));
    QCOMPARE(p.host.eventSounds, std::vector<std::string>{"Write System"});

    form.commandDispatch(200);
    form.commandDispatch(112);
    int otherWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) otherWindows += w != &form && w->isVisible();
    QCOMPARE(otherWindows, 1);  // the about window, which the shutdown closes
    fs::remove(p.res("cbLayoutEdit.bin"));
    p.ws->settings.magic = 100042;
    form.commandDispatch(104);
    QVERIFY(!form.isVisible());
    QVERIFY(form.exiting());
    QCOMPARE(p.commands->calls, (QStringList{"generate", "save", "save"}));
    QCOMPARE(p.host.eventSounds, (std::vector<std::string>{"Write System", "Write System"}));
    QVERIFY(fs::exists(p.res("cbLayoutEdit.bin")));
    QVERIFY(readAll(p.res("Zorvik.ini")).find("MAGIC=100042\r\n") != std::string::npos);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
  }

  void aSaveThatFailsNeitherSoundsNorQuitsWithoutAsking() {
    Program p;
    auto& form = p.start();
    p.ws->system().systemFileName = "Trend.hsy.txt";
    p.commands->saveFails = true;
    form.commandDispatch(103);
    QVERIFY(p.host.eventSounds.empty());

    // Quitting asks whether the changes that cannot be written may go; No keeps the program.
    p.host.answers = {false};
    form.commandDispatch(104);
    QVERIFY(form.isVisible());
    QVERIFY(!form.exiting());
    QCOMPARE(p.host.questions.size(), std::size_t{1});
    QVERIFY(p.host.questions[0].find("nicht gespeichert werden") != std::string::npos);

    // The restart a language switch asks for is refused the same way; the program beats on.
    form.commandDispatch(95);  // English: "Bitte Programm neu starten"
    p.host.answers = {false};
    p.tick();
    QVERIFY(form.isVisible());
    QVERIFY(!form.exiting());
    QVERIFY(form.heartbeatTimer()->isActive());
    form.heartbeatTimer()->stop();

    // Once the file can be written again, quitting saves as usual.
    p.commands->saveFails = false;
    form.commandDispatch(104);
    QVERIFY(!form.isVisible());
    QVERIFY(form.exiting());
    QCOMPARE(p.commands->calls, (QStringList{"save", "save", "save", "save"}));
    QCOMPARE(p.host.eventSounds, std::vector<std::string>{"Write System"});
  }

  void informationStripRowsAndClicksGoThroughTheCommands() {
    Program p;
    auto& form = p.start();
    form.commandDispatch(200);
    p.commands->rows = InfoRows{{"l=xs", true, "SysInfo_LXS"}, {"s=xl", true, "SysInfo_SXL"},
                                {"====", true, "SysInfo_Sall"}, {"STOP=", true, "SysInfo_STOP"},
                                {"S:EURUSD", true, "SysInfo_SYMBOL"}, {"T:", false, "SysInfo_TIME"}};
    p.tick();
    QVERIFY(p.commands->silentChecks > 0);
    QCOMPARE(form.infoStrip()->rows().size(), std::size_t(6));
    QCOMPARE(form.infoStrip()->rows()[5].text, std::string("T:"));

    auto* strip = form.infoStrip();
    const int rowHeight = strip->height() / 6;
    QVERIFY(rowHeight > 0);
    QCOMPARE(strip->rowAt(0), 1);
    QCOMPARE(strip->rowAt(strip->height() - 1), 6);
    for (int row : {1, 4, 5, 6})
      QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(20, (row - 1) * rowHeight + rowHeight / 2));
    form.commandDispatch(97);
    QCOMPARE(p.commands->calls, (QStringList{"check2", "check2", "symbols", "timeframes", "check1"}));
  }

  void editorPagesFollowTheTabSelector() {
    Program p;
    auto& form = p.start();
    form.commandDispatch(200);
    p.tick();
    QCOMPARE(form.editorTabs()->tabText(3), QString("SHORT"));

    auto* groupEditor = new QWidget;
    QList<int> shown;
    for (int tab = 1; tab <= 4; ++tab) form.setEditorPage(tab, groupEditor, [&shown](int t) { shown << t; });
    auto* settings = new QWidget;
    bool settingsShown = false;
    form.setEditorPage(6, settings, [&settingsShown](int) { settingsShown = true; });

    // Without an open system only the settings show; the other pages make way for the hint.
    QTest::mouseClick(form.tabSelector(), Qt::LeftButton, {}, form.tabSelector()->tabRect(3).center());
    QVERIFY(!groupEditor->isVisible());
    QVERIFY(form.emptyEditorHint()->isVisible());
    QVERIFY(form.tabSelector()->isVisible());
    form.commandDispatch(96);
    QVERIFY(settings->isVisible());
    QVERIFY(!form.emptyEditorHint()->isVisible());
    form.tabSelector()->setCurrentIndex(0);

    p.ws->system().systemFileName = "Trend.hsy.txt";
    shown.clear();
    QTest::mouseClick(form.tabSelector(), Qt::LeftButton, {}, form.tabSelector()->tabRect(3).center());
    QCOMPARE(form.selectedTab(), 3);
    QCOMPARE(form.editorTabs()->currentIndex(), 3);
    QVERIFY(groupEditor->isVisible());
    QVERIFY(form.editorTabs()->currentWidget()->isAncestorOf(groupEditor));
    form.tabSelector()->setCurrentIndex(1);
    QVERIFY(form.editorTabs()->currentWidget()->isAncestorOf(groupEditor));
    form.tabSelector()->setCurrentIndex(6);
    QVERIFY(settings->isVisible());
    QCOMPARE(shown, (QList<int>{3, 1}));
    QVERIFY(!settingsShown);  // the settings page keeps what it shows
    form.tabSelector()->setCurrentIndex(0);
    form.commandDispatch(96);  // the settings entry leads to the settings tab
    QCOMPARE(form.selectedTab(), 6);

    // Tab icons show the in-use state only while a system is open.
    p.ws->system().systemFileName.clear();
    form.updateGroupTabIcons();
    QVERIFY(form.tabSelector()->tabIcon(1).isNull());
    p.ws->system().systemFileName = "Trend.hsy.txt";
    form.updateGroupTabIcons();
    for (int tab = 0; tab <= 5; ++tab) QVERIFY2(!form.tabSelector()->tabIcon(tab).isNull(), qPrintable(QString::number(tab)));
    QVERIFY(form.tabSelector()->tabIcon(6).isNull());
  }

  void contextMenuOffersWhatFitsTheGroup() {
    Program p;
    auto& form = p.start();
    auto visibleIds = [&] {
      QList<int> out;
      for (QAction* a : form.libraryContextMenu()->actions())
        if (a->isVisible()) out << a->data().toInt();
      return out;
    };
    form.offerContextEntries("Ablage");
    QCOMPARE(visibleIds(), (QList<int>{11002, 11005, 11007}));
    form.offerContextEntries("");
    QCOMPARE(visibleIds().size(), 8);
    // Context commands reach the library panel; ids outside the table are ignored.
    auto* panel = new RecordingLibraryPanel;
    form.setLibraryPanel(panel);
    form.commandDispatch(11004);
    form.commandDispatch(10100);
    QCOMPARE(panel->commands, QList<int>{11004});
    QCOMPARE(p.host.messages.size(), std::size_t(0));
  }

  void deferredMessageWaitsForTheCurrentEvent() {
    zorvik::QtHost host;
    host.deferredMessage("eins");
    host.deferredMessage("zwei");
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QStringList seen;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        seen << box->text();
        box->accept();
      }
    });
    closer.start(10);
    QTRY_COMPARE(seen, (QStringList{"eins", "zwei"}));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
