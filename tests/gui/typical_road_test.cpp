// A trader's typical road through the whole window program, put together as the program's
// main() does it: open a system from the library, drag an indicator into the entry-long group,
// change its period with the slider and accept it, watch the information strip turn red and,
// after the Powerswitch copy, green again, generate the Expert Advisor with the substitute
// compiler after answering the lint's question, close the window and start again on the same
// folder.
//
// Only the modal boxes are replaced: a scripted host answers them and keeps their texts. The
// status bar, the watched compiler process and the relisting of the library are the real ones.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "app/qt_host.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/signal_group_editor.hpp"
#include "editors/signal_group_page.hpp"
#include "editors/value_slider.hpp"
#include "library/library_panel.hpp"
#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of a system file between "START <section>" and "ENDE <section>".
QStringList sectionOf(const fs::path& file, const QString& section) {
  const QStringList lines = QString::fromLatin1(readAll(file)).split(QStringLiteral("\r\n"));
  const auto from = lines.indexOf(QStringLiteral("START ") + section);
  const auto to = lines.indexOf(QStringLiteral("ENDE ") + section);
  if (from < 0 || to <= from) return {};
  return lines.mid(from + 1, to - from - 1);
}

// The real window host, except that its questions are answered from a script and its
// messages are written down instead of shown: a modal box would stop the test.
class ScriptedHost : public QtHost {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  // Questions and inputs the script did not expect; the road fails on any of them.
  QStringList unexpected;

  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) {
      unexpected << q(text);
      return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  std::optional<std::string> inputBox(const std::string& prompt, const std::string&, const std::string&) override {
    unexpected << q(prompt);
    return std::nullopt;
  }
  std::optional<int> chooseItem(const std::string&, const std::string& label, const std::vector<std::string>&, int,
                                bool) override {
    unexpected << q(label);
    return std::nullopt;
  }
  std::string chooseSystemName(const std::string& caption) override {
    unexpected << q(caption);
    return {};
  }
};

// A working folder as a trader has it: the program's resources, the demo library, a
// MetaTrader folder with its experts folder and the substitute compiler as "res/metalang.exe".
fs::path seedWorkingFolder(const fs::path& root) {
  const fs::path mt = root / "MT4";
  testing::FolderSeed seed;
  seed.demoLibrary = true;
  seed.settings = "METATRADERPFAD=" + mt.string() + "\r\n";
  testing::seedWorkingFolder(root, seed);
  fs::create_directories(mt / "MQL4" / "Experts");
  fs::remove(root / "res" / "metalang.exe");
  fs::create_symlink(ZORVIK_FAKE_METALANG, root / "res" / "metalang.exe");
  return mt;
}

// One run of the program on the folder, assembled as main() assembles it.
struct Program {
  ScriptedHost host;
  std::unique_ptr<Workspace> ws;
  std::unique_ptr<MainWindow> form;

  explicit Program(const fs::path& root) {
    ws = std::make_unique<Workspace>(root, host);
    form = std::make_unique<MainWindow>(*ws, host, nullptr,
                                        [this](MainWindow& f) { installProgramParts(f, *ws, host); });
    // The road ticks the heartbeat itself where it matters; on a busy machine the timer
    // would otherwise tick between two steps and blur what each one did.
    form->heartbeatTimer()->stop();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) qWarning("window not exposed");
  }

  LibraryPanel& panel() const { return *qobject_cast<LibraryPanel*>(form->libraryPanel()); }
  QTreeWidget* tree() const { return panel().tree(); }
  QWidget* viewport() const { return tree()->viewport(); }
  SignalGroupPage& groups() const { return *qobject_cast<SignalGroupPage*>(form->editorPage(1)); }

  // The entry of a library group, looked up by its text under that group's header.
  QTreeWidgetItem* entry(int groupId, const QString& text) const {
    const LibraryGroup* g = panel().library().group(groupId);
    if (!g) return nullptr;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
      QTreeWidgetItem* header = tree()->topLevelItem(i);
      if (header->text(0) != q(g->caption)) continue;
      for (int k = 0; k < header->childCount(); ++k)
        if (header->child(k)->text(0) == text) return header->child(k);
    }
    return nullptr;
  }
  // Where an entry is on screen, scrolled into view first as the user would.
  QPoint centreOf(QTreeWidgetItem* item) const {
    tree()->scrollToItem(item);
    return tree()->visualItemRect(item).center();
  }
  void clickEntry(QTreeWidgetItem* item) const {
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, centreOf(item));
  }
  // The panel runs its own drag (a floating label, no toolkit drag), so the mouse events go
  // to the view's viewport as a held button sends them: press, move, release elsewhere.
  void dragEntryTo(QTreeWidgetItem* item, QWidget* target) const {
    const QPoint start = centreOf(item);
    const QPoint end = viewport()->mapFromGlobal(target->mapToGlobal(target->rect().center()));
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(6, 6), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
  }
  void send(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) const {
    QMouseEvent e(type, QPointF(local), QPointF(viewport()->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport(), &e);
  }
  void selectTab(int tab) const {
    QTabBar* tabs = form->tabSelector();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
  }
  void clickListRow(int row) const {
    QTreeWidget* list = groups().groupEditor().indicatorList();
    QTreeWidgetItem* item = list->topLevelItem(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
  }
  bool row1Green() const {
    const InfoRows& rows = form->infoStrip()->rows();
    return !rows.empty() && rows.front().green;
  }
};

}  // namespace

class TypicalRoadTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void fromOpeningASystemToItsInstalledExpertAndBack() {
    QTemporaryDir dir;
    const fs::path root(dir.path().toStdString());
    const fs::path mt = seedWorkingFolder(root);
    const std::string systemFile = "MA Trendfolger.hsy.txt";
    const QString rsiPeriod = QStringLiteral("15");
    const QString lastPeriod = QStringLiteral("16");
    int longCount = 0;
    {
      Program p(root);
      MainWindow& form = *p.form;
      TradingSystem& openSystem = p.ws->system();
      QCOMPARE(form.displayMode(), std::int16_t(-1));
      QVERIFY(openSystem.systemFileName.empty());

      // 1. A click on the system leaves the start mode and opens it.
      QTreeWidgetItem* system = p.entry(libgroup::TradingSystems, "MA Trendfolger");
      QVERIFY(system);
      p.clickEntry(system);
      QCOMPARE(openSystem.systemFileName, systemFile);
      QCOMPARE(form.displayMode(), std::int16_t(0));
      QVERIFY(p.entry(libgroup::TradingSystems, "MA Trendfolger")->font(0).bold());
      QVERIFY(form.windowTitle().contains(QStringLiteral(">MA Trendfolger<")));
      form.heartbeat();  // the first tick brings the editor tabs
      QVERIFY(form.tabSelector()->isVisible());

      // 2. On the LONG tab, the indicator "RSI 14" dragged from the library joins group 1.
      p.selectTab(1);
      QCOMPARE(form.selectedTab(), 1);
      QCOMPARE(p.groups().group(), 1);
      const int before = openSystem.group(1).count();
      QTreeWidgetItem* rsi = p.entry(libgroup::Indicators, "RSI 14");
      QVERIFY(rsi);
      p.dragEntryTo(rsi, form.editorTabs());
      longCount = openSystem.group(1).count();
      QCOMPARE(longCount, before + 1);
      QCOMPARE(openSystem.group(1).indicator(longCount).type(), std::string("RSI"));
      SignalGroupEditor& xi = p.groups().groupEditor();
      QCOMPARE(xi.indicatorList()->topLevelItemCount(), longCount);

      // 3. Opened in the indicator editor, its period goes one step up on the slider, and
      // "übernehmen" keeps it.
      p.clickListRow(longCount - 1);
      QCOMPARE(xi.edit().number(), longCount);
      IndicatorEditor& editor = p.groups().indicatorEditor();
      QCOMPARE(editor.heading()->text(), QStringLiteral("RSI-Einstellungen"));
      const int periodRow = editor.rows().rowOfKey("period");
      QVERIFY(periodRow >= 0);
      ValueSlider* slider = editor.rows().slider(periodRow);
      QCOMPARE(slider->value(), 14);
      QTest::keyClick(slider, Qt::Key_Right);
      QCOMPARE(editor.rows().textBox(periodRow)->text(), rsiPeriod);
      QTest::mouseClick(editor.acceptButton(), Qt::LeftButton);
      QCOMPARE(q(openSystem.group(1).indicator(longCount).parameter("period")), rsiPeriod);
      QCOMPARE(form.currentStatusText(), QStringLiteral("Indikator OK"));

      // 4. Entry long and exit short now differ.
      form.heartbeat();
      QVERIFY(!form.infoStrip()->rows().empty());
      QVERIFY(!p.row1Green());

      // 5. The Powerswitch copies entry long to exit short, which keeps its own stops.
      const std::string stopLoss = openSystem.group(4).sl;
      QTreeWidgetItem* copy = p.entry(libgroup::Powerswitch, "L=XS S=XL");
      QVERIFY(copy);
      p.host.answers = {true};
      p.clickEntry(copy);
      QCOMPARE(p.host.questions.size(), std::size_t(1));
      QCOMPARE(openSystem.group(4).count(), longCount);
      QCOMPARE(q(openSystem.group(4).indicator(longCount).parameter("period")), rsiPeriod);
      QCOMPARE(openSystem.group(4).sl, stopLoss);
      form.heartbeat();
      QVERIFY(p.row1Green());

      // 6. Generating saves, compiles with the substitute compiler and installs the EA.
      // The demo system trails closer than its stop loss: the trader is asked first and goes on.
      p.host.messages.clear();
      p.host.answers = {true};
      form.commandAction(99)->trigger();
      QCOMPARE(p.host.questions.size(), std::size_t(2));
      QVERIFY(p.host.questions.back().starts_with("Das System hat Schwächen:\n- EXIT LONG: der Trailing Stop (40)"));
      const fs::path ea = p.ws->userFile("MA Trendfolger.ex4");
      QTRY_VERIFY(fs::exists(ea));
      QTRY_VERIFY(fs::exists(mt / "MQL4" / "Experts" / "MA Trendfolger.ex4"));
      QVERIFY(!fs::exists(p.ws->userFile("_Zorvik.mq4")));
      // The substitute compiler keeps the source in its output: the edited RSI went into it.
      const QString installed = QString::fromLatin1(readAll(mt / "MQL4" / "Experts" / "MA Trendfolger.ex4"));
      QVERIFY(installed.contains(QRegularExpression(QStringLiteral("iRSI\\([^;]*,%1,").arg(rsiPeriod))));
      QCOMPARE(p.host.messages, std::vector<std::string>{"Ok - der Expert Advisor >MA Trendfolger< wurde erfolgreich erzeugt"});
      QTRY_VERIFY(p.entry(libgroup::ExpertAdvisors, "MA Trendfolger"));
      // The relisting keeps the open system marked.
      QVERIFY(p.entry(libgroup::TradingSystems, "MA Trendfolger")->font(0).bold());

      // 7. One more step of the period after generating: only closing the window saves it,
      // together with the settings.
      p.clickListRow(longCount - 1);
      QTest::keyClick(editor.rows().slider(editor.rows().rowOfKey("period")), Qt::Key_Right);
      QTest::mouseClick(editor.acceptButton(), Qt::LeftButton);
      QCOMPARE(q(openSystem.group(1).indicator(longCount).parameter("period")), lastPeriod);
      form.close();
      const QStringList entryLong = sectionOf(p.ws->userFile(systemFile), QStringLiteral("entrylong"));
      QVERIFY(entryLong.contains(QStringLiteral("indikatortyp=\"RSI\"")));
      QVERIFY(entryLong.contains(QStringLiteral("period=\"%1\"").arg(lastPeriod)));
      const QString ini = QString::fromLatin1(readAll(p.ws->resFile("Zorvik.ini")));
      QVERIFY(ini.contains(QStringLiteral("METATRADERPFAD=") + q(mt.string())));
      QVERIFY(ini.contains(QStringLiteral("LASTHSID=")) && !ini.contains(QStringLiteral("LASTHSID=0")));
      QCOMPARE(p.host.unexpected, QStringList());
    }

    // Started again on the same folder, the program opens the last system as it was left.
    Program again(root);
    const TradingSystem& openSystem = again.ws->system();
    QCOMPARE(openSystem.systemFileName, systemFile);
    QCOMPARE(openSystem.group(1).count(), longCount);
    QCOMPARE(q(openSystem.group(1).indicator(longCount).parameter("period")), lastPeriod);
    QCOMPARE(again.form->displayMode(), std::int16_t(-1));
    QVERIFY(again.entry(libgroup::TradingSystems, "MA Trendfolger")->font(0).bold());
    QVERIFY(again.entry(libgroup::ExpertAdvisors, "MA Trendfolger"));
    QCOMPARE(again.host.messages, std::vector<std::string>{});
    QCOMPARE(again.host.unexpected, QStringList());
    again.form->close();
  }
};

QTEST_MAIN(TypicalRoadTest)
#include "typical_road_test.moc"
