// The slider and the double button driven with the mouse and the keyboard, as a user would.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

#include "editors/accept_discard_buttons.hpp"
#include "editors/value_slider.hpp"

using zorvik::AcceptDiscardButtons;
using zorvik::ValueSlider;

namespace {

QString buttonName(Qt::MouseButton b) {
  return b == Qt::LeftButton ? "L" : b == Qt::RightButton ? "R" : b == Qt::MiddleButton ? "M" : "?";
}

// Writes down every signal of a slider as "down L", "up R+shift", "change 30".
QStringList* recordSignals(ValueSlider& s) {
  auto* log = new QStringList;
  QObject::connect(&s, &QObject::destroyed, [log] { delete log; });
  const auto mouse = [log](const char* what) {
    return [log, what](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint) {
      *log << QString("%1 %2%3").arg(what, buttonName(b), m & Qt::ShiftModifier ? "+shift" : "");
    };
  };
  QObject::connect(&s, &ValueSlider::mousePressed, mouse("down"));
  QObject::connect(&s, &ValueSlider::mouseReleased, mouse("up"));
  QObject::connect(&s, &ValueSlider::changed, [log](int v) { *log << QString("change %1").arg(v); });
  return log;
}

// A slider 0..100 whose track is exactly 100 pixels: one pixel per position. The knob is 11
// pixels wide, so the mouse at x puts its left edge at x - 5.5, cut down to a whole pixel:
// x = v + 6 gives position v.
struct PixelSlider {
  ValueSlider s;
  QStringList* log;
  PixelSlider() {
    s.resize(111, 21);
    s.show();
    log = recordSignals(s);
  }
  static QPoint at(int v) { return QPoint(v + 6, 10); }
};

}  // namespace

