#include "app/system_info_strip.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace zorvik {

namespace {
constexpr std::array<const char*, SystemInfoStrip::kRows> kFixedHelpKeys{
    "SysInfo_LXS", "SysInfo_SXL", "SysInfo_Sall", "SysInfo_STOP", "SysInfo_SYMBOL", "SysInfo_TIME"};

QPixmap loadPicture(const std::filesystem::path& file) {
  QPixmap p;
  if (std::filesystem::exists(file)) p.load(QString::fromStdString(file.string()));
  return p;
}
}  // namespace

SystemInfoStrip::SystemInfoStrip(const std::filesystem::path& resFolder, QWidget* parent)
    : QWidget(parent), green_(loadPicture(resFolder / "b_green.jpg")), red_(loadPicture(resFolder / "b_red.jpg")) {
  setObjectName(QStringLiteral("PicLabels"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void SystemInfoStrip::setRows(InfoRows rows) {
  rows_ = std::move(rows);
  update();
}

int SystemInfoStrip::rowAt(int y) const {
  if (height() <= 0) return 1;
  return std::clamp(y * kRows / height() + 1, 1, kRows);
}

std::string SystemInfoStrip::helpKeyOf(int row) const {
  if (row < 1 || row > kRows) return {};
  const auto i = static_cast<std::size_t>(row - 1);
  if (i < rows_.size() && !rows_[i].helpKey.empty()) return rows_[i].helpKey;
  return kFixedHelpKeys[i];
}

QSize SystemInfoStrip::sizeHint() const {
  const int rowHeight = fontMetrics().height() + 8;
  return {128, rowHeight * kRows};
}

QPixmap SystemInfoStrip::marker(bool ok, int size) const {
  const QPixmap& picture = ok ? green_ : red_;
  if (!picture.isNull()) return picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  // Without the pictures in the resource folder the markers are drawn: a soft filled dot.
  const qreal dpr = devicePixelRatioF();
  QPixmap p(QSize(size, size) * dpr);
  p.setDevicePixelRatio(dpr);
  p.fill(Qt::transparent);
  QPainter painter(&p);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor base = ok ? QColor(0x2e, 0xa0, 0x43) : QColor(0xd0, 0x3b, 0x3b);
  QRadialGradient g(QPointF(size * 0.38, size * 0.35), size * 0.6);
  g.setColorAt(0, base.lighter(150));
  g.setColorAt(1, base);
  painter.setBrush(g);
  painter.setPen(QPen(base.darker(130), 1));
  painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  return p;
}

void SystemInfoStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath path;
  path.addRoundedRect(frame, 4, 4);
  painter.fillPath(path, palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawPath(path);
  if (rows_.empty()) return;

  const int rowHeight = std::max(1, (height() + kRows / 2) / kRows);
  const int markerSize = std::clamp(rowHeight - 8, 6, 14);
  const int shown = std::min<int>(static_cast<int>(rows_.size()), kRows);
  for (int i = 0; i < shown; ++i) {
    const int top = i * rowHeight;
    if (i + 1 == hoveredRow_) {
      painter.fillRect(QRect(1, top + 1, width() - 2, rowHeight - 2), palette().color(QPalette::AlternateBase));
    }
    const auto& row = rows_[static_cast<std::size_t>(i)];
    painter.drawPixmap(8, top + (rowHeight - markerSize) / 2, marker(row.green, markerSize));
    painter.setPen(palette().color(QPalette::Text));
    const QRect textRect(8 + markerSize + 6, top, width() - markerSize - 20, rowHeight);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(QString::fromStdString(row.text), Qt::ElideRight, textRect.width()));
  }
}

void SystemInfoStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit rowClicked(rowAt(static_cast<int>(event->position().y())));
  QWidget::mousePressEvent(event);
}

void SystemInfoStrip::mouseMoveEvent(QMouseEvent* event) {
  const int row = rowAt(static_cast<int>(event->position().y()));
  if (row != hoveredRow_) {
    hoveredRow_ = row;
    update();
    emit helpKeyHovered(QStringLiteral("SysInfo"), QString::fromStdString(helpKeyOf(row)));
  }
  QWidget::mouseMoveEvent(event);
}

void SystemInfoStrip::leaveEvent(QEvent* event) {
  hoveredRow_ = 0;
  update();
  QWidget::leaveEvent(event);
}

}  // namespace zorvik
