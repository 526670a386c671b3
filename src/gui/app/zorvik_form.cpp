#include "app/zorvik_form.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>

#include "app/qt_host.hpp"
#include "model/workspace.hpp"

namespace zorvik {

namespace {
// The seven pages of the editor area, in tab order.
constexpr const char* kTabCaptions[] = {"GENERAL@1",    "LONG@1",           "EXIT LONG@1",    "SHORT@1",
                                        "EXIT SHORT@1", "MONEYMANAGEMENT@1", "EINSTELLUNGEN@1"};
}  // namespace

ZorvikForm::ZorvikForm(Workspace& ws, QtHost& host, QWidget* parent)
    : QMainWindow(parent), ws_(ws), host_(host) {
  host_.setMainWindow(this);
  setWindowTitle(QStringLiteral("Zorvik"));
  resize(1280, 800);
  ws_.startUp();

  tabs_ = new QTabWidget(this);
  for (const char* caption : kTabCaptions) {
    auto* page = new QLabel(tabs_);
    page->setAlignment(Qt::AlignCenter);
    tabs_->addTab(page, QString::fromStdString(ws_.tr(caption)));
  }
  setCentralWidget(tabs_);
  statusBar()->showMessage(QString::fromStdString(ws_.root().string()));
}

void ZorvikForm::closeEvent(QCloseEvent* event) {
  ws_.saveinit();
  event->accept();
}

}  // namespace zorvik
