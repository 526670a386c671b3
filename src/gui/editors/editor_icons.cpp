#include "editors/editor_icons.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zorvik {
namespace {

QPixmap drawIcon(int editok, int side) {
  QPixmap pm(side, side);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = side;
  if (editok == 2) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x9d, 0x3a));
    p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    QPainterPath tick;
    tick.moveTo(s * 0.27, s * 0.52);
    tick.lineTo(s * 0.43, s * 0.68);
    tick.lineTo(s * 0.73, s * 0.33);
    p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  } else if (editok == 1) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xa8, 0x20));
    p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.32, s * 0.68), QPointF(s * 0.68, s * 0.32));
  } else {
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), s * 0.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
  }
  return pm;
}

}  // namespace

QIcon editOkIcon(int editok) {
  QIcon icon;
  for (int side : {16, 24, 32, 48}) icon.addPixmap(drawIcon(editok, side));
  return icon;
}

}  // namespace zorvik
