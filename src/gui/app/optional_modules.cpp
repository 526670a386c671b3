#include "app/optional_modules.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include <array>

namespace zorvik {
namespace {

struct Loaded {
  bool tried = false;
  QObject* instance = nullptr;
  QString problem;
};

std::array<Loaded, 3>& loadedModules() {
  static std::array<Loaded, 3> loaded;
  return loaded;
}

const char* baseName(Module module) {
  switch (module) {
    case Module::Sound: return "zorvik_sound";
    case Module::Web: return "zorvik_web";
    case Module::Charts: return "zorvik_charts";
  }
  return "";
}

}  // namespace

QString moduleFileName(Module module) { return QStringLiteral("lib%1.so").arg(QLatin1String(baseName(module))); }

QStringList moduleFolders() {
  const QString chosen = qEnvironmentVariable("ZORVIK_MODULE_DIR");
  if (!chosen.isEmpty()) return {chosen};
  QStringList folders;
  if (QCoreApplication::instance())
    folders << QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                               QStringLiteral(ZORVIK_MODULE_INSTALL_DIR));
  folders << QStringLiteral(ZORVIK_MODULE_BUILD_DIR);
  folders.removeDuplicates();
  return folders;
}

QObject* moduleInstance(Module module) {
  Loaded& slot = loadedModules()[static_cast<std::size_t>(module)];
  if (slot.tried) return slot.instance;
  slot.tried = true;
  const QString file = moduleFileName(module);
  for (const QString& folder : moduleFolders()) {
    const QString path = QDir(folder).filePath(file);
    if (!QFileInfo::exists(path)) continue;
    // The loader stays alive for the run: the plug-in is never unloaded.
    auto* loader = new QPluginLoader(path, QCoreApplication::instance());
    slot.instance = loader->instance();
    if (slot.instance) {
      slot.problem.clear();
      return slot.instance;
    }
    slot.problem = file + QStringLiteral(": ") + loader->errorString();
    loader->deleteLater();
    return nullptr;
  }
  slot.problem = file + QStringLiteral(": not found in ") + moduleFolders().join(QStringLiteral(", "));
  return nullptr;
}

void moduleRefused(Module module) {
  loadedModules()[static_cast<std::size_t>(module)].problem =
      moduleFileName(module) + QStringLiteral(": a plug-in of another program version");
}

QString moduleProblem(Module module) { return loadedModules()[static_cast<std::size_t>(module)].problem; }

}  // namespace zorvik
