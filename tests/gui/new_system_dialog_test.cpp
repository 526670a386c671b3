// The new-system dialog: its starting stops are offered in pips and become points of the
// chosen quotes; the host that shows it gives the whole choice, or nothing on Cancel.
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "app/qt_host.hpp"
#include "editors/new_system_dialog.hpp"
#include "workspace/current_system.hpp"

using namespace zorvik;

class NewSystemDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void offersStopsInPipsAndShowsTheirPoints() {
    const struct {
      bool english;
      int digitsIndex;
      const char* note;
    } cases[] = {
        {false, 0, "In Punkten, wie die Editoren sie zeigen: SL 300, TP 600, TS 0"},
        {false, 1, "In Punkten, wie die Editoren sie zeigen: SL 30, TP 60, TS 0"},
        {true, 0, "In points, as the editors show them: SL 300, TP 600, TS 0"},
    };
    for (const auto& c : cases) {
      auto translate = [english = c.english](std::string_view german) {
        if (!english) return std::string(german);
        if (german == "In Punkten, wie die Editoren sie zeigen:") return std::string("In points, as the editors show them:");
        return std::string(german);
      };
      NewSystemDialog dialog("Name Handelssystem", kOfferedStarting, translate);
      QCOMPARE(dialog.stoplossPips()->value(), 30.0);
      QCOMPARE(dialog.takeprofitPips()->value(), 60.0);
      QCOMPARE(dialog.trailingPips()->value(), 0.0);
      QCOMPARE(dialog.trailingPips()->text(), QString("n.V"));  // off, as the editors call it
      dialog.digitsChoice()->setCurrentIndex(c.digitsIndex);
      QCOMPARE(dialog.pointsNote()->text(), QString(c.note));
    }
  }

  void theHostGivesTheWholeChoice() {
    QtHost host;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<NewSystemDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QString("Name Handelssystem"));
      QTest::keyClicks(dialog->nameField(), "Breakout");
      dialog->digitsChoice()->setCurrentIndex(1);
      dialog->stoplossPips()->setValue(25);
      dialog->trailingPips()->setValue(40);
      dialog->accept();
    });
    const auto choice = host.chooseNewSystem("Name Handelssystem", kOfferedStarting);
    QVERIFY(choice);
    QCOMPARE(QString::fromStdString(choice->name), QString("Breakout"));
    QCOMPARE(choice->digits, 4);
    QCOMPARE(choice->stoplossPips, 25.0);
    QCOMPARE(choice->takeprofitPips, 60.0);
    QCOMPARE(choice->trailingPips, 40.0);

    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<NewSystemDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QTest::keyClicks(dialog->nameField(), "Trend");
      dialog->reject();
    });
    QVERIFY(!host.chooseNewSystem("Name Handelssystem", kOfferedStarting));
  }
};

QTEST_MAIN(NewSystemDialogTest)
#include "new_system_dialog_test.moc"
