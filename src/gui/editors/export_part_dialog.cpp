#include "editors/export_part_dialog.hpp"

#include <QButtonGroup>
#include <QCursor>
#include <QFormLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "editors/money_management_editor.hpp"
#include "editors/signal_group_editor.hpp"
#include "qt_text.hpp"
#include "editors/signal_group_page.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

// The plain-text field gives "\n"; multi-line values in component files use CR LF.
std::string commentForFile(const QString& text) {
  QString t = text;
  t.replace("\r\n", "\n");
  t.replace('\n', "\r\n");
  return t.toStdString();
}

}  // namespace

ExportPartDialog::ExportPartDialog(Workspace& ws, const QString& kind, ToolboxSituation situation, QPoint at, QWidget* parent)
    : QDialog(parent), ws_(ws), export_(ws, std::move(situation)) {
  setObjectName("ToolboxPlus");
  setWindowTitle(q(ws_.tr(kToolboxCaption)));
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  auto* choices = new QGroupBox(this);
  auto* choiceLayout = new QVBoxLayout(choices);
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  for (int i = 0; i < kToolboxChoiceCount; ++i) {
    auto* option = new QRadioButton(q(ws_.tr(kToolboxChoices[static_cast<std::size_t>(i)].caption)), choices);
    option->setObjectName(QStringLiteral("Option1_%1").arg(i));
    group_->addButton(option, i);
    choiceLayout->addWidget(option);
    choiceButtons_[static_cast<std::size_t>(i)] = option;
  }
  // There is no single parameter to export; the entry is shown for completeness only.
  choiceButtons_[static_cast<std::size_t>(ToolboxChoice::AnyParameter)]->setEnabled(false);
  const int preselected = preselectedChoice(kind.toStdString());
  if (preselected >= 0) choiceButtons_[static_cast<std::size_t>(preselected)]->setChecked(true);
  layout->addWidget(choices);

  auto* fields = new QFormLayout;
  name_ = new QLineEdit(this);
  name_->setObjectName("Text1");
  comment_ = new QPlainTextEdit(this);
  comment_->setObjectName("Text2");
  comment_->setTabChangesFocus(true);
  comment_->setFixedHeight(name_->sizeHint().height() * 3);
  fields->addRow(q(ws_.tr("Name in Toolbox")), name_);
  fields->addRow(q(ws_.tr("Kommentar")), comment_);
  layout->addLayout(fields);

  auto* buttons = new QHBoxLayout;
  const char* captions[] = {"in die Toolbox!", "abbrechen", "Hilfe"};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    auto* button = new QPushButton(q(ws_.tr(captions[i])), this);
    button->setObjectName(QStringLiteral("Command1_%1").arg(i));
    button->setAutoDefault(false);
    buttons->addWidget(button);
    buttons_[i] = button;
  }
  buttons_[0]->setDefault(true);
  layout->addLayout(buttons);

  connect(buttons_[0], &QPushButton::clicked, this, &ExportPartDialog::exportChosen);
  connect(buttons_[1], &QPushButton::clicked, this, &QDialog::reject);
  connect(buttons_[2], &QPushButton::clicked, this, [this] {
    ws_.message(
        "Wählen Sie, welcher Teil des offenen Systems in die Toolbox soll, geben Sie einen Namen ohne "
        "Endung und nach Wunsch einen Kommentar ein und klicken Sie auf \"in die Toolbox!\". Ein Bauteil "
        "gleichen Namens wird überschrieben. Das Fenster bleibt offen, bis Sie \"abbrechen\" wählen.");
  });

  adjustSize();
  // At the mouse, but never with a part of the window off the screen.
  QPoint pos = at;
  if (const QScreen* screen = QGuiApplication::screenAt(at)) {
    const QRect area = screen->availableGeometry();
    pos.setX(std::max(area.left(), std::min(pos.x(), area.right() - width())));
    pos.setY(std::max(area.top(), std::min(pos.y(), area.bottom() - height())));
  }
  move(pos);
  name_->setFocus();
}

void ExportPartDialog::open(Workspace& ws, const QString& kind, ToolboxSituation situation, QWidget* parent) {
  ExportPartDialog dialog(ws, kind, std::move(situation), QCursor::pos(), parent ? parent->window() : nullptr);
  dialog.exec();
}

int ExportPartDialog::choice() const { return group_->checkedId(); }

void ExportPartDialog::exportChosen() {
  export_.exportPart(choice(), name_->text().toStdString(), commentForFile(comment_->toPlainText()));
}

void ExportPartDialog::done(int result) {
  // Every way out (the button, Escape, the title bar) ends the same: one more refresh after
  // anything was exported.
  if (!closed_) {
    closed_ = true;
    export_.close();
  }
  QDialog::done(result);
}

void connectToolboxButtons(SignalGroupPage& groups, MoneyManagementEditor& mm, Workspace& ws, std::function<int()> currentTab) {
  auto open = [&groups, &ws, currentTab](const QString& kind, QWidget* from) {
    const SignalGroupEditor& xi = groups.groupEditor();
    ExportPartDialog::open(ws, kind, {currentTab ? currentTab() : -1, xi.selectedNumbers(), xi.currentNumber()}, from);
  };
  QObject::connect(&groups, &SignalGroupPage::toolboxRequested, &groups,
                   [open, &groups](const QString& kind) { open(kind, &groups); });
  QObject::connect(&mm, &MoneyManagementEditor::toolboxRequested, &mm, [open, &mm](const QString& kind) { open(kind, &mm); });
}

}  // namespace zorvik
