#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the GUI tests: serves fixed routes, with or
// without a content length, slowly in chunks, or cut off before the announced end.
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

struct Route {
  QByteArray body;
  int status = 200;
  bool sendLength = true;
  int chunkBytes = 0;      // > 0: sent in chunks of this size ...
  int chunkDelayMs = 0;    // ... with this pause between them
  qint64 announceExtra = 0;  // announce this many bytes more than are sent, then hang up
};

class LocalHttpServer : public QObject {
 public:
  LocalHttpServer() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        connect(s, &QTcpSocket::readyRead, this, [this, s] { onRequest(s); });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
      }
    });
    server_.listen(QHostAddress::LocalHost);
  }
  QString url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
  }
  QMap<QString, Route> routes;
  QList<QByteArray> requests;  // the request heads, in order

 private:
  void onRequest(QTcpSocket* s) {
    QByteArray& buffer = pending_[s];
    buffer += s->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) return;
    const QByteArray head = buffer.left(end);
    pending_.remove(s);
    requests.append(head);
    const QList<QByteArray> first = head.split('\r').front().split(' ');
    const QString path = first.size() > 1 ? QString::fromLatin1(first[1]) : QString();
    const Route route = routes.value(path, Route{"Seite nicht gefunden", 404});
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(route.status) + " X\r\nConnection: close\r\n";
    if (route.sendLength)
      reply += "Content-Length: " + QByteArray::number(route.body.size() + route.announceExtra) + "\r\n";
    reply += "Content-Type: application/octet-stream\r\n\r\n";
    s->write(reply);
    if (route.chunkBytes <= 0) {
      s->write(route.body);
      s->disconnectFromHost();
      return;
    }
    sendChunks(QPointer<QTcpSocket>(s), route.body, 0, route.chunkBytes, route.chunkDelayMs);
  }
  void sendChunks(QPointer<QTcpSocket> s, QByteArray body, qsizetype at, int size, int delay) {
    if (!s || s->state() != QAbstractSocket::ConnectedState) return;
    if (at >= body.size()) {
      s->disconnectFromHost();
      return;
    }
    s->write(body.mid(at, size));
    QTimer::singleShot(delay, this, [=, this] { sendChunks(s, body, at + size, size, delay); });
  }

  QTcpServer server_;
  QMap<QTcpSocket*, QByteArray> pending_;
};
