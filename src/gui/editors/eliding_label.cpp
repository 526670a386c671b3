#include "editors/eliding_label.hpp"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace zorvik {

bool ElidingLabel::isElided() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }

void ElidingLabel::paintEvent(QPaintEvent* event) {
  if (!isElided()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const QRect r = contentsRect();
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, r.width());
  style()->drawItemText(&painter, r, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

bool ElidingLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && isElided()) {
    const QString tip = toolTip().isEmpty() ? text() : text() + "\n\n" + toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
    return true;
  }
  return QLabel::event(event);
}

}  // namespace zorvik
