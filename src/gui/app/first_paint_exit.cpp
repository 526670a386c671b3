#include "app/first_paint_exit.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace zorvik {

FirstPaintExit::FirstPaintExit(QWidget* window) : QObject(window), window_(window) {
  // Application-wide: the first widget painted may be any child of the window.
  QCoreApplication::instance()->installEventFilter(this);
}

bool FirstPaintExit::eventFilter(QObject* watched, QEvent* event) {
  if (!quitting_ && event->type() == QEvent::Paint && watched->isWidgetType() && window_ &&
      static_cast<QWidget*>(watched)->window() == window_) {
    quitting_ = true;
    QCoreApplication::instance()->removeEventFilter(this);
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
  }
  return QObject::eventFilter(watched, event);
}

bool wantsExitAfterFirstPaint(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (argv[i] && std::strcmp(argv[i], "--exit-after-first-paint") == 0) return true;
  return false;
}

}  // namespace zorvik
