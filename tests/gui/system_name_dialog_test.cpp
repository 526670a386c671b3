// The stand-in dialog that names a new trading system: typed path characters never reach the
// name, OK gives the text, Cancel gives nothing.
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>
#include <QtTest>

#include "app/qt_host.hpp"

class SystemNameDialogTest : public QObject {
  Q_OBJECT

  // Runs action on the dialog as soon as it is open.
  static void onDialog(std::function<void(QInputDialog*)> action) {
    QTimer::singleShot(0, [action] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      action(dialog);
    });
  }

 private slots:
  void refusesPathCharacters() {
    zorvik::QtHost host;
    onDialog([](QInputDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QString("Name Handelssystem"));
      auto* edit = dialog->findChild<QLineEdit*>();
      QVERIFY(edit);
      QTest::keyClicks(edit, "Mein/Sys\\tem?.\"1;,");
      QCOMPARE(edit->text(), QString("MeinSystem1"));
      dialog->accept();
    });
    QCOMPARE(host.chooseSystemName("Name Handelssystem"), std::string("MeinSystem1"));
  }

  void cancelGivesNothing() {
    zorvik::QtHost host;
    onDialog([](QInputDialog* dialog) {
      QTest::keyClicks(dialog->findChild<QLineEdit*>(), "Trend");
      dialog->reject();
    });
    QCOMPARE(host.chooseSystemName("Name Handelssystem"), std::string());
  }
};

QTEST_MAIN(SystemNameDialogTest)
#include "system_name_dialog_test.moc"
