#pragma once
// Reading one page over HTTP on the user-interface thread: the request runs while window
// events go on, and the call returns when it is done, cut at a size limit or timed out.
#include <QByteArray>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

namespace zorvik {

struct FetchedPage {
  QByteArray body;  // at most the limit
  QString error;    // empty on success
  int httpStatus = 0;
};

// Always asks for a fresh copy (no cache). `limit` in bytes, `timeoutMs` for the whole request.
FetchedPage fetchPageSync(QNetworkAccessManager& net, const QUrl& url, qint64 limit, const QByteArray& agent,
                          int timeoutMs);

}  // namespace zorvik
