#pragma once
// The download window: downloads a list of files one after the other,
// shows the address, the target file and the progress, and can be cancelled. It runs on the
// user-interface thread and lets window events run after every chunk, so the cancel button
// and the progress stay responsive.
#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

#include "update/update_check.hpp"

class QLabel;
class QProgressBar;
class QPushButton;

namespace zorvik {

class Host;
class WebClient;
class WebDownload;
class Workspace;

class DownloadDialog : public QDialog {
  Q_OBJECT
 public:
  struct Item {
    QString address;
    QString target;  // file path
    qint64 limit = -1;  // the most bytes written; a longer body is cut off there. -1: none
  };

  DownloadDialog(Workspace& ws, Host& host, QWidget* parent = nullptr);
  ~DownloadDialog() override;

  // The list the window works through when it is shown.
  void setDownloads(const QList<Item>& items) { items_ = items; }
  // How each download of the list ended (filled while the window runs).
  const QList<DownloadOutcome>& outcomes() const { return outcomes_; }

  // Downloads one file with progress and cancel; returns the final file length as decimal
  // text. A cancelled download removes the file and says "Download abgebrochen".
  // A body longer than limit (when not -1) is stopped there, reported as overLimit.
  QString downloadFile(const QString& address, const QString& target, qint64 limit = -1);

  // True while the window is open and working.
  bool downloadRunning() const { return running_; }
  bool cancelled() const { return cancel_; }
  void cancel();

  QProgressBar* progressBar() const { return progress_; }
  QLabel* progressLabel() const { return progressText_; }
  QPushButton* cancelButton() const { return cancelButton_; }

  // Bytes of one read from the net.
  static constexpr qint64 kChunk = 2048;

 signals:
  // After every chunk written, with the file position.
  void progressed(qint64 position);

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void runList();

  Workspace& ws_;
  Host& host_;
  QLabel* address_ = nullptr;
  QLabel* target_ = nullptr;
  QLabel* progressText_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  std::unique_ptr<WebClient> web_;
  WebDownload* current_ = nullptr;  // the download under way
  QList<Item> items_;
  QList<DownloadOutcome> outcomes_;
  bool running_ = false;
  bool started_ = false;
  bool cancel_ = false;
};

}  // namespace zorvik
