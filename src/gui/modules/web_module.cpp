// The web plug-in: pages and downloads with Qt's network access.
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "update/web_module.hpp"

namespace zorvik {
namespace {

class ReplyDownload : public WebDownload {
 public:
  explicit ReplyDownload(QNetworkReply* reply) : reply_(reply) {}
  ~ReplyDownload() override {
    if (reply_) {
      if (!reply_->isFinished()) reply_->abort();
      reply_->deleteLater();
    }
  }

  void waitForData() override {
    if (!reply_ || reply_->bytesAvailable() > 0 || reply_->isFinished()) return;
    QEventLoop loop;
    waiting_ = &loop;
    QObject::connect(reply_, &QNetworkReply::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(reply_, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply_, &QNetworkReply::metaDataChanged, &loop, &QEventLoop::quit);
    loop.exec();
    waiting_ = nullptr;
  }
  void wake() override {
    if (waiting_) waiting_->quit();
  }
  qint64 bytesAvailable() const override { return reply_ ? reply_->bytesAvailable() : 0; }
  QByteArray read(qint64 most) override { return reply_ ? reply_->read(most) : QByteArray(); }
  bool finished() const override { return !reply_ || reply_->isFinished(); }
  void abort() override {
    if (reply_) reply_->abort();
  }
  std::optional<qulonglong> announcedLength() const override {
    if (!reply_) return std::nullopt;
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (!length.isValid()) return std::nullopt;
    return length.toULongLong();
  }
  int httpStatus() const override {
    return reply_ ? reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
  }
  QString errorString() const override {
    if (!reply_) return QStringLiteral("no reply");
    return reply_->error() == QNetworkReply::NoError ? QString() : reply_->errorString();
  }

 private:
  QPointer<QNetworkReply> reply_;
  QEventLoop* waiting_ = nullptr;
};

class NetworkAccess : public WebAccess {
 public:
  FetchedPage fetchPage(const QUrl& url, qint64 limit, const QByteArray& agent, int timeoutMs) override {
    FetchedPage out;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, agent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // A redirect may not take the page to another host or down to plain http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);

    QPointer<QNetworkReply> reply = net_.get(request);
    QEventLoop loop;
    bool cut = false;
    auto take = [&] {
      out.body += reply->read(limit - out.body.size());
      if (out.body.size() >= limit && !cut) {
        // Enough read: the rest of the page is never looked at.
        cut = true;
        reply->abort();
      }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer timeout;
    timeout.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
      timedOut = true;
      if (reply) reply->abort();
    });
    timeout.start(timeoutMs);
    if (!reply->isFinished()) loop.exec();
    if (reply) {
      if (!cut && out.body.size() < limit) take();
      out.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
      if (timedOut) {
        out.error = QStringLiteral("timeout");
      } else if (!cut && reply->error() != QNetworkReply::NoError) {
        out.error = reply->errorString();
      }
      reply->deleteLater();
    }
    return out;
  }

  WebDownload* startDownload(const QUrl& url, const QByteArray& agent, int stallTimeoutMs) override {
    QNetworkRequest request{url};
    request.setHeader(QNetworkRequest::UserAgentHeader, agent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    // Unpacked on the way the body would no longer match the announced length.
    request.setRawHeader("Accept-Encoding", "identity");
    // The host was checked before the download; a redirect may not lead elsewhere.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setTransferTimeout(stallTimeoutMs);
    return new ReplyDownload(net_.get(request));
  }

 private:
  QNetworkAccessManager net_;
};

}  // namespace

class WebPlugin : public QObject, public WebModule {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID ZORVIK_WEB_MODULE_IID)
  Q_INTERFACES(zorvik::WebModule)
 public:
  WebAccess* newWebAccess() override { return new NetworkAccess; }
};

}  // namespace zorvik

#include "web_module.moc"
