#include "library/expert_source_view.hpp"

#include <QColor>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QVBoxLayout>

#include <vector>

#include "qt_text.hpp"
#include "text/cp1252.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

// Colours close to MetaEditor's, so that the source looks as the trader knows it there.
class Mql4Highlighter : public QSyntaxHighlighter {
 public:
  explicit Mql4Highlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    QTextCharFormat keyword;
    keyword.setForeground(QColor(0x00, 0x00, 0xC0));
    keyword.setFontWeight(QFont::Bold);
    rules_.push_back({QRegularExpression(QStringLiteral(
                          "\\b(?:bool|break|case|char|color|continue|datetime|default|double|else|enum|extern|false|"
                          "for|if|input|int|long|return|short|sizeof|static|string|struct|switch|true|uint|ulong|"
                          "void|while)\\b")),
                      keyword});
    QTextCharFormat preprocessor;
    preprocessor.setForeground(QColor(0x80, 0x40, 0x00));
    rules_.push_back({QRegularExpression(QStringLiteral("^\\s*#\\w+")), preprocessor});
    QTextCharFormat function;
    function.setForeground(QColor(0x80, 0x00, 0x80));
    rules_.push_back({QRegularExpression(QStringLiteral("\\b[A-Z][A-Za-z0-9_]*(?=\\s*\\()")), function});
    QTextCharFormat number;
    number.setForeground(QColor(0xA0, 0x00, 0x00));
    rules_.push_back({QRegularExpression(QStringLiteral("\\b\\d+(?:\\.\\d*)?\\b")), number});
    string_.setForeground(QColor(0x00, 0x80, 0x80));
    rules_.push_back({QRegularExpression(QStringLiteral("\"(?:[^\"\\\\]|\\\\.)*\"")), string_});
    comment_.setForeground(QColor(0x60, 0x80, 0x60));
    comment_.setFontItalic(true);
    rules_.push_back({QRegularExpression(QStringLiteral("//[^\n]*")), comment_});
  }

 protected:
  void highlightBlock(const QString& text) override {
    for (const Rule& r : rules_)
      for (auto it = r.pattern.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), r.format);
      }
    // Block comments may span lines: the state says whether this line starts inside one.
    setCurrentBlockState(0);
    qsizetype start = previousBlockState() == 1 ? 0 : text.indexOf(QStringLiteral("/*"));
    while (start >= 0) {
      const qsizetype end = text.indexOf(QStringLiteral("*/"), start);
      const qsizetype length = end < 0 ? text.size() - start : end - start + 2;
      if (end < 0) setCurrentBlockState(1);
      setFormat(static_cast<int>(start), static_cast<int>(length), comment_);
      start = end < 0 ? -1 : text.indexOf(QStringLiteral("/*"), start + length);
    }
  }

 private:
  struct Rule {
    QRegularExpression pattern;
    QTextCharFormat format;
  };
  std::vector<Rule> rules_;
  QTextCharFormat string_;
  QTextCharFormat comment_;
};

}  // namespace

ExpertSourceView::ExpertSourceView(Workspace& ws, const std::filesystem::path& source, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ExpertSourceView"));
  setWindowTitle(q(ws.tr("Quelltext des Expert Advisors")) + QStringLiteral(" - ") +
                 QString::fromStdString(source.filename().string()));
  auto* layout = new QVBoxLayout(this);
  auto* path = new QLabel(QString::fromStdString(source.string()), this);
  path->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(path);
  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  new Mql4Highlighter(text_->document());
  if (const auto bytes = readFileBytes(source)) {
    text_->setPlainText(QString::fromStdString(cp1252ToUtf8(*bytes)));
  } else {
    text_->setPlainText(q(ws.tr("Die Datei konnte nicht gelesen werden: ")) + QString::fromStdString(source.string()));
  }
  layout->addWidget(text_, 1);
  auto* buttons = new QDialogButtonBox(this);
  auto* close = buttons->addButton(q(ws.tr("Schliessen")), QDialogButtonBox::RejectRole);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(820, 620);
}

}  // namespace zorvik
