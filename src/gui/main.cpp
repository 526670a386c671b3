#include <QApplication>
#include <QDir>

#include "app/qt_host.hpp"
#include "app/zorvik_form.hpp"
#include "model/workspace.hpp"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Zorvik");
  zorvik::QtHost host;
  zorvik::Workspace ws(QDir::currentPath().toStdString(), host);
  zorvik::ZorvikForm form(ws, host);
  form.show();
  return QApplication::exec();
}
