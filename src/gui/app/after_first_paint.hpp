#pragma once
// Work the first picture of a window does not need waits until the window has painted once:
// the user sees the window sooner, and the work follows in the next turn of the event loop.
#include <functional>

class QWidget;

namespace zorvik {

// Runs task once, two event loop turns after the first paint of the window or one of its
// children; atPaint, if given, runs at that paint itself (it must be cheap). Nothing runs when
// the window is gone by then.
void runAfterFirstPaint(QWidget* window, std::function<void()> task, std::function<void()> atPaint = {});

}  // namespace zorvik
