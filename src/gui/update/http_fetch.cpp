#include "update/http_fetch.hpp"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace zorvik {

FetchedPage fetchPageSync(QNetworkAccessManager& net, const QUrl& url, qint64 limit, const QByteArray& agent,
                          int timeoutMs) {
  FetchedPage out;
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, agent);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setRawHeader("Cache-Control", "no-cache");
  request.setRawHeader("Pragma", "no-cache");
  // A redirect may not take the page to another host or down to plain http.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);

  QPointer<QNetworkReply> reply = net.get(request);
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

}  // namespace zorvik
