#pragma once
// Web access of the window program through the web plug-in, made at the first request: the
// program starts without Qt's network library. Without the plug-in every request fails with a
// reason that names it.
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

#include "update/web_module.hpp"

namespace zorvik {

class WebClient {
 public:
  WebClient();
  ~WebClient();
  WebClient(const WebClient&) = delete;
  WebClient& operator=(const WebClient&) = delete;

  // Reads one page while window events go on; returns when it is done, cut at the size limit
  // or timed out. Always asks for a fresh copy (no cache). `limit` in bytes, `timeoutMs` for
  // the whole request.
  FetchedPage fetchPage(const QUrl& url, qint64 limit, const QByteArray& agent, int timeoutMs);
  // Starts a download; null, with the reason in `error`, without the web plug-in.
  std::unique_ptr<WebDownload> startDownload(const QUrl& url, const QByteArray& agent, int stallTimeoutMs,
                                             QString& error);

 private:
  WebAccess* access(QString& error);

  std::unique_ptr<WebAccess> access_;
};

}  // namespace zorvik
