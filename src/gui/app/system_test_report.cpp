#include "app/system_test_report.hpp"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/workspace.hpp"

namespace zorvik {
namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

SystemTestReport::SystemTestReport(const Workspace& ws, const CheckResult& result, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("SystemTestReport"));
  // The menu entry's own caption, without its mnemonic.
  setWindowTitle(q(ws.tr("&System testen@2")).remove(QLatin1Char('&')));
  auto* layout = new QVBoxLayout(this);

  rows_ = new QTreeWidget(this);
  rows_->setObjectName(QStringLiteral("reportRows"));
  rows_->setColumnCount(2);
  rows_->setHeaderLabels({q(ws.tr("Prüfung")), q(ws.tr("Bedeutung"))});
  rows_->setRootIsDecorated(false);
  rows_->setSelectionMode(QAbstractItemView::NoSelection);
  rows_->setWordWrap(true);
  for (const InfoRow& row : result.rows) {
    auto* item = new QTreeWidgetItem(rows_);
    item->setText(0, q(row.text));
    // Green where the system is consistent, red where it is not, as in the information strip.
    item->setForeground(0, row.green ? QColor(0, 120, 0) : QColor(170, 0, 0));
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    const std::string meaning = ws.helpTexts.text(row.helpKey);
    item->setText(1, meaning.empty() ? QString() : q(ws.tr(meaning)).trimmed());
    item->setToolTip(1, item->text(1));
  }
  // The lint findings follow the six rows: what the Expert Advisor would do otherwise than the
  // system seems to say, and what the trader should know.
  for (const LintFinding& finding : result.lint) {
    auto* item = new QTreeWidgetItem(rows_);
    const bool warn = finding.level == LintLevel::Warn;
    QString level = q(ws.tr(warn ? "Warnung: " : "Hinweis: ")).trimmed();
    if (level.endsWith(QLatin1Char(':'))) level.chop(1);
    item->setText(0, level);
    item->setForeground(0, warn ? QColor(170, 0, 0) : QColor(0, 70, 150));
    item->setText(1, q(finding.text));
    item->setToolTip(1, item->text(1));
  }
  rows_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  rows_->header()->setStretchLastSection(true);
  layout->addWidget(rows_);

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
  resize(640, 520);
}

}  // namespace zorvik
