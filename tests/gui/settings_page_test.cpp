// The program settings page driven as a user would: flags and the MetaTrader folder reach the
// settings file, the folder can be picked from the terminals found or browsed for, and the tab
// colours and style reach the tab strips.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

#include "editors/settings_page.hpp"
#include "gui_workspace.hpp"
#include "model/settings.hpp"
#include "platform/recording_host.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

struct Env : testing::GuiWorkspace {
  explicit Env(const QByteArray& ini = {}) : GuiWorkspace(ini) {}
};

}  // namespace

class SettingsPageTest : public QObject {
  Q_OBJECT
 private slots:
  void changesReachTheSettingsFile() {
    Env env("METATRADERPFAD=C:\\MT4\r\n");
    SettingsPage page(*env.ws, env.host);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(page.folderEdit()->text(), QString("C:\\MT4"));
    QVERIFY(!page.foundTerminals()->isVisible());
    QVERIFY(!page.slidersWithButtonsCheck()->isChecked());

    QTest::mouseClick(page.slidersWithButtonsCheck(), Qt::LeftButton);
    QCOMPARE(env.ws->settings.sliderWithButtons, std::int16_t(1));
    QVERIFY(env.ini().contains("SLIDERMITBUTTONS=1\r\n"));
    QTest::mouseClick(page.markStopsCheck(), Qt::LeftButton);
    QVERIFY(env.ini().contains("STOPLOSSIMCHART=1\r\n"));

    // The folder changes in memory as typed and reaches the file when the field is left.
    page.folderEdit()->setFocus();
    page.folderEdit()->selectAll();
    QTest::keyClicks(page.folderEdit(), "D:\\MT4, Demo");
    QCOMPARE(env.ws->settings.metatraderFolder, std::string("D:\\MT4, Demo"));
    QTest::keyClick(page.folderEdit(), Qt::Key_Return);
    QVERIFY(env.ini().contains("\"METATRADERPFAD=D:\\MT4, Demo\"\r\n"));

    // The settings page never writes the tab look to the file.
    page.setPickerColour(2, 0x123456);
    QVERIFY(!env.ini().contains("TABCOL"));
    QVERIFY(env.host.messages.empty());

    // Clicking the label asks for its help text.
    QSignalSpy help(&page, &SettingsPage::helpRequested);
    QTest::mouseClick(page.folderLabel(), Qt::LeftButton);
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.at(0).at(0).toString(), QString("metatraderpfad"));
  }

  void emptyFolderOffersFoundTerminalsAndBrowsing() {
    Env env;
    QTemporaryDir home;
    const fs::path prefix = fs::path(home.path().toStdString()) / ".wine" / "drive_c";
    const fs::path mt4 = prefix / "Program Files (x86)" / "MetaTrader 4";
    fs::create_directories(mt4);
    QFile exe(QString::fromStdString((mt4 / "terminal.exe").string()));
    QVERIFY(exe.open(QIODevice::WriteOnly));
    exe.close();

    SettingsPage page(*env.ws, env.host);
    page.setHomeFolder(home.path());
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QComboBox* found = page.foundTerminals();
    QVERIFY(found->isVisible());
    QCOMPARE(found->count(), 2);
    QCOMPARE(found->itemText(1), QString::fromStdString(mt4.string()));

    found->setCurrentIndex(1);
    emit found->activated(1);
    QCOMPARE(page.folderEdit()->text(), QString::fromStdString(mt4.string()));
    QCOMPARE(env.ws->settings.metatraderFolder, mt4.string());
    QVERIFY(env.ini().contains(QByteArray("METATRADERPFAD=") + QByteArray::fromStdString(mt4.string())));
    QVERIFY(!found->isVisible());

    // Clearing the field offers them again; browsing takes the chosen folder.
    page.folderEdit()->clear();
    QVERIFY(found->isVisible());
    QString askedFrom;
    page.chooseFolder = [&](const QString& start) {
      askedFrom = start;
      return home.path() + "/Broker MT4";
    };
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);
    QCOMPARE(askedFrom, home.path());
    QCOMPARE(env.ws->settings.metatraderFolder, (home.path() + "/Broker MT4").toStdString());
    QVERIFY(env.ini().contains("Broker MT4"));
    // Cancelling the folder dialog changes nothing.
    page.chooseFolder = [](const QString&) { return QString(); };
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);
    QCOMPARE(env.ws->settings.metatraderFolder, (home.path() + "/Broker MT4").toStdString());
  }

  void coloursAndStyleReachTheTabStrips() {
    Env env("TABCOL1=255\r\nTABSTIL=6\r\n");
    QTabBar bar;
    QTabWidget tabs;
    tabs.setObjectName("TC2");
    SettingsPage page(*env.ws, env.host);
    page.setTabStrips(&bar, &tabs);
    QCOMPARE(page.tabStyleChoice()->currentText(), QString("Stil 6"));
    QCOMPARE(page.colourNumberLabel(1)->text(), QString(" 255"));
    QVERIFY(bar.styleSheet().contains("#ff0000"));
    QVERIFY(bar.styleSheet().contains("qlineargradient"));  // styles 4..7 are shaded

    page.setPickerColour(3, colourNumber(0, 128, 0));
    QVERIFY(bar.styleSheet().contains("#008000"));
    QCOMPARE(page.colourNumberLabel(3)->text(), QString(" 32768"));
    page.setPickerColour(5, colourNumber(1, 2, 3));
    QVERIFY(tabs.styleSheet().contains("#010203"));

    page.tabStyleChoice()->setCurrentIndex(1);
    QCOMPARE(env.ws->settings.tabStyle, 1);
    QVERIFY(!bar.styleSheet().contains("qlineargradient"));

    QTest::mouseClick(page.defaultsButton(), Qt::LeftButton);
    QCOMPARE(env.ws->settings.tabColours[1], colourNumber(221, 0, 0));
    QCOMPARE(env.ws->settings.tabStyle, 3);
    QCOMPARE(page.tabStyleChoice()->currentText(), QString("Stil 3"));
    QCOMPARE(page.colourNumberLabel(0)->text(), QString(" 14540253"));
    QVERIFY(bar.styleSheet().contains("#dd0000"));
    QVERIFY(bar.styleSheet().contains("6px"));
  }

  void tabCaptionsStayReadableInEveryColour() {
    struct Case {
      QColor text, background, expected;
    };
    const Case cases[] = {
        {Qt::black, QColor(221, 0, 0), Qt::white},        // the default active tab
        {Qt::black, QColor(0xDD, 0xDD, 0xDD), Qt::black},  // the default inactive tab keeps its text
        {Qt::white, QColor(250, 250, 210), Qt::black},     // white on pale yellow
        {QColor(0, 0, 200), Qt::white, QColor(0, 0, 200)}, // a chosen colour that reads well stays
        {QColor(30, 30, 30), QColor(20, 20, 60), Qt::white},
    };
    for (const Case& c : cases)
      QCOMPARE(zorvik::readableTextColour(c.text, c.background).name(), c.expected.name());
  }

  void terminalAndEditorButtons() {
    Env env;
    SettingsPage page(*env.ws, env.host);
    QVERIFY(page.metaEditorButton()->isHidden());
    // Without a folder the terminal cannot start; the user is told so.
    QTest::mouseClick(page.terminalButton(), Qt::LeftButton);
    QCOMPARE(env.host.messages.size(), std::size_t(1));
    QVERIFY(env.host.started.empty());

    Env dev("ENTWICKLERMODUS=1\r\n");
    SettingsPage devPage(*dev.ws, dev.host);
    QVERIFY(!devPage.metaEditorButton()->isHidden());
  }

  void everyTextHasAnEnglishLine() {
    Env env("LANGUAGE=ENGLISCH\r\nENTWICKLERMODUS=1\r\n");
    QVERIFY(env.ws->language.english());
    SettingsPage page(*env.ws, env.host);
    QTemporaryDir home;
    fs::create_directories(fs::path(home.path().toStdString()) / ".wine/drive_c/Program Files/MT4");
    QFile exe(home.path() + "/.wine/drive_c/Program Files/MT4/terminal.exe");
    QVERIFY(exe.open(QIODevice::WriteOnly));
    exe.close();
    page.setHomeFolder(home.path());
    page.show();
    QCOMPARE(page.foundTerminals()->count(), 2);
    QCOMPARE(env.missingTexts(), QStringList());
  }
};

QTEST_MAIN(SettingsPageTest)
#include "settings_page_test.moc"
