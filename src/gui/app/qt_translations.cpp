#include "app/qt_translations.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zorvik {

bool followLanguageInQtTexts(bool english) {
  // One catalogue for the whole process, however many windows are built (tests build many).
  static QTranslator* german = nullptr;
  if (english) {
    if (german) QCoreApplication::removeTranslator(german);
    return true;
  }
  if (!german) {
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete loaded;
      return false;
    }
    german = loaded;
  }
  QCoreApplication::installTranslator(german);
  return true;
}

}  // namespace zorvik
