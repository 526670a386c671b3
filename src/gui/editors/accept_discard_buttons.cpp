#include "editors/accept_discard_buttons.hpp"

#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace zorvik {

AcceptDiscardButtons::AcceptDiscardButtons(QWidget* parent)
    : QWidget(parent), command1_(new QPushButton(this)), command2_(new QPushButton(this)) {
  command1_->setObjectName("Command1");
  command2_->setObjectName("Command2");
  connect(command1_, &QPushButton::clicked, this, [this] { emit clicked(1); });
  connect(command2_, &QPushButton::clicked, this, [this] { emit clicked(2); });
  resize(sizeHint());
}

QPushButton* AcceptDiscardButtons::command(int index) const {
  return index == 1 ? command1_ : index == 2 ? command2_ : nullptr;
}

void AcceptDiscardButtons::setIcon(int index, const QIcon& picture) {
  if (QPushButton* b = command(index)) b->setIcon(picture);
}

void AcceptDiscardButtons::setCaption(int index, const QString& text) {
  if (QPushButton* b = command(index)) b->setText(text);
}

QSize AcceptDiscardButtons::sizeHint() const {
  const QSize a = command1_->sizeHint(), b = command2_->sizeHint();
  return QSize(2 * std::max(a.width(), b.width()), std::max(a.height(), b.height()));
}

void AcceptDiscardButtons::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int w = width(), h = height(), half = w / 2;
  command1_->setGeometry(0, 0, half, h);
  // The right button takes the odd pixel, so the pair always fills the control.
  command2_->setGeometry(half, 0, w - half, h);
  // Pictures grow with the buttons but keep a margin for the button's frame.
  const int side = std::max(8, std::min(half, h) - 8);
  command1_->setIconSize(QSize(side, side));
  command2_->setIconSize(QSize(side, side));
}

}  // namespace zorvik
