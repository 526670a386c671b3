#pragma once
// A started workspace on a temporary copy of res/ for the window tests, its settings file
// holding the given lines (or none), and an open, empty system "Demo" when asked for.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>

#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik::testing {

inline FolderSeed settingsSeed(const QByteArray& ini) {
  FolderSeed seed;
  seed.settings = ini.toStdString();
  return seed;
}

struct GuiWorkspace : TestWorkspace {
  explicit GuiWorkspace(const QByteArray& ini = {}, bool openDemoSystem = false)
      : TestWorkspace(settingsSeed(ini), true) {
    if (openDemoSystem) {
      ws->system().systemFileName = "Demo.hsy.txt";
      ws->system().resetAll(systemDefaults(*ws));
    }
  }
  std::filesystem::path user(const char* name) const { return ws->userFile(name); }
  // German texts shown so far that the language table had no translation for.
  QStringList missingTexts() const {
    QStringList missing;
    for (const std::string& text : ws->language.missingTexts()) missing << QString::fromStdString(text);
    return missing;
  }
  QByteArray ini() const {
    QFile file(QString::fromStdString((dir.path() / "res" / "Zorvik.ini").string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

}  // namespace zorvik::testing
