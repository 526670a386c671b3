#pragma once
// Parts of the program that need Qt libraries the first window does not: the event sounds
// (Qt Multimedia), web access for the help pages and the update (Qt Network) and the backtest
// charts (Qt Charts). Each is a small plug-in of ours, loaded the first time it is wanted, so
// that the start of the program neither maps those libraries nor runs their start-up code.
// Without a plug-in the program works on and says what is missing where the part is used.
//
// Where the plug-ins are looked for, in this order: the folder named by ZORVIK_MODULE_DIR when
// it is set (then only there), the installed folder next to the program (../lib/zorvik), and
// the build folder they were built into.
#include <QObject>
#include <QString>
#include <QStringList>

namespace zorvik {

enum class Module { Sound, Web, Charts };

// The plug-in's object, loaded at the first call and kept for the run; null when the plug-in
// is missing or cannot be loaded (every later call answers at once).
QObject* moduleInstance(Module module);

// Notes that the loaded plug-in does not offer the interface asked for (a plug-in of another
// version of the program).
void moduleRefused(Module module);

// The plug-in's interface, or null.
template <class Interface>
Interface* loadModule(Module module) {
  QObject* instance = moduleInstance(module);
  auto* found = qobject_cast<Interface*>(instance);
  if (instance && !found) moduleRefused(module);
  return found;
}

// Why the plug-in could not be loaded: its file name and the reason (language-neutral detail
// such as a system error); empty when it was loaded or was not tried yet.
QString moduleProblem(Module module);

// The plug-in's file name, e.g. "libzorvik_charts.so".
QString moduleFileName(Module module);

// The folders searched, in order.
QStringList moduleFolders();

}  // namespace zorvik
