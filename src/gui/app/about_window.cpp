#include "app/about_window.hpp"

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
  resize(460, 420);
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
