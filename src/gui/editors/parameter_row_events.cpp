// What the row builder's controls report besides their values: caption clicks (parameter help),
// library items dropped on a row or the background, and the help registration of each control.
#include "editors/parameter_row_builder.hpp"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>

#include "editors/value_slider.hpp"

namespace zorvik {

void ParameterRowBuilder::registerHelp(QWidget* control, const QString& name, const QString& topic) {
  emit helpRegistration(control, form_, name, topic);
}

void ParameterRowBuilder::watchDrops(QWidget* w) {
  w->setAcceptDrops(true);
  w->installEventFilter(this);
}

QString ParameterRowBuilder::dropTextFor(QObject* watched, const QString& tag) const {
  for (int i = 0; i < used_; ++i) {
    const Row& r = rows_[i];
    if (watched == r.caption) return form_ + ";CLabel;" + r.captionText + ";" + tag;
    if (watched == r.slider) return form_ + ";Slider;;" + tag;
    if (watched == r.text) return form_ + ";Text;" + r.text->text() + ";" + tag;
    if (watched == r.combo) return form_ + ";Combo;" + r.combo->currentText() + ";" + tag;
    if (r.multi && (watched == r.multi || watched == r.multi->viewport()))
      return form_ + ";Text;" + r.multi->toPlainText() + ";" + tag;
  }
  return form_ + ";Picture;;" + tag;
}

bool acceptLibraryDrag(QEvent* event, QString& droppedTag) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* de = static_cast<QDropEvent*>(event);
  if (!de->mimeData()->hasFormat(kLibraryItemMimeType)) return false;
  if (type == QEvent::Drop) droppedTag = QString::fromUtf8(de->mimeData()->data(kLibraryItemMimeType));
  de->acceptProposedAction();
  return true;
}

bool ParameterRowBuilder::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize:
      if (watched == container_) relayout();
      break;
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::LeftButton) break;
      for (int i = 0; i < used_; ++i)
        if (watched == rows_[i].caption) {
          emit captionClicked(rows_[i].key);
          return true;
        }
      break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      QString tag;
      if (!acceptLibraryDrag(event, tag)) break;
      if (event->type() == QEvent::Drop) emit itemDropped(dropTextFor(watched, tag));
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace zorvik
