// The operating system's error wording inside a message follows the program's language; the
// path and the rest of the detail stay as they were.
#include <QtTest>

#include <cerrno>
#include <string>
#include <system_error>

#include "app/system_error_text.hpp"
#include "model/language.hpp"

using namespace zorvik;

class SystemErrorTextTest : public QObject {
  Q_OBJECT

 private slots:
  void errorWordingFollowsTheLanguage() {
    LanguageTable english;
    english.switchLanguage("ENGLISCH", std::string(ZORVIK_SOURCE_DIR) + "/res");
    QVERIFY(english.english());
    const auto toEnglish = [&english](std::string_view german) { return english.translate(german); };
    const auto keepGerman = [](std::string_view german) { return std::string(german); };
    const std::string tooLong = std::generic_category().message(ENAMETOOLONG);
    const std::string noSpace = std::generic_category().message(ENOSPC);
    const struct {
      std::string raw;
      std::string german;
      std::string english;
    } cases[] = {
        {"Die Datei konnte nicht gespeichert werden: cannot write /u/a.hsy.txt: " + tooLong,
         "Die Datei konnte nicht gespeichert werden: Schreiben nicht möglich: /u/a.hsy.txt: Dateiname zu lang",
         "Die Datei konnte nicht gespeichert werden: cannot write /u/a.hsy.txt: File name too long"},
        {"/u/a.hsy.txt is read-only", "/u/a.hsy.txt ist schreibgeschützt", "/u/a.hsy.txt is read-only"},
        {"cannot create a temporary file in /u: " + noSpace + " (" + noSpace + ")",
         "Keine temporäre Datei möglich in /u: Kein Speicherplatz mehr auf dem Gerät (Kein Speicherplatz mehr auf dem Gerät)",
         "cannot create a temporary file in /u: No space left on device (No space left on device)"},
        {"Trendfolger", "Trendfolger", "Trendfolger"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
      QCOMPARE(QString::fromStdString(localizeSystemErrors(c.raw, keepGerman)), QString::fromStdString(c.german));
      // The German prefix of the first case is translated elsewhere; only the wording changes here.
      QCOMPARE(QString::fromStdString(localizeSystemErrors(c.raw, toEnglish)), QString::fromStdString(c.english));
    }
  }
};

QTEST_MAIN(SystemErrorTextTest)
#include "system_error_text_test.moc"
