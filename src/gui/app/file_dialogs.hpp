#pragma once
// The program's open and save dialogs. Each kind of file (a price history, a trade list, a
// report) remembers the folder it was last taken from or written to for the rest of the run, so
// that the second export does not start again in the working folder; a save dialog proposes a
// file name made from what is saved.
#include <QString>

class QWidget;

namespace zorvik {

// `kind` names the kind of file ("history", "trades", "report"); `startFolder` is used until a
// file of that kind was chosen. Empty when the trader cancels.
QString askFileToOpen(QWidget* parent, const QString& kind, const QString& caption, const QString& startFolder,
                      const QString& filter);
// `proposedName` is a bare file name ("Trend EURUSD H1.csv"); characters a file name cannot
// hold are replaced by "_".
// `filter` may offer several forms (";;" between them); the one chosen is put in `chosenFilter`.
QString askFileToSave(QWidget* parent, const QString& kind, const QString& caption, const QString& startFolder,
                      const QString& proposedName, const QString& filter, QString* chosenFilter = nullptr);

// The folder the next dialog of this kind starts in.
QString rememberedFolder(const QString& kind, const QString& startFolder);

}  // namespace zorvik
