// The dialog that names a new trading system: the characters a name cannot hold never reach
// it and are named in the dialog, a "/" is kept (the file name holds it encoded), the title is
// not cut, OK gives the text, Cancel gives nothing.
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
  void refusesWhatANameCannotHoldAndKeepsASlash() {
    zorvik::QtHost host;
    onDialog([](QInputDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QString("Name Handelssystem"));
      auto* edit = dialog->findChild<QLineEdit*>();
      QVERIFY(edit);
      QTest::keyClicks(edit, "Mein Test/Sys\\tem?.\"1;,");
      QCOMPARE(edit->text(), QString("Mein Test/System1"));
      QVERIFY(dialog->labelText().contains("Nicht erlaubt:"));
      QVERIFY(dialog->minimumWidth() > dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()));
      dialog->accept();
    });
    QCOMPARE(host.chooseSystemName("Name Handelssystem"), std::string("Mein Test/System1"));
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
