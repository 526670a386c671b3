#include "app/after_first_paint.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace zorvik {
namespace {

class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget* window, std::function<void()> task)
      : QObject(window), window_(window), task_(std::move(task)) {
    // Application-wide: the first widget painted may be any child of the window.
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && watched->isWidgetType() && window_ &&
        static_cast<QWidget*>(watched)->window() == window_) {
      done_ = true;
      QCoreApplication::instance()->removeEventFilter(this);
      // Queued behind the paint, so that the picture reaches the screen first.
      QTimer::singleShot(0, window_, [task = std::move(task_)] { task(); });
      deleteLater();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QPointer<QWidget> window_;
  std::function<void()> task_;
  bool done_ = false;
};

}  // namespace

void runAfterFirstPaint(QWidget* window, std::function<void()> task) {
  if (!window || !task) return;
  new FirstPaintWatch(window, std::move(task));
}

}  // namespace zorvik
