#pragma once
// The MQL4 source of a generated Expert Advisor, read-only, with the language's colours: the
// trader sees what the program wrote without a MetaEditor, also when no compiler was found.
#include <QDialog>

#include <filesystem>

class QPlainTextEdit;

namespace zorvik {

class Workspace;

class ExpertSourceView : public QDialog {
  Q_OBJECT
 public:
  // Reads the file (Windows-1252, as every generated source) at once; a file that cannot be
  // read shows why instead of its text.
  ExpertSourceView(Workspace& ws, const std::filesystem::path& source, QWidget* parent = nullptr);

  QPlainTextEdit* text() const { return text_; }

 private:
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace zorvik
