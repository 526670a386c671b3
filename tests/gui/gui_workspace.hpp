#pragma once
// A started workspace on a temporary copy of res/ for the window tests, its settings file
// holding the given lines (or none), and an open, empty system "Demo" when asked for.
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>

#include "model/trading_system.hpp"
#include "model/system_parameters.hpp"
#include "model/workspace.hpp"
#include "platform/recording_host.hpp"

namespace zorvik::testing {

struct GuiWorkspace {
  QTemporaryDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;

  explicit GuiWorkspace(const QByteArray& ini = {}, bool openDemoSystem = false) {
    namespace fs = std::filesystem;
    fs::copy(fs::path(ZORVIK_SOURCE_DIR) / "res", fs::path(dir.path().toStdString()) / "res",
             fs::copy_options::recursive);
    if (!ini.isEmpty()) {
      QFile file(dir.path() + "/res/Zorvik.ini");
      if (file.open(QIODevice::WriteOnly)) file.write(ini);
    }
    ws = std::make_unique<Workspace>(dir.path().toStdString(), host);
    ws->startUp();
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
    QFile file(dir.path() + "/res/Zorvik.ini");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

}  // namespace zorvik::testing
