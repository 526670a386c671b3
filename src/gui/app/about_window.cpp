#include "app/about_window.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/display_modes.hpp"
#include "qt_text.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

AboutWindow::AboutWindow(Workspace& ws, const QStringList& protocol, QWidget* parent)
    : QWidget(parent, Qt::Window), ws_(ws), protocol_(protocol) {
  setWindowTitle(q(ws_.tr("Über Zorvik")));
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(q(windowCaption(programVersion(), {})), this);
  QFont f = title->font();
  f.setPointSizeF(f.pointSizeF() * 1.6);
  f.setBold(true);
  title->setFont(f);
  layout->addWidget(title);

  // What a trader (or whoever helps him) asks first: which program, under which terms, and
  // where it keeps its files. The folders can be selected and copied.
  const ProgramVersion v = programVersion();
  const QString version = QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
  auto* facts = new QFormLayout;
  const auto fact = [this, facts](const char* caption, const QString& text, const char* name) {
    auto* value = new QLabel(text, this);
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    facts->addRow(q(ws_.tr(caption)), value);
  };
  fact("Version:", version, "aboutVersion");
  fact("Lizenz:", q(ws_.tr("Zorvik: alle Rechte vorbehalten. Verwendet Qt unter der GNU LGPL Version 3.")),
       "aboutLicence");
  fact("Arbeitsordner:", QDir::toNativeSeparators(q(ws_.root().string())), "aboutWorkingFolder");
  fact("Programmordner:", QDir::toNativeSeparators(QCoreApplication::applicationDirPath()), "aboutProgramFolder");
  layout->addLayout(facts);

  layout->addWidget(new QLabel(q(ws_.tr("Fehlende Übersetzungen")), this));
  missing_ = new QListWidget(this);
  layout->addWidget(missing_, 2);
  protocolList_ = new QListWidget(this);
  layout->addWidget(protocolList_, 1);

  auto* buttons = new QHBoxLayout;
  append_ = new QPushButton(q(ws_.tr("Fehlende Texte anfügen")), this);
  auto* close = new QPushButton(q(ws_.tr("Schliessen")), this);
  buttons->addWidget(append_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  connect(append_, &QPushButton::clicked, this, [this] {
    // Appending twice would give the translator every line twice; the button waits for new texts.
    if (ws_.language.appendMissingTexts(ws_.resFile("langEng.txt"))) append_->setEnabled(false);
  });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  resize(520, 480);
  refresh();
}

void AboutWindow::refresh() {
  missing_->clear();
  for (const auto& text : ws_.language.missingTexts()) missing_->addItem(q(text));
  append_->setEnabled(missing_->count() > 0);
  protocolList_->clear();
  protocolList_->addItems(protocol_);
  protocolList_->setVisible(!protocol_.isEmpty());
}

}  // namespace zorvik
