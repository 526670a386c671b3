#include "help/help_popup.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "help/help_registry.hpp"

namespace zorvik {
namespace {

constexpr int kIdleInterval = 500;    // ms while hidden
constexpr int kActiveInterval = 20;   // ms while shown

// The layout of the window is given in twips (1440 to the inch) so that it keeps its
// proportions on screens of any resolution.
int twips(const QWidget* w, int value) { return qMax(1, qRound(value * w->logicalDpiX() / 1440.0)); }

}  // namespace

HelpPopup::HelpPopup(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("FHilfe"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedWidth(kWidth);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(255, 255, 225));
  pal.setColor(QPalette::WindowText, QColor(30, 30, 30));
  setPalette(pal);
  setStyleSheet(QStringLiteral("#FHilfe { border: 1px solid #8a8a70; }"));

  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("Text1"));
  text_->setWordWrap(true);
  text_->setTextFormat(Qt::PlainText);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text_->setContentsMargins(4, 4, 4, 4);

  poll_ = new QTimer(this);
  poll_->setInterval(kIdleInterval);
  connect(poll_, &QTimer::timeout, this, &HelpPopup::poll);
  poll_->start();
  qApp->installEventFilter(this);
}

HelpPopup::~HelpPopup() {
  if (qApp) qApp->removeEventFilter(this);
}

void HelpPopup::showText(const QString& text) { showText(text, QCursor::pos()); }

void HelpPopup::showText(const QString& text, QPoint cursor) {
  const int margin = twips(this, 10);
  const int textWidth = width() - twips(this, 20);
  text_->setText(text);
  const int textHeight = text_->heightForWidth(textWidth);
  text_->setGeometry(margin, 0, textWidth, textHeight);
  const int height = textHeight + twips(this, 20);
  setFixedHeight(height);

  const QScreen* screen = QGuiApplication::screenAt(cursor);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const int screenBottom = screen ? screen->geometry().bottom() + 1 : cursor.y() + 10000;
  const PopupPlacement p = placeHelpPopup(cursor.x(), cursor.y(), height, screenBottom);
  move(p.x, p.y);
  // A press that happened before the help was asked for must not close it at once.
  pressed_ = false;
  show();
  raise();
}

bool HelpPopup::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
    const auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() == Qt::LeftButton) {
      pressed_ = true;
      pressedAt_ = me->globalPosition().toPoint();
    }
  }
  // Only watched: the click goes on to its window, so it needs no replay after the help closes.
  return QWidget::eventFilter(watched, event);
}

void HelpPopup::poll() {
  // The click test runs only while the help is shown: a press seen while it is hidden is
  // forgotten, so a later show does not close at once and no click is handled twice.
  if (!isVisible()) {
    poll_->setInterval(kIdleInterval);
    pressed_ = false;
    return;
  }
  poll_->setInterval(kActiveInterval);
  const bool pressed = pressed_;
  pressed_ = false;
  if (!pressed) return;
  // The top strip of the help window may be clicked without closing it.
  if (geometry().contains(pressedAt_) && pressedAt_.y() - geometry().top() <= kHelpPopupGripHeight) return;
  hideHelp();
}

void HelpPopup::hideHelp() {
  poll_->setInterval(kIdleInterval);
  hide();
}

void HelpPopup::closeEvent(QCloseEvent* event) {
  if (exiting_) {
    poll_->stop();
    event->accept();
    return;
  }
  event->ignore();
  hideHelp();
}

}  // namespace zorvik
