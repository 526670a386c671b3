#pragma once
// The main window.
#include <QMainWindow>

class QTabWidget;

namespace zorvik {

class QtHost;
class Workspace;

class ZorvikForm : public QMainWindow {
  Q_OBJECT
 public:
  ZorvikForm(Workspace& ws, QtHost& host, QWidget* parent = nullptr);

  QTabWidget* editorTabs() const { return tabs_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Workspace& ws_;
  QtHost& host_;
  QTabWidget* tabs_ = nullptr;
};

}  // namespace zorvik