class SliderTest : public QObject {
  Q_OBJECT
 private slots:
  void draggingAndReleasingTheKnob() {
    PixelSlider p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.s));
    QCOMPARE(p.s.barRect().width(), 111);
    QCOMPARE(p.s.knobRect(), QRect(0, 0, 11, 21));

    QTest::mousePress(&p.s, Qt::LeftButton, {}, PixelSlider::at(0));
    QTest::mouseMove(&p.s, PixelSlider::at(30));
    QCOMPARE(p.s.value(), 30);
    QCOMPARE(p.s.knobRect().left(), 30);
    QTest::mouseMove(&p.s, PixelSlider::at(20));
    QTest::mouseRelease(&p.s, Qt::LeftButton, {}, PixelSlider::at(20));
    QCOMPARE(*p.log, (QStringList{"down L", "change 30", "change 20", "change 20", "up L"}));
    QCOMPARE(p.s.value(), 20);

    // Moving without a button held does nothing.
    p.log->clear();
    QTest::mouseMove(&p.s, PixelSlider::at(70));
    QCOMPARE(p.s.value(), 20);
    QVERIFY(p.log->isEmpty());
  }

  void clicksOnTheBar() {
    PixelSlider p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.s));
    // A left click jumps to the point; so does the middle button.
    QTest::mouseClick(&p.s, Qt::LeftButton, {}, PixelSlider::at(80));
    QCOMPARE(p.s.value(), 80);
    QTest::mouseClick(&p.s, Qt::MiddleButton, {}, PixelSlider::at(40));
    QCOMPARE(p.s.value(), 40);
    QCOMPARE(*p.log, (QStringList{"down L", "change 80", "up L", "down M", "change 40", "up M"}));

    // The right button moves nothing but is reported with its shift state. The editors toggle
    // the end buttons on it, which re-lays the bar under the mouse: the value must stay.
    p.log->clear();
    connect(&p.s, &ValueSlider::mousePressed, &p.s, [&](Qt::MouseButton b) {
      if (b == Qt::RightButton) p.s.setHideButtons(!p.s.hideButtons());
    });
    QTest::mouseClick(&p.s, Qt::RightButton, Qt::ShiftModifier, PixelSlider::at(10));
    QCOMPARE(*p.log, (QStringList{"down R+shift", "up R+shift"}));
    QCOMPARE(p.s.value(), 40);
    QVERIFY(!p.s.hideButtons());
    QVERIFY(p.s.minusButton()->isVisible());
  }

  void endButtonsStepBySmallOrLargeChange() {
    ValueSlider s;
    s.setHideButtons(false);
    s.resize(200, 21);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QVERIFY(s.minusButton()->geometry().right() < s.barRect().left());
    QVERIFY(s.plusButton()->geometry().left() > s.barRect().right());
    s.setValue(95);
    QStringList* log = recordSignals(s);
    const QPoint mid(10, 10);
    QTest::mouseClick(s.plusButton(), Qt::RightButton, {}, mid);   // +10, held at Max
    QTest::mouseClick(s.minusButton(), Qt::LeftButton, {}, mid);     // -1
    QTest::mouseClick(s.minusButton(), Qt::MiddleButton, {}, mid);   // -10
    QTest::mouseClick(s.plusButton(), Qt::LeftButton, {}, mid);    // +1
    QCOMPARE(*log, (QStringList{"change 100", "change 99", "change 89", "change 90"}));

    // Pressed on "+" but released elsewhere: no step.
    QTest::mousePress(s.plusButton(), Qt::LeftButton, {}, mid);
    QTest::mouseRelease(s.plusButton(), Qt::LeftButton, {}, QPoint(-30, 10));
    QCOMPARE(s.value(), 90);
  }

  void keyboardAndProperties() {
    ValueSlider s;
    s.resize(160, 21);
    s.setValueVisible(true);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    s.setFocus();
    QSignalSpy changed(&s, &ValueSlider::changed);
    QTest::keyClick(&s, Qt::Key_Right);
    QTest::keyClick(&s, Qt::Key_PageUp);
    QTest::keyClick(&s, Qt::Key_Left);
    QCOMPARE(s.value(), 10);
    QTest::keyClick(&s, Qt::Key_End);
    QCOMPARE(s.value(), 100);
    QCOMPARE(changed.count(), 4);

    // The label shows the value however it got there, also after a quiet pull by Min.
    s.setProperty("Value", 7);
    QCOMPARE(s.valueLabel()->text(), QString("7"));
    s.setMin(30);
    QCOMPARE(s.value(), 30);
    QCOMPARE(s.valueLabel()->text(), QString("30"));
    QCOMPARE(changed.count(), 5);

    // Resizing or hiding the buttons moves the knob with the bar but changes no value.
    const int knobBefore = s.knobRect().left();
    s.setHideButtons(false);
    s.resize(300, 21);
    QVERIFY(s.knobRect().left() != knobBefore);
    QCOMPARE(changed.count(), 5);
  }

  void acceptDiscardButtonsReportWhichHalfWasClicked() {
    AcceptDiscardButtons d;
    d.resize(101, 24);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    auto* c1 = d.findChild<QPushButton*>("Command1");
    auto* c2 = d.findChild<QPushButton*>("Command2");
    QVERIFY(c1 && c2);
    QCOMPARE(c1->geometry(), QRect(0, 0, 50, 24));
    QCOMPARE(c2->geometry(), QRect(50, 0, 51, 24));

    QSignalSpy clicked(&d, &AcceptDiscardButtons::clicked);
    QTest::mouseClick(c2, Qt::LeftButton);
    QTest::mouseClick(c1, Qt::LeftButton);
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(clicked.at(0).at(0).toInt(), 2);
    QCOMPARE(clicked.at(1).at(0).toInt(), 1);

    d.setCaption(1, "OK");
    d.setCaption(3, "lost");
    d.setCaption(0, "lost");
    QCOMPARE(c1->text(), QString("OK"));
    QCOMPARE(c2->text(), QString());
    d.setIcon(2, QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton));
    QVERIFY(!c2->icon().isNull());
    QVERIFY(c1->icon().isNull());
  }
};

QTEST_MAIN(SliderTest)
#include "slider_test.moc"
