#include "update/download_dialog.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "qt_text.hpp"
#include "update/http_fetch.hpp"
#include "platform/host.hpp"
#include "update/http_fetch.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

// A download that receives nothing for this long is given up, in ms.
constexpr int kStallTimeoutMs = 60000;

}  // namespace

DownloadDialog::DownloadDialog(Workspace& ws, Host& host, QWidget* parent) : QDialog(parent), ws_(ws), host_(host) {
  setObjectName(QStringLiteral("HTTPDownloader"));
  setWindowTitle(QStringLiteral("Download"));
  setModal(true);
  setMinimumWidth(460);
  auto* layout = new QVBoxLayout(this);
  address_ = new QLabel(this);
  address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  target_ = new QLabel(this);
  progress_ = new QProgressBar(this);
  progress_->setTextVisible(false);
  progress_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: rgb(0, 255, 0); }"));
  progressText_ = new QLabel(this);
  cancelButton_ = new QPushButton(q(ws_.tr("Abbrechen")), this);
  cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
  layout->addWidget(address_);
  layout->addWidget(target_);
  layout->addWidget(progress_);
  layout->addWidget(progressText_);
  layout->addWidget(cancelButton_, 0, Qt::AlignRight);
  connect(cancelButton_, &QPushButton::clicked, this, &DownloadDialog::cancel);
  web_ = std::make_unique<WebClient>();
}

DownloadDialog::~DownloadDialog() = default;

void DownloadDialog::cancel() {
  cancel_ = true;
  if (current_) current_->wake();
}

void DownloadDialog::reject() {
  // Closing the window while it works is a cancel; the window closes when the list is done.
  if (running_) {
    cancel();
    return;
  }
  QDialog::reject();
}

void DownloadDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  running_ = true;
  if (!items_.isEmpty()) {
    address_->setText(items_.front().address);
    target_->setText(QFileInfo(items_.front().target).fileName());
  }
  progressText_->clear();
  // The work starts once the window is on screen.
  QTimer::singleShot(0, this, &DownloadDialog::runList);
}

void DownloadDialog::runList() {
  for (const Item& item : items_) {
    if (cancel_) break;
    address_->setText(item.address);
    target_->setText(QFileInfo(item.target).fileName());
    downloadFile(item.address, item.target, item.limit);
  }
  running_ = false;
  accept();
}

QString DownloadDialog::downloadFile(const QString& address, const QString& target, qint64 limit) {
  DownloadOutcome outcome;
  // Strict, like the page: an address Qt would have to repair is not the one that was checked.
  const QUrl url(address, QUrl::StrictMode);
  if (!url.isValid()) {
    outcome.error = "invalid address";
    outcomes_.append(outcome);
    return QStringLiteral("0");
  }
  QString error;
  const std::unique_ptr<WebDownload> reply =
      web_->startDownload(url, QByteArrayLiteral("Brannik:INET"), kStallTimeoutMs, error);
  if (!reply) {
    outcome.error = error.toStdString();
    outcomes_.append(outcome);
    return QStringLiteral("0");
  }

  progress_->setRange(0, 0);
  progress_->setValue(0);
  QFile::remove(target);
  QFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    outcome.error = file.errorString().toStdString();
    reply->abort();
    outcomes_.append(outcome);
    return QStringLiteral("0");
  }

  bool lengthKnown = false;
  auto readLength = [&] {
    if (lengthKnown) return;
    const std::optional<qulonglong> length = reply->announcedLength();
    if (!length) return;
    lengthKnown = true;
    outcome.announced = *length;
    progress_->setRange(0, static_cast<int>(qMin<qulonglong>(*length, INT_MAX)));
  };

  current_ = reply.get();
  qint64 position = 0;
  bool writeFailed = false;
  while (!cancel_) {
    if (reply->bytesAvailable() == 0) {
      if (reply->finished()) break;
      reply->waitForData();
      readLength();
      continue;
    }
    readLength();
    const QByteArray chunk = reply->read(kChunk);
    // An endless or overlong body would otherwise fill the disk before the size check sees it.
    if (limit >= 0 && position + chunk.size() > limit) {
      writeFailed = true;
      outcome.overLimit = true;
      outcome.error = "more than " + std::to_string(limit) + " bytes";
      break;
    }
    if (file.write(chunk) != chunk.size()) {
      writeFailed = true;
      outcome.error = file.errorString().toStdString();
      break;
    }
    position += chunk.size();
    QCoreApplication::processEvents();
    if (lengthKnown) progress_->setValue(static_cast<int>(qMin<qint64>(position, progress_->maximum())));
    progressText_->setText(QString::number(position));
    emit progressed(position);
  }
  current_ = nullptr;

  readLength();
  if (cancel_ || writeFailed) {
    reply->abort();
  } else {
    const int status = reply->httpStatus();
    const QString failure = reply->errorString();
    if (!failure.isEmpty()) {
      outcome.error = failure.toStdString();
    } else if (status != 0 && (status < 200 || status > 299)) {
      outcome.error = "HTTP " + std::to_string(status);
    }
  }
  file.close();
  const QString length = QString::number(QFileInfo(target).size());
  outcome.bytes = static_cast<std::uint64_t>(position);
  outcome.cancelled = cancel_;
  outcomes_.append(outcome);

  if (cancel_) {
    QFile::remove(target);
    host_.message(ws_.tr("Download abgebrochen"));
  }
  return length;
}

}  // namespace zorvik
