// The library panel in the main window, driven with the mouse: a click opens a system and marks
// it, the right button offers the entries of the pressed item's group, and a drag starts only
// beyond its threshold and drops onto the editor area.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/main_window.hpp"
#include "library/library_panel.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "window/command_table.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

struct Program {
  testing::TempDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;
  std::unique_ptr<MainWindow> form;
  LibraryPanel* panel = nullptr;

  fs::path root() const { return dir.path(); }

  Program() {
    testing::seedWorkingFolder(root());
    for (const char* name : {"Trend", "Range"})
      write(root() / "user" / (std::string(name) + ".hsy.txt"),
            std::string("START general\r\nbezeichnung=\"") + name + "\"\r\nmagic=\"100001\"\r\nENDE general\r\n");
    write(root() / "user" / "RSI.ind.txt", "START indikator\r\nindikatortyp=\"RSI\"\r\nSTOP indikator\r\n");
    write(root() / "user" / "Alt.sgr.txt.del", "x\r\n");
    ws = std::make_unique<Workspace>(root(), host);
    form = std::make_unique<MainWindow>(*ws, host);
    panel = new LibraryPanel(*ws, host);
    form->setLibraryPanel(panel);
    panel->relistLibrary();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) qWarning("window not exposed");
  }

  QWidget* viewport() const { return panel->tree()->viewport(); }
  QTreeWidgetItem* entry(const QString& text) const {
    const auto found = panel->tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  QPoint centre(const QString& text) const { return panel->tree()->visualItemRect(entry(text)).center(); }
  void send(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(local), QPointF(viewport()->mapToGlobal(local)), button, buttons, modifiers);
    QApplication::sendEvent(viewport(), &e);
  }
  void click(const QString& text) { QTest::mouseClick(viewport(), Qt::LeftButton, {}, centre(text)); }
  QList<std::int32_t> offered() const {
    QList<std::int32_t> ids;
    for (const CommandEntry& e : libraryContextEntries())
      if (form->commandAction(e.id)->isVisible()) ids << e.id;
    return ids;
  }
};

}  // namespace

class LibraryPanelTest : public QObject {
  Q_OBJECT
 private slots:
  void clickOpensSystemAndMarksIt() {
    Program p;
    QCOMPARE(p.form->displayMode(), std::int16_t(-1));
    QVERIFY(p.entry("Trend"));
    QCOMPARE(p.entry("RSI")->toolTip(0), QStringLiteral("per Drag & Drop ins System ziehen!"));
    p.click("Trend");
    QCOMPARE(QString::fromStdString(p.ws->system().systemFileName), QStringLiteral("Trend.hsy.txt"));
    QCOMPARE(p.form->displayMode(), std::int16_t(0));  // the click left the start mode
    QVERIFY(p.entry("Trend")->font(0).bold());
    QVERIFY(!p.entry("Range")->font(0).bold());
    QVERIFY(p.host.sounds.size() == 1 && p.host.sounds.back() == Sound::Open);
    QVERIFY(p.form->windowTitle().contains(QStringLiteral(">Trend<")));

    p.click("Range");
    QVERIFY(!p.entry("Trend")->font(0).bold());
    QVERIFY(p.entry("Range")->font(0).bold());

    // A click on a group header toggles it and never leaves it the current entry.
    QTreeWidgetItem* header = p.entry("Indikatoren");
    QVERIFY(header->isExpanded());
    p.click("Indikatoren");
    QVERIFY(!p.entry("Indikatoren")->isExpanded());
    QCOMPARE(p.panel->tree()->currentItem(), p.entry("Range"));
  }

  void contextMenuOffersTheEntriesOfTheGroup() {
    Program p;
    QMenu* menu = p.form->libraryContextMenu();
    QTest::mousePress(p.viewport(), Qt::RightButton, {}, p.centre("Signalgruppen:Alt"));
    QVERIFY(menu->isVisible());
    QCOMPARE(p.offered(), (QList<std::int32_t>{cmd::Delete, cmd::Cancel, cmd::Restore}));
    QCOMPARE(QString::fromStdString(p.panel->library().currentItem().fileName), QStringLiteral("Alt.sgr.txt.del"));
    menu->hide();

    QTest::mousePress(p.viewport(), Qt::RightButton, {}, p.centre("Trend"));
    QCOMPARE(p.offered(), (QList<std::int32_t>{cmd::MoveToTrash, cmd::Delete, cmd::GenerateExpert, cmd::Rename,
                                               cmd::Cancel, cmd::SaveAs}));
    menu->hide();

    QTest::mousePress(p.viewport(), Qt::RightButton, {}, p.centre("Ablage"));  // a group header
    QCOMPARE(p.offered().size(), 8);
    menu->hide();

    // The chosen entry reaches the panel through the window's dispatcher.
    QTest::mousePress(p.viewport(), Qt::RightButton, {}, p.centre("Signalgruppen:Alt"));
    menu->hide();
    p.form->commandAction(cmd::Restore)->trigger();
    QVERIFY(fs::exists(p.root() / "user" / "Alt.sgr.txt"));
    QVERIFY(p.entry("Alt"));
  }

  void dragStartsBeyondTenAndDropsOnTheEditor() {
    Program p;
    p.click("Trend");
    p.form->setEditorTabsVisible(true);
    p.form->settleLayout();
    p.form->tabSelector()->setCurrentIndex(1);
    const int before = p.ws->system().group(1).count();

    const QPoint start = p.centre("RSI");
    p.send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    p.send(QEvent::MouseMove, start + QPoint(4, 6), Qt::NoButton, Qt::LeftButton);
    p.send(QEvent::MouseMove, start + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    QVERIFY(!p.panel->dragLabel());
    p.send(QEvent::MouseMove, start + QPoint(11, 0), Qt::NoButton, Qt::LeftButton);
    QVERIFY(p.panel->dragLabel());
    QVERIFY(p.panel->dragLabel()->isVisible());
    QCOMPARE(p.panel->dragLabel()->text(), QStringLiteral("RSI"));

    // Released over the tab strip: the indicator joins the selected group.
    QTabBar* tabs = p.form->tabSelector();
    QVERIFY(tabs->isVisible());
    const QPoint overTabs = p.viewport()->mapFromGlobal(tabs->mapToGlobal(tabs->rect().center()));
    p.send(QEvent::MouseButtonRelease, overTabs, Qt::LeftButton, Qt::NoButton);
    QVERIFY(!p.panel->dragLabel());
    QCOMPARE(p.ws->system().group(1).count(), before + 1);
    QCOMPARE(p.host.sounds.back(), Sound::Drop);

    // With Shift held, or released back over the panel, nothing is carried.
    p.send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    p.send(QEvent::MouseMove, start + QPoint(30, 0), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(!p.panel->dragLabel());
    p.send(QEvent::MouseButtonRelease, start + QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
    p.send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    p.send(QEvent::MouseMove, start + QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
    QVERIFY(p.panel->dragLabel());
    p.send(QEvent::MouseButtonRelease, start + QPoint(0, 20), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(p.ws->system().group(1).count(), before + 1);
  }
};

QTEST_MAIN(LibraryPanelTest)
#include "library_panel_test.moc"
