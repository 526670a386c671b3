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
  FirstPaintWatch(QWidget* window, std::function<void()> task, std::function<void()> atPaint)
      : QObject(window), window_(window), task_(std::move(task)), atPaint_(std::move(atPaint)) {
    // Application-wide: the first widget painted may be any child of the window.
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && watched->isWidgetType() && window_ &&
        static_cast<QWidget*>(watched)->window() == window_) {
      done_ = true;
      QCoreApplication::instance()->removeEventFilter(this);
      if (atPaint_) atPaint_();
      // Two turns of the event loop later: the picture reaches the screen first, and whatever
      // else was queued at the first paint (an exit for a start-up measurement) goes before.
      QTimer::singleShot(0, window_, [window = window_, task = std::move(task_)] {
        if (window) QTimer::singleShot(0, window, task);
      });
      deleteLater();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QPointer<QWidget> window_;
  std::function<void()> task_;
  std::function<void()> atPaint_;
  bool done_ = false;
};

}  // namespace

void runAfterFirstPaint(QWidget* window, std::function<void()> task, std::function<void()> atPaint) {
  if (!window || !task) return;
  new FirstPaintWatch(window, std::move(task), std::move(atPaint));
}

}  // namespace zorvik
