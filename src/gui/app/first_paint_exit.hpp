#pragma once
// `zorvik --exit-after-first-paint`: the program ends with exit code 0 as soon as the main
// window has been painted once, so that start-up can be measured from outside as a whole
// process (program start to the first painted window, peak memory).
#include <QObject>
#include <QPointer>

class QWidget;

namespace zorvik {

class FirstPaintExit : public QObject {
  Q_OBJECT
 public:
  // Watches the window and its children; the first paint of any of them ends the event loop
  // once that paint has been flushed (the quit is queued behind it).
  explicit FirstPaintExit(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
  bool quitting_ = false;
};

// True when the arguments hold the flag.
bool wantsExitAfterFirstPaint(int argc, char** argv);

}  // namespace zorvik
