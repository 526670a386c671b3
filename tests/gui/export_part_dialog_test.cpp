// The toolbox export dialog driven as a user would: preselection by kind, exporting a part
// into the library, the refusals, closing, and the "->Toolbox" buttons of the editors.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

#include "editors/export_part_dialog.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/money_management_editor.hpp"
#include "editors/signal_group_editor.hpp"
#include "editors/signal_group_page.hpp"
#include "gui_workspace.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

struct Env : testing::GuiWorkspace {
  explicit Env(bool english = false)
      : GuiWorkspace(english ? QByteArray("LANGUAGE=ENGLISCH\r\n") : QByteArray(), true) {}
};

int checkedOption(const ExportPartDialog& d) {
  int checked = -1;
  for (int i = 0; i < kToolboxChoiceCount; ++i)
    if (d.choiceButton(i)->isChecked()) checked = i;
  return checked;
}

void addIndicator(SignalGroupEditor& xi, const QString& type) {
  xi.indicatorTypeChoice()->setCurrentText(type);
  QTest::mouseClick(xi.addIndicatorButton(), Qt::LeftButton);
}

}  // namespace

class ExportPartDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void preselectsByKindAndSitsAtTheMouse() {
    Env env;
    const std::pair<const char*, int> cases[] = {
        {"Handelssystem", 0}, {"Signalgruppe", 1}, {"Indikatorengruppe", 2}, {"MultiIndikator", 3},
        {"Indikator", 4},     {"MM", 5},           {"STOP", 6},              {"", -1},
    };
    for (const auto& [kind, option] : cases) {
      ExportPartDialog d(*env.ws, kind, {1, {}, 0}, QPoint(40, 50));
      QCOMPARE(checkedOption(d), option);
      QCOMPARE(d.choice(), option);
      QCOMPARE(d.pos(), QPoint(40, 50));
    }
  }

  void exportsStaysOpenAndRefreshesOnClose() {
    Env env;
    env.ws->system().group(2).sl = "33";
    ExportPartDialog d(*env.ws, "STOP", {1, {}, 0}, QPoint(0, 0));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));

    // Stops live on the exit groups only: with entry long shown the export is refused.
    QTest::keyClicks(d.nameEdit(), "Enge Stopps");
    QTest::mouseClick(d.exportButton(), Qt::LeftButton);
    QCOMPARE(env.host.messages, std::vector<std::string>{"bitte zuerst die Karte anklicken !"});
    QVERIFY(!fs::exists(env.user("Enge Stopps.stp.txt")));

    // The money management is there whatever tab is shown.
    QTest::mouseClick(d.choiceButton(5), Qt::LeftButton);
    QTest::keyClicks(d.commentEdit(), "erste Zeile");
    QTest::keyClick(d.commentEdit(), Qt::Key_Return);
    QTest::keyClicks(d.commentEdit(), "zweite Zeile");
    QTest::mouseClick(d.exportButton(), Qt::LeftButton);
    QVERIFY(fs::exists(env.user("Enge Stopps.mm.txt")));
    QFile file(QString::fromStdString(env.user("Enge Stopps.mm.txt").string()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("erste Zeile\r\nzweite Zeile"));
    QCOMPARE(env.host.statuses, std::vector<std::string>{"toolbox export"});
    QCOMPARE(env.host.libraryRefreshes, 1);
    QVERIFY(d.isVisible());

    // No choice: nothing is written and nothing said.
    Env none;
    ExportPartDialog empty(*none.ws, "", {2, {}, 0}, QPoint(0, 0));
    QTest::keyClicks(empty.nameEdit(), "Leer");
    QTest::mouseClick(empty.exportButton(), Qt::LeftButton);
    QVERIFY(none.host.messages.empty());
    // Only the magic numbers' lock file, made when the open system got its number.
    for (const auto& entry : fs::directory_iterator(none.ws->userFolder()))
      QCOMPARE(entry.path().filename().string(), std::string(kMagicLockFile));

    QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(env.host.libraryRefreshes, 2);
    QCOMPARE(d.exporter().exports(), 1);
  }

  void editorButtonsOpenTheDialog() {
    Env env;
    SignalGroupPage groups(*env.ws);
    MoneyManagementEditor mm(*env.ws);
    groups.resize(1000, 600);
    groups.show();
    groups.showGroup(env.ws->system(), 1);
    addIndicator(groups.groupEditor(), "RSI");
    addIndicator(groups.groupEditor(), "ADX");
    addIndicator(groups.groupEditor(), "MACD");
    mm.activateControls(env.ws->system());
    int tab = 1;
    connectToolboxButtons(groups, mm, *env.ws, [&tab] { return tab; });

    // Fills in the modal dialog once it is up, and closes it.
    struct Seen {
      int choice = -2;
      bool atMouse = false;
    } seen;
    const auto answer = [&seen](const QString& name) {
      QTimer::singleShot(0, [&seen, name] {
        auto* d = qobject_cast<ExportPartDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        seen.choice = d->choice();
        seen.atMouse = d->pos() == QPoint(100, 80);
        d->nameEdit()->setText(name);
        d->exportButton()->click();
        d->cancelButton()->click();
      });
    };

    // Two of three items selected: the selected ones go out as an indicator group, in list
    // order.
    QTreeWidget* list = groups.groupEditor().indicatorList();
    list->clearSelection();
    list->topLevelItem(2)->setSelected(true);
    list->topLevelItem(0)->setSelected(true);
    answer("Zwei");
    QCursor::setPos(100, 80);
    groups.groupEditor().toolboxButton()->click();
    QCOMPARE(seen.choice, 3);
    QVERIFY(seen.atMouse);
    QFile two(QString::fromStdString(env.user("Zwei.igr.txt").string()));
    QVERIFY(two.open(QIODevice::ReadOnly));
    const QByteArray bytes = two.readAll();
    QVERIFY(bytes.contains("RSI"));
    QVERIFY(bytes.contains("MACD"));
    QVERIFY(!bytes.contains("ADX"));
    QVERIFY(bytes.indexOf("RSI") < bytes.indexOf("MACD"));

    // The indicator editor's button exports the indicator selected in the list.
    list->clearSelection();
    list->setCurrentItem(list->topLevelItem(1));
    answer("Einer");
    groups.indicatorEditor().toolboxButton()->click();
    QCOMPARE(seen.choice, 4);
    QFile one(QString::fromStdString(env.user("Einer.ind.txt").string()));
    QVERIFY(one.open(QIODevice::ReadOnly));
    QVERIFY(one.readAll().contains("ADX"));

    tab = 5;
    answer("Geld");
    mm.toolboxButton()->click();
    QCOMPARE(seen.choice, 5);
    QVERIFY(fs::exists(env.user("Geld.mm.txt")));
    QVERIFY(env.host.messages.empty());
    // Each export refreshed the library and each close once more.
    QCOMPARE(env.host.libraryRefreshes, 6);
  }

  void everyTextHasAnEnglishLine() {
    Env env(true);
    ExportPartDialog d(*env.ws, "MM", {5, {}, 0}, QPoint(0, 0));
    QCOMPARE(d.windowTitle(), QString("Into the toolbox ..."));
    QTest::mouseClick(d.exportButton(), Qt::LeftButton);  // no name
    QTest::mouseClick(d.helpButton(), Qt::LeftButton);  // help
    d.nameEdit()->setText("x");
    QTest::mouseClick(d.choiceButton(6), Qt::LeftButton);
    QTest::mouseClick(d.exportButton(), Qt::LeftButton);  // no exit tab
    QCOMPARE(env.host.messages.size(), std::size_t(3));
    QCOMPARE(env.missingTexts(), QStringList());
  }
};

QTEST_MAIN(ExportPartDialogTest)
#include "export_part_dialog_test.moc"
