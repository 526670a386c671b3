// The help panel, the parameter help window `HelpPopup` and F1 help, driven offscreen.
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMainWindow>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "help/help_panel.hpp"
#include "help/help_popup.hpp"
#include "help/help_topics.hpp"
#include "library/library_panel.hpp"
#include "local_http_server.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

struct Folder {
  explicit Folder(bool english = false) : ws(dir.path(), host) {
    testing::FolderSeed seed;
    if (english) seed.settings = "LANGUAGE=ENGLISCH\r\n";
    testing::seedWorkingFolder(dir.path(), seed);
    ws.startUp();
  }
  testing::TempDir dir;
  RecordingHost host;
  Workspace ws;
};

}  // namespace

class HelpWidgetsTest : public QObject {
  Q_OBJECT
 private slots:
  void popupPlacementAndClosing() {
    QWidget other;
    other.setGeometry(50, 50, 200, 100);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    HelpPopup help;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    help.showText(QStringLiteral("Periode\nAnzahl der Kerzen    "), QPoint(100, 100));
    QVERIFY(help.isVisible());
    QCOMPARE(help.pos(), QPoint(120, 120));
    QCOMPARE(help.width(), HelpPopup::kWidth);
    QCOMPARE(help.textField()->text(), QStringLiteral("Periode\nAnzahl der Kerzen    "));
    QVERIFY(help.height() > help.textField()->height());

    // Near the bottom of the screen the window is moved up, not to the side.
    help.showText(QStringLiteral("lang ") .repeated(80), QPoint(screen.width() - 100, screen.bottom() - 5));
    QCOMPARE(help.x(), screen.width() - 80);
    QCOMPARE(help.geometry().bottom() + 1, screen.bottom() + 1 - 20);

    // A click on the top strip keeps it, a click below the strip or elsewhere closes it.
    help.showText(QStringLiteral("Text"), QPoint(100, 100));
    QTest::mouseClick(&help, Qt::LeftButton, {}, QPoint(30, 10));
    QTest::qWait(600);
    QVERIFY(help.isVisible());
    QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(10, 10));
    QTRY_VERIFY(!help.isVisible());
    QCOMPARE(help.pollTimer()->interval(), 500);

