// The update check over real HTTP: a server on 127.0.0.1 serves the update page and the
// updater, with and without a content length, slowly, cut short, altered, and from a page
// that points elsewhere.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "local_http_server.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "update/download_dialog.hpp"
#include "update/sha256.hpp"
#include "update/update_page.hpp"
#include "update/update_service.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

constexpr std::int64_t kRunning = 1001146;  // 1.1.146

QByteArray fileBytes(const fs::path& p) {
  QFile f(QString::fromStdString(p.string()));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray updaterBody() {
  QByteArray b;
  for (int i = 0; i < 40000; ++i) b += char('A' + i % 26);
  return b;
}

// The digest and size lines a current page carries for the given updater.
QByteArray describing(const QByteArray& body) {
  return "\nSHA256:" + QByteArray::fromStdString(sha256Hex(std::string_view(body.constData(), size_t(body.size())))) +
         "\nSize:" + QByteArray::number(body.size()) + "\n";
}

struct Folder {
  Folder() : ws(dir.path(), host) {
    testing::seedWorkingFolder(dir.path());
    ws.startUp();
  }
  fs::path updater() const { return ws.root() / "ZorvikUpdate.exe"; }
  testing::TempDir dir;
  RecordingHost host;
  Workspace ws;
};

}  // namespace

class UpdateDownloadTest : public QObject {
  Q_OBJECT
 private slots:
  void pageIsCutAt50000Bytes() {
    LocalHttpServer server;
    QByteArray big(60000, 'x');
    big.replace(49995, 13, "Version:9.9.9");  // the marker reaches past the cut
    server.routes["/big"] = Route{big};
    server.routes["/slow"] = Route{QByteArray(70000, 'y'), 200, false, 8000, 10};
    Folder f;
    NetworkUpdateTransport net(f.ws, f.host, nullptr);
    const std::string page = net.fetchPage(server.url("/big").toStdString());
    QCOMPARE(page.size(), kUpdatePageLimit);
    QVERIFY(!parseUpdatePage(page).valid);
    QCOMPARE(net.fetchPage(server.url("/slow").toStdString()).size(), kUpdatePageLimit);
    QCOMPARE(QString::fromStdString(net.fetchPage(server.url("/nothing").toStdString())),
             QStringLiteral("Seite nicht gefunden"));
    QVERIFY(server.requests.front().contains("User-Agent: FTP Demo"));
    QVERIFY(server.requests.front().toLower().contains("cache-control: no-cache"));
    // Nobody listening: an empty page, no hang.
    QVERIFY(net.fetchPage("http://127.0.0.1:1/x").empty());
  }

  void firstOfferDownloadsSecondAsks_data() {
    QTest::addColumn<bool>("withLength");
    QTest::newRow("content length") << true;
    QTest::newRow("no content length") << false;
  }
  void firstOfferDownloadsSecondAsks() {
    QFETCH(bool, withLength);
    LocalHttpServer server;
    const QByteArray body = updaterBody();
    server.routes["/file"] = Route{body, 200, withLength, 4096, 1};
    server.routes["/page"] =
        Route{("<html>Version:1.1.147\r\nLink:" + server.url("/file") + "\r\nLengthmin:1000").toUtf8() +
              describing(body) + "</html>"};
    Folder f;
    f.ws.settings.updateUrl = server.url("/page").toStdString();

    UpdateService first(f.ws, f.host, nullptr, kRunning);
    QVERIFY(first.checkForUpdate());
    QVERIFY(first.state().updatePending);
    QCOMPARE(fileBytes(f.updater()), body);
    QCOMPARE(f.host.messages.size(), size_t(2));
    QVERIFY(f.host.questions.empty());
    QCOMPARE(QString::fromStdString(f.host.messages[1]),
             QStringLiteral("Das Zorvik-Update 1.1.147 wurde soeben geladen und wird beim Beenden von Zorvik installiert!"));
    QVERIFY(server.requests.last().contains("User-Agent: Brannik:INET"));

    f.host.onStart = [](const RecordingHost::Started&) { return true; };
    QVERIFY(first.installUpdater());
    QCOMPARE(f.host.started.size(), size_t(1));
    QCOMPARE(f.host.started[0].program, f.updater());

    // The next run: the old updater is removed, the same version is a question now.
    f.host.messages.clear();
    f.host.answers = {false};
    UpdateService second(f.ws, f.host, nullptr, kRunning);
    QVERIFY(!second.checkForUpdate());
    QCOMPARE(f.host.questions.size(), size_t(1));
    QVERIFY(!fs::exists(f.updater()));
    QVERIFY(!second.installUpdater());
  }

