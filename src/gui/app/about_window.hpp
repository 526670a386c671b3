#pragma once
// The about window: program name, version, licence and folders, the protocol lines of the run
// and the texts the English table did not know, which a translator can append to
// "langEng.txt" in one go.
#include <QWidget>

class QListWidget;
class QPushButton;

namespace zorvik {

class Workspace;

class AboutWindow : public QWidget {
  Q_OBJECT
 public:
  AboutWindow(Workspace& ws, const QStringList& protocol, QWidget* parent = nullptr);

  // Fills the lists anew (the window is kept and shown again on later requests).
  void refresh();
  QListWidget* missingList() const { return missing_; }
  QPushButton* appendButton() const { return append_; }

 private:
  Workspace& ws_;
  const QStringList& protocol_;
  QListWidget* missing_ = nullptr;
  QListWidget* protocolList_ = nullptr;
  QPushButton* append_ = nullptr;
};

}  // namespace zorvik
