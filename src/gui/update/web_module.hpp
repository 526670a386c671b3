#pragma once
// The interface of the web plug-in (Qt Network stays out of the program itself): reading a page
// and downloading a file over HTTP on the user-interface thread.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtPlugin>

#include <optional>

namespace zorvik {

struct FetchedPage {
  QByteArray body;  // at most the limit
  QString error;    // empty on success
  int httpStatus = 0;
};

// One download under way. The caller reads what has arrived and waits for more; window events
// go on while it waits.
class WebDownload {
 public:
  virtual ~WebDownload() = default;
  // Returns once more data has arrived, the download has ended or wake() was called.
  virtual void waitForData() = 0;
  // Ends a waitForData() in progress (a cancel button).
  virtual void wake() = 0;
  virtual qint64 bytesAvailable() const = 0;
  virtual QByteArray read(qint64 most) = 0;
  virtual bool finished() const = 0;
  virtual void abort() = 0;
  // The length the server announced, once its header is in.
  virtual std::optional<qulonglong> announcedLength() const = 0;
  virtual int httpStatus() const = 0;
  // Empty when the transfer went well.
  virtual QString errorString() const = 0;
};

class WebAccess {
 public:
  virtual ~WebAccess() = default;
  // Always asks for a fresh copy (no cache); a redirect may not leave the host. `limit` in
  // bytes, `timeoutMs` for the whole request.
  virtual FetchedPage fetchPage(const QUrl& url, qint64 limit, const QByteArray& agent, int timeoutMs) = 0;
  // Starts a download of the body as sent (no unpacking); it is given up after `stallTimeoutMs`
  // without data. The caller owns the result.
  virtual WebDownload* startDownload(const QUrl& url, const QByteArray& agent, int stallTimeoutMs) = 0;
};

class WebModule {
 public:
  virtual ~WebModule() = default;
  // A new web access; the caller owns it and deletes it before the application object ends.
  virtual WebAccess* newWebAccess() = 0;
};

}  // namespace zorvik

#define ZORVIK_WEB_MODULE_IID "app.zorvik.WebModule/1"
Q_DECLARE_INTERFACE(zorvik::WebModule, ZORVIK_WEB_MODULE_IID)