  void progressBarScaledByTheContentLength() {
    LocalHttpServer server;
    server.routes["/len"] = Route{updaterBody(), 200, true};
    server.routes["/nolen"] = Route{updaterBody(), 200, false};
    Folder f;
    for (const bool withLength : {true, false}) {
      DownloadDialog window(f.ws, f.host);
      const QString target = QString::fromStdString((f.ws.root() / "x.bin").string());
      int maximum = -1;
      connect(&window, &DownloadDialog::progressed, &window, [&] { maximum = window.progressBar()->maximum(); });
      window.setDownloads({{server.url(withLength ? "/len" : "/nolen"), target}});
      window.exec();
      QCOMPARE(maximum, withLength ? int(updaterBody().size()) : 0);
      QCOMPARE(window.progressLabel()->text(), QString::number(updaterBody().size()));
      QCOMPARE(window.outcomes().size(), 1);
      QVERIFY(downloadComplete(window.outcomes().front(), 0));
      QVERIFY(!window.downloadRunning());
    }
  }

  void cancelledDownloadRemovesThePartialFile() {
    LocalHttpServer server;
    server.routes["/slow"] = Route{QByteArray(400000, 'z'), 200, true, 4096, 20};
    server.routes["/page"] =
        Route{("Version:1.1.147\nLink:" + server.url("/slow") + "\n").toUtf8() + describing(QByteArray(400000, 'z'))};
    Folder f;
    f.ws.settings.updateUrl = server.url("/page").toStdString();
    // The user presses the cancel button of the download window once some bytes arrived.
    bool clicked = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &watch, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<DownloadDialog*>(w);
        if (!window || !window->isVisible() || clicked || window->progressLabel()->text().isEmpty()) continue;
        QVERIFY(window->downloadRunning());
        QVERIFY(fs::exists(f.updater()));
        clicked = true;
        QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
      }
    });
    watch.start(5);
    UpdateService service(f.ws, f.host, nullptr, kRunning);
    QVERIFY(!service.checkForUpdate());
    QVERIFY(clicked);
    QVERIFY(!fs::exists(f.updater()));
    QVERIFY(!service.state().updatePending);
    QCOMPARE(QString::fromStdString(f.host.messages.back()), QStringLiteral("Download abgebrochen"));
    QVERIFY(!service.installUpdater());
    QVERIFY(f.host.started.empty());
  }

  void brokenDownloadsAreNeverKept_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<qint64>("announceExtra");
    QTest::newRow("cut short") << 200 << qint64(5000);
    QTest::newRow("server error") << 500 << qint64(0);
  }
  void brokenDownloadsAreNeverKept() {
    QFETCH(int, status);
    QFETCH(qint64, announceExtra);
    LocalHttpServer server;
    Route file{updaterBody(), status, true};
    file.announceExtra = announceExtra;
    server.routes["/file"] = file;
    server.routes["/page"] = Route{("Version:2.0.0 Link:" + server.url("/file")).toUtf8() + describing(updaterBody())};
    Folder f;
    f.ws.settings.updateUrl = server.url("/page").toStdString();
    UpdateService service(f.ws, f.host, nullptr, kRunning);
    QVERIFY(!service.checkForUpdate());
    QVERIFY(!fs::exists(f.updater()));
    QCOMPARE(QString::fromStdString(f.host.messages.back()),
             QStringLiteral("Das Update konnte nicht vollständig geladen werden."));
  }

  void plainHttpLinkFromTheNetIsRefused() {
    LocalHttpServer server;
    server.routes["/page"] = Route{"Version:2.0.0\nLink:http://updates.zorvik.example/ZorvikUpdate.exe\n"};
    Folder f;
    f.ws.settings.updateUrl = server.url("/page").toStdString();
    UpdateService service(f.ws, f.host, nullptr, kRunning);
    QVERIFY(!service.checkForUpdate());
    QVERIFY(f.host.messages.empty());
    QCOMPARE(server.requests.size(), 1);  // the page only
  }

  // Whatever goes wrong between the page and the file, nothing is ever started and nothing
  // is left behind. The page always describes updaterBody(); "FILE" in the link stands for
  // the server's address of the file.
  void nothingUnverifiedIsEverStarted_data() {
    QTest::addColumn<QByteArray>("served");
    QTest::addColumn<bool>("sendLength");
    QTest::addColumn<qint64>("announceExtra");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("digest");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("said");
    const QByteArray body = updaterBody();
    QByteArray altered = body;
    altered[20000] = '!';
    const QString incomplete = QStringLiteral("Das Update konnte nicht vollständig geladen werden.");
    QTest::newRow("cut short, no length") << body.left(1000) << false << qint64(0) << "FILE" << true << 2 << incomplete;
    QTest::newRow("announced too short") << body << true << qint64(-1000) << "FILE" << true << 2 << incomplete;
    QTest::newRow("announced too long") << body << true << qint64(1000) << "FILE" << true << 2 << incomplete;
    // An endless body is cut off just past the page's size instead of filling the disk.
    QTest::newRow("far longer than the page says")
        << body + QByteArray(1 << 20, 'x') << false << qint64(0) << "FILE" << true << 2
        << QStringLiteral("Das Update wurde verworfen: es ist größer, als die Update-Seite angibt. Bytes laut Seite: ") +
               QString::number(body.size());
    QTest::newRow("wrong digest") << altered << true << qint64(0) << "FILE" << true << 2
                                  << QStringLiteral("Das Update wurde verworfen: seine Prüfsumme (SHA-256) stimmt "
                                                    "nicht mit der Update-Seite überein.");
    QTest::newRow("foreign host") << body << true << qint64(0) << "https://evil.example/ZorvikUpdate.exe" << true << 1
                                  << QString();
    QTest::newRow("user part hides the host") << body << true << qint64(0) << "http://127.0.0.1\\@evil.example/x.exe"
                                              << true << 1 << QString();
    QTest::newRow("no digest on the page") << body << true << qint64(0) << "FILE" << false << 1 << QString();
  }
  void nothingUnverifiedIsEverStarted() {
    QFETCH(QByteArray, served);
    QFETCH(bool, sendLength);
    QFETCH(qint64, announceExtra);
    QFETCH(QString, link);
    QFETCH(bool, digest);
    QFETCH(int, requests);
    QFETCH(QString, said);
    LocalHttpServer server;
    Route file{served, 200, sendLength};
    file.announceExtra = announceExtra;
    server.routes["/file"] = file;
    link.replace(QStringLiteral("FILE"), server.url("/file"));
    server.routes["/page"] =
        Route{("Version:2.0.0\nLink:" + link + "\n").toUtf8() + (digest ? describing(updaterBody()) : QByteArray())};
    Folder f;
    f.ws.settings.updateUrl = server.url("/page").toStdString();
    f.host.answers = {false};  // the browser offer of a page without digest is declined
    f.host.onStart = [](const RecordingHost::Started&) { return true; };
    UpdateService service(f.ws, f.host, nullptr, kRunning);
    QVERIFY(!service.checkForUpdate());
    QVERIFY(!service.state().updatePending);
    QVERIFY(!fs::exists(f.updater()));
    QCOMPARE(server.requests.size(), requests);
    if (said.isEmpty()) {
      QCOMPARE(f.host.messages.size(), size_t(0));
    } else {
      QCOMPARE(QString::fromStdString(f.host.messages.back()), said);
    }
    QVERIFY(!service.installUpdater());
    QVERIFY(f.host.started.empty());
  }
};

QTEST_MAIN(UpdateDownloadTest)
#include "update_download_test.moc"