    // A click while the help is hidden is not remembered for the next show.
    QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(10, 10));
    help.showText(QStringLiteral("Text"), QPoint(100, 100));
    QTest::qWait(600);
    QVERIFY(help.isVisible());
    QCOMPARE(help.pollTimer()->interval(), 20);

    // Closing through the frame only hides the window while the program runs.
    QVERIFY(!help.close());
    QVERIFY(!help.isVisible());
    QVERIFY(help.pollTimer()->isActive());
    help.showText(QStringLiteral("Text"), QPoint(100, 100));
    help.setProgramExiting(true);
    QVERIFY(help.close());
  }

  void f1ShowsTheTopicOfTheControlOrItsParent() {
    Folder f;
    HelpTopics topics(f.ws, f.host);
    QStringList protocol;
    connect(&topics, &HelpTopics::protocolLine, &topics, [&](const QString& l) { protocol << l; });
    QWidget form;
    form.setObjectName("IForm");
    auto* box = new QWidget(&form);
    box->setObjectName("Rahmen");
    auto* button = new QPushButton("OK", box);
    button->setObjectName("cmdOK");
    auto* lonely = new QPushButton("X", &form);
    topics.registerHelp(box, "IndikatorEdit");

    QVERIFY(topics.helpTopicRequestAt(&form, 112, button));
    QCOMPARE(QString::fromStdString(f.host.deferred.back()),
             QStringLiteral("Quelle(Alternativ):IForm;Rahmen:\nHilfethema: IndikatorEdit "));
    topics.registerHelp(button, "IndEditÜbernehmen", "Knopf");
    topics.registerHelp(button, "IndEditÜbernehmen", "");  // replaces, one record
    QVERIFY(topics.helpTopicRequestAt(&form, 112, button));
    QCOMPARE(QString::fromStdString(f.host.deferred.back()),
             QStringLiteral("Quelle(Alternativ):IForm;cmdOK:\nHilfethema: IndEditÜbernehmen "));
    QCOMPARE(topics.registry().records().size(), size_t(2));

    QVERIFY(topics.helpTopicRequestAt(&form, 112, lonely));
    QCOMPARE(QString::fromStdString(f.host.deferred.back()),
             QStringLiteral("Quelle:Hilfe noch nicht spezifiziert. h=%1").arg(HelpTopics::handleOf(lonely)));
    QVERIFY(!topics.helpTopicRequestAt(&form, 113, button));
    QCOMPARE(f.host.deferred.size(), size_t(3));
    QCOMPARE(protocol.size(), 3);

    // Pressed F1 goes through the hook to the control under the mouse pointer.
    form.resize(300, 200);
    box->setGeometry(0, 0, 300, 100);
    button->setGeometry(10, 10, 80, 30);
    lonely->setGeometry(200, 150, 50, 30);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    topics.installF1Hook();
    QCursor::setPos(button->mapToGlobal(QPoint(5, 5)));
    QCOMPARE(QApplication::widgetAt(QCursor::pos()), static_cast<QWidget*>(button));
    QTest::keyClick(button, Qt::Key_F1);
    QCOMPARE(f.host.deferred.size(), size_t(4));
    QVERIFY(QString::fromStdString(f.host.deferred.back()).contains("cmdOK"));
    QTest::keyClick(button, Qt::Key_F2);
    QCOMPARE(f.host.deferred.size(), size_t(4));

    // F1 in an open menu: help for the menu.
    QMainWindow main;
    QMenu* menu = main.menuBar()->addMenu("&Datei");
    menu->addAction("&Neues Handelssystem");
    topics.menuHelpRequest(menu);
    QCOMPARE(QString::fromStdString(f.host.deferred.back()), QStringLiteral("Quelle: MENÜ \nHilfethema: MENU_Datei"));
    QCOMPARE(topics.registry().find(HelpTopics::handleOf(main.menuBar()))->topic, std::string("MENU_Datei"));
  }

  // Before any click into the library, F1 over it explains its first entry, "Neues
  // Handelssystem"; a click then registers the clicked group instead.
  void f1OverTheLibraryBeforeAnyClick() {
    Folder f;
    MainWindow form(f.ws, f.host, nullptr, [&](MainWindow& w) { installProgramParts(w, f.ws, f.host); });
    auto* library = form.findChild<LibraryPanel*>();
    QVERIFY(library);
    auto* topics = form.findChild<HelpTopics*>();
    QVERIFY(topics);
    QVERIFY(topics->helpTopicRequestAt(&form, 112, library->tree()->viewport()));
    QVERIFY2(QString::fromStdString(f.host.deferred.back()).contains("Hilfethema: Neues Handelssystem"),
             f.host.deferred.back().c_str());
  }

  void startPageButtonAndAddress() {
    LocalHttpServer server;
    server.routes["/hilfe"] = Route{"<html><body><h1>Online-Hilfe</h1><a href='/zwei'>weiter</a></body></html>"};
    server.routes["/zwei"] = Route{"<html><body><p>Seite zwei</p></body></html>"};
    Folder f;
    HelpPanel panel(f.ws, f.host);
    QSignalSpy closeRequests(&panel, &HelpPanel::startPageCloseRequested);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.shownAddress(), QStringLiteral("about:blank"));
    panel.showStartPage();
    QVERIFY(panel.shownAddress().endsWith("/res/manual/index.html"));
    QVERIFY(panel.webView()->toPlainText().size() > 100);

    QCOMPARE(panel.startPageButton()->text(), QStringLiteral("Browserfenster schliessen"));
    QTest::mouseClick(panel.startPageButton(), Qt::LeftButton);
    QCOMPARE(closeRequests.count(), 1);
    panel.startModeLeft();
    QCOMPARE(panel.startPageButton()->text(), QStringLiteral("Startseite"));

    // Shift + right click: another address for the rest of the run; a cancel keeps the old one.
    f.host.inputs = {std::nullopt, server.url("/hilfe").toStdString()};
    QTest::mouseClick(panel.startPageButton(), Qt::RightButton, Qt::ShiftModifier);
    QVERIFY(panel.shownAddress().endsWith("index.html"));
    QTest::mouseClick(panel.startPageButton(), Qt::RightButton, Qt::ShiftModifier);
    QCOMPARE(f.host.prompts, (std::vector<std::string>{"Pfad:", "Pfad:"}));
    QCOMPARE(panel.startPageAddress(), server.url("/hilfe"));
    QCOMPARE(panel.shownAddress(), server.url("/hilfe"));
    QVERIFY(panel.webView()->toPlainText().contains("Online-Hilfe"));
    emit panel.webView()->anchorClicked(QUrl("/zwei"));
    QVERIFY(panel.webView()->toPlainText().contains("Seite zwei"));
    QVERIFY(!f.host.statuses.empty());
    panel.showStartPage();
    QCOMPARE(panel.shownAddress(), server.url("/hilfe"));

    // "Startseite" brings the manual back.
    QCOMPARE(closeRequests.count(), 1);
    QTest::mouseClick(panel.startPageButton(), Qt::LeftButton);
    QCOMPARE(closeRequests.count(), 1);
    QVERIFY(panel.shownAddress().endsWith("/res/manual/index.html"));
  }

  void englishManualAndCaptions() {
    Folder f(true);
    QVERIFY(f.ws.language.english());
    HelpPanel panel(f.ws, f.host);
    QVERIFY(panel.startPageAddress().endsWith("index_en.html"));
    panel.startModeLeft();
    QVERIFY(f.ws.language.missingTexts().empty());
    HelpPopup help;
    help.showText(QString::fromStdString(parameterHelpText(f.ws.catalogue, f.ws.helpTexts, f.ws.language, "period")),
                  QPoint(10, 10));
    QVERIFY(help.textField()->text().startsWith("Period"));
    QVERIFY(f.ws.language.missingTexts().empty());
  }
};

QTEST_MAIN(HelpWidgetsTest)
#include "help_widgets_test.moc"
