#include "app/system_test_report.hpp"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "qt_text.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

SystemTestReport::SystemTestReport(const Workspace& ws, const CheckResult& result, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("SystemTestReport"));
  // The menu entry's own caption, without its mnemonic.
  setWindowTitle(q(ws.tr("&System testen@2")).remove(QLatin1Char('&')));
  auto* layout = new QVBoxLayout(this);

  // Mark and meaning side by side; the meanings are sentences and wrap in their column.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("reportRows"));
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* rowsPanel = new QWidget;
  rowsPanel->setBackgroundRole(QPalette::Base);
  rowsPanel->setAutoFillBackground(true);
  auto* grid = new QGridLayout(rowsPanel);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(6);
  grid->setColumnStretch(1, 1);
  const auto addRow = [&](const QString& mark, const QColor& colour, bool bold, const QString& meaning) {
    const int at = grid->rowCount();
    auto* markLabel = new QLabel(mark, rowsPanel);
    // A palette colour would give way to the dialog's own; the marks must keep theirs.
    markLabel->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    QFont font = markLabel->font();
    font.setBold(bold);
    markLabel->setFont(font);
    auto* meaningLabel = new QLabel(meaning, rowsPanel);
    meaningLabel->setWordWrap(true);
    meaningLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(markLabel, at, 0, Qt::AlignTop);
    grid->addWidget(meaningLabel, at, 1);
    marks_ << mark;
    meanings_ << meaning;
  };
  for (const InfoRow& row : result.rows) {
    const std::string meaning = ws.helpTexts.text(row.helpKey);
    // Green where the system is consistent, red where it is not, as in the information strip.
    addRow(q(row.text), row.green ? QColor(0, 120, 0) : QColor(170, 0, 0), true,
           meaning.empty() ? QString() : q(ws.tr(meaning)).trimmed());
  }
  // The lint findings follow the six rows: what the Expert Advisor would do otherwise than the
  // system seems to say, and what the trader should know.
  for (const LintFinding& finding : result.lint) {
    const bool info = finding.level == LintLevel::Info;
    const bool error = finding.level == LintLevel::Error;
    QString level = q(ws.tr(error ? "Fehler: " : info ? "Hinweis: " : "Warnung: ")).trimmed();
    if (level.endsWith(QLatin1Char(':'))) level.chop(1);
    addRow(level, info ? QColor(0, 70, 150) : QColor(170, 0, 0), error, q(finding.text));
  }
  grid->setRowStretch(grid->rowCount(), 1);
  scroll->setWidget(rowsPanel);
  layout->addWidget(scroll, 3);

  auto* differencesCaption = new QLabel(q(ws.tr("Unterschiede")), this);
  layout->addWidget(differencesCaption);
  differences_ = new QPlainTextEdit(this);
  differences_->setObjectName(QStringLiteral("reportDifferences"));
  differences_->setReadOnly(true);
  differences_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QStringList lines;
  for (const auto& text : result.differences.texts()) lines << q(text);
  differences_->setPlainText(lines.join(QLatin1Char('\n')));
  layout->addWidget(differences_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(q(ws.tr("OK")));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  // Wide enough for most meanings on one or two lines, but never wider than the window.
  QSize size(900, 640);
  if (parent) size = size.boundedTo(parent->window()->size() - QSize(40, 40));
  resize(size.expandedTo(QSize(480, 360)));
}

}  // namespace zorvik
