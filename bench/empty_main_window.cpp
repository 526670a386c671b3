// The baseline of the start-up benchmark: an empty Qt main window of the program's size in a
// process of its own, ending after its first paint exactly as `zorvik --exit-after-first-paint`.
#include <QApplication>
#include <QMainWindow>

#include "app/first_paint_exit.hpp"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(1280, 800);
  new zorvik::FirstPaintExit(&window);
  window.show();
  return QApplication::exec();
}
