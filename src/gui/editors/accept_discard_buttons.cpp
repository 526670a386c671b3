#include "editors/accept_discard_buttons.hpp"

#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace zorvik {

AcceptDiscardButtons::AcceptDiscardButtons(QWidget* parent)
    : QWidget(parent), accept_(new QPushButton(this)), discard_(new QPushButton(this)) {
  accept_->setObjectName("Command1");
  discard_->setObjectName("Command2");
  connect(accept_, &QPushButton::clicked, this, [this] { emit clicked(1); });
  connect(discard_, &QPushButton::clicked, this, [this] { emit clicked(2); });
  resize(sizeHint());
}

QPushButton* AcceptDiscardButtons::button(int index) const {
  return index == 1 ? accept_ : index == 2 ? discard_ : nullptr;
}

void AcceptDiscardButtons::setIcon(int index, const QIcon& picture) {
  if (QPushButton* b = button(index)) b->setIcon(picture);
}

void AcceptDiscardButtons::setCaption(int index, const QString& text) {
  if (QPushButton* b = button(index)) b->setText(text);
}

QSize AcceptDiscardButtons::sizeHint() const {
  const QSize a = accept_->sizeHint(), b = discard_->sizeHint();
  return QSize(2 * std::max(a.width(), b.width()), std::max(a.height(), b.height()));
}

void AcceptDiscardButtons::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int w = width(), h = height(), half = w / 2;
  accept_->setGeometry(0, 0, half, h);
  // The right button takes the odd pixel, so the pair always fills the control.
  discard_->setGeometry(half, 0, w - half, h);
  // Pictures grow with the buttons but keep a margin for the button's frame.
  const int side = std::max(8, std::min(half, h) - 8);
  accept_->setIconSize(QSize(side, side));
  discard_->setIconSize(QSize(side, side));
}

}  // namespace zorvik
