#include "app/file_dialogs.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace zorvik {
namespace {

// Per kind of file, the folder of the last chosen file; for this run only.
QHash<QString, QString>& lastFolders() {
  static QHash<QString, QString> folders;
  return folders;
}

void remember(const QString& kind, const QString& file) {
  if (!file.isEmpty()) lastFolders().insert(kind, QFileInfo(file).absolutePath());
}

}  // namespace

QString rememberedFolder(const QString& kind, const QString& startFolder) {
  const QString folder = lastFolders().value(kind);
  return !folder.isEmpty() && QDir(folder).exists() ? folder : startFolder;
}

QString askFileToOpen(QWidget* parent, const QString& kind, const QString& caption, const QString& startFolder,
                      const QString& filter) {
  const QString file = QFileDialog::getOpenFileName(parent, caption, rememberedFolder(kind, startFolder), filter);
  remember(kind, file);
  return file;
}

QString askFileToSave(QWidget* parent, const QString& kind, const QString& caption, const QString& startFolder,
                      const QString& proposedName, const QString& filter, QString* chosenFilter) {
  QString name = proposedName;
  name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
  const QString proposed = QDir(rememberedFolder(kind, startFolder)).filePath(name);
  const QString file = QFileDialog::getSaveFileName(parent, caption, proposed, filter, chosenFilter);
  remember(kind, file);
  return file;
}

}  // namespace zorvik
