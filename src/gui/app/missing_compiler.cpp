#include "app/missing_compiler.hpp"

#include <QMessageBox>
#include <QPushButton>

#include <system_error>

#include "model/trading_system.hpp"
#include "mql4/checker.hpp"
#include "terminal/generate_expert.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

std::string missingCompilerText(const Workspace& ws, const CompilerSearch& search,
                                const std::filesystem::path& keptSource) {
  const std::string missing = ws.tr("fehlt");
  std::string text = ws.tr("Der Compiler kann nicht gefunden werden") + "\n\n" + ws.tr("Gesucht:") + "\n- " +
                     search.metalang.string() + ": " + missing + "\n- ";
  if (search.metaEditor.empty())
    text += "metaeditor.exe: " + ws.tr("kein MetaTrader-Ordner eingestellt");
  else
    text += search.metaEditor.string() + ": " + missing;
  text += "\n- wine: " + ws.tr(search.winePresent ? "vorhanden" : "nicht installiert") + "\n\n";
  text += ws.tr("Der Quelltext wurde behalten:") + "\n" + keptSource.string() + "\n\n";
  text += ws.tr("Abhilfe: auf der Seite EINSTELLUNGEN den MetaTrader-Ordner mit metaeditor.exe wählen "
                "oder metalang.exe in den Ordner res legen.");
  if (!search.winePresent) text += " " + ws.tr("Unter Linux wird dazu wine benötigt.");
  return text;
}

std::filesystem::path keepSourceWithoutCompiler(Workspace& ws, const ExpertFiles& files, bool winePresent,
                                                QWidget* parent,
                                                const std::function<void(const std::filesystem::path&)>& openFolder) {
  const GenerateOutcome out = generateExpertOfOpenSystem(ws, false);
  if (!out.sourceWritten) return {};
  // Under the EA's name, so that the trader finds it beside the others and a later run with
  // a compiler does not overwrite the fixed-name file he is looking at.
  std::filesystem::path kept = files.source;
  if (const auto bytes = readFileBytes(files.source); bytes && writeFileAtomic(files.namedSource, *bytes)) {
    std::error_code ec;
    std::filesystem::remove(files.source, ec);
    kept = files.namedSource;
  }
  const CompilerSearch search{files.compiler, files.metaEditor, winePresent};
  std::string text = missingCompilerText(ws, search, kept);
  // Without a compiler our own check is what can be said about the source.
  const mql4::CheckResult check = mql4::checkFile(kept);
  if (check.ok()) {
    text += "\n\n" + ws.tr("Der Expert Advisor ist geprüft und fehlerfrei, aber nicht kompiliert.");
  } else {
    text += "\n\n" + ws.tr("Die Prüfung des Quelltexts hat Fehler gefunden:");
    constexpr std::size_t kShownErrors = 12;
    std::size_t shown = 0;
    for (const mql4::Diagnostic& d : check.diagnostics) {
      if (d.severity != mql4::Severity::Error) continue;
      if (shown++ == kShownErrors) {
        text += "\n...";
        break;
      }
      text += "\n" + mql4::formatDiagnostic(kept.filename().string(), d);
    }
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Zorvik"), QString::fromStdString(text), QMessageBox::NoButton,
                  parent);
  box.setObjectName(QStringLiteral("missingCompiler"));
  QPushButton* folder = box.addButton(QString::fromStdString(ws.tr("Ordner öffnen")), QMessageBox::ActionRole);
  box.addButton(QString::fromStdString(ws.tr("OK")), QMessageBox::AcceptRole);
  // The folder button opens the folder and leaves the message up, so the text stays readable.
  folder->disconnect();
  QObject::connect(folder, &QPushButton::clicked, &box, [&openFolder, kept] { if (openFolder) openFolder(kept.parent_path()); });
  box.exec();
  return kept;
}

}  // namespace zorvik
