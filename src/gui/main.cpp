#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include "app/first_paint_exit.hpp"
#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "app/qt_host.hpp"
#include "model/working_folder.hpp"
#include "workspace/workspace.hpp"

int main(int argc, char** argv) {
  const bool exitAfterFirstPaint = zorvik::wantsExitAfterFirstPaint(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Zorvik");
  QApplication::setOrganizationName("Zorvik");

  // Started inside a working folder (run.sh, a portable copy) the program works there; an
  // installed program keeps each user's files below that user's data folder.
  const std::filesystem::path shipped =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / ".." / "share" / "zorvik";
  const std::filesystem::path workingFolder = zorvik::chooseWorkingFolder(
      QDir::currentPath().toStdString(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(), shipped / "res",
      shipped / "demo");
  QDir::setCurrent(QString::fromStdString(workingFolder.string()));

  zorvik::QtHost host;
  // A start-up measurement must end by itself: a box before the first paint would wait forever.
  host.setUnattended(exitAfterFirstPaint);
  zorvik::Workspace ws(workingFolder, host);
  zorvik::MainWindow form(ws, host, nullptr,
                         [&](zorvik::MainWindow& f) { zorvik::installProgramParts(f, ws, host); });
  if (exitAfterFirstPaint) new zorvik::FirstPaintExit(&form);
  form.show();
  // The frame exists once the window system has placed the window; only then can the window
  // be kept inside the screen with it.
  QTimer::singleShot(0, &form, [&form] { form.fitIntoScreen(); });
  return QApplication::exec();
}
