#include "editors/value_slider.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <functional>

namespace zorvik {

namespace {

constexpr int kButtonGap = 2;  // pixels between an end button and the bar area

int sliderButton(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return kSliderLeftButton;
    case Qt::RightButton: return kSliderRightButton;
    case Qt::MiddleButton: return kSliderMiddleButton;
    default: return 0;
  }
}

int sliderButtons(Qt::MouseButtons bs) {
  return (bs & Qt::LeftButton ? kSliderLeftButton : 0) | (bs & Qt::RightButton ? kSliderRightButton : 0) |
         (bs & Qt::MiddleButton ? kSliderMiddleButton : 0);
}

int shiftState(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? kSliderShift : 0) | (m & Qt::ControlModifier ? kSliderCtrl : 0) |
         (m & Qt::AltModifier ? kSliderAlt : 0);
}

Qt::MouseButton qtButton(int b) {
  switch (b) {
    case kSliderLeftButton: return Qt::LeftButton;
    case kSliderRightButton: return Qt::RightButton;
    case kSliderMiddleButton: return Qt::MiddleButton;
    default: return Qt::NoButton;
  }
}

Qt::KeyboardModifiers qtModifiers(int shift) {
  Qt::KeyboardModifiers m;
  if (shift & kSliderShift) m |= Qt::ShiftModifier;
  if (shift & kSliderCtrl) m |= Qt::ControlModifier;
  if (shift & kSliderAlt) m |= Qt::AltModifier;
  return m;
}

// The raised, slightly rounded face shared by the knob and the end buttons.
void paintFace(QPainter& p, const QRectF& r, bool down, const QColor& border) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, down ? QColor(0xD4, 0xD4, 0xD4) : QColor(0xFF, 0xFF, 0xFF));
  g.setColorAt(1, down ? QColor(0xBC, 0xBC, 0xBC) : QColor(0xD6, 0xD6, 0xD6));
  p.setPen(QPen(border, 1));
  p.setBrush(g);
  p.drawRoundedRect(r, 2.5, 2.5);
}

}  // namespace

// An end button that answers every mouse button: a right click on "+" must step by
// LargeChange, which a QPushButton (left button only) cannot report.
class SliderStepButton : public QWidget {
 public:
  SliderStepButton(bool plus, ValueSlider* owner) : QWidget(owner), plus_(plus), owner_(owner) {
    setObjectName(plus ? "cmdRight" : "cmdLeft");
    setAccessibleName(plus ? "+" : "-");
  }
  bool isPlus() const { return plus_; }
  std::function<void(Qt::MouseButton)> onReleased;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (pressed_ != Qt::NoButton) return;
    pressed_ = e->button();
    down_ = true;
    update();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    const bool inside = rect().contains(e->position().toPoint());
    if (pressed_ != Qt::NoButton && inside != down_) {
      down_ = inside;
      update();
    }
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != pressed_) return;
    pressed_ = Qt::NoButton;
    down_ = false;
    update();
    // Only a release over the button counts, as with any push button.
    if (rect().contains(e->position().toPoint()) && onReleased) onReleased(e->button());
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor border = isEnabled() ? QColor(0x70, 0x70, 0x70) : QColor(0xB0, 0xB0, 0xB0);
    if (owner_->buttonStyle() == 1) {
      p.setPen(QPen(border, 1));
      p.setBrush(down_ ? ValueSlider::toQColor(owner_->backgroundColour()).darker(112)
                       : ValueSlider::toQColor(owner_->backgroundColour()));
      p.drawRect(r);
    } else {
      paintFace(p, r, down_, border);
    }
    // The glyph from filled rectangles, so its strokes sit on whole pixels.
    p.setRenderHint(QPainter::Antialiasing, false);
    const int side = std::min(width(), height());
    const int len = std::max(5, side * 2 / 5) | 1;
    const int thick = std::max(2, side / 10);
    const int cx = width() / 2 + (down_ ? 1 : 0), cy = height() / 2 + (down_ ? 1 : 0);
    const QColor ink = isEnabled() ? QColor(0x30, 0x30, 0x30) : QColor(0xA0, 0xA0, 0xA0);
    p.fillRect(cx - len / 2, cy - thick / 2, len, thick, ink);
    if (plus_) p.fillRect(cx - thick / 2, cy - len / 2, thick, len, ink);
  }

 private:
  bool plus_;
  ValueSlider* owner_;
  Qt::MouseButton pressed_ = Qt::NoButton;
  bool down_ = false;
};

ValueSlider::ValueSlider(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  minus_ = new SliderStepButton(false, this);
  plus_ = new SliderStepButton(true, this);
  for (SliderStepButton* b : {minus_, plus_})
    b->onReleased = [this, b](Qt::MouseButton button) { endButtonReleased(b, button); };
  valueLabel_ = new QLabel(this);
  valueLabel_->setObjectName("Label1");
  valueLabel_->setAlignment(Qt::AlignCenter);
  valueLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
  QFont f = font();
  f.setFamily("Arial");
  valueLabel_->setFont(f);
  valueLabel_->setText(QString::fromStdString(model_.labelText()));
  QPalette pal = valueLabel_->palette();
  pal.setColor(QPalette::WindowText, toQColor(model_.valueCol));
  valueLabel_->setPalette(pal);
  model_.setEventSink([this](const SliderEvent& e) { onModelEvent(e); });
  layoutParts();
}

ValueSlider::~ValueSlider() {
  // Children go after this destructor; nothing they do may reach back into the model.
  model_.setEventSink(nullptr);
}

QWidget* ValueSlider::minusButton() const { return minus_; }
QWidget* ValueSlider::plusButton() const { return plus_; }

QColor ValueSlider::toQColor(uint colour) {
  int r = 0, g = 0, b = 0;
  zorvik::GetRGB(r, g, b, colour);
  return QColor(r, g, b);
}

void ValueSlider::onModelEvent(const SliderEvent& e) {
  switch (e.kind) {
    case SliderEvent::Kind::MouseDown:
      emit mousePressed(qtButton(e.button), qtModifiers(e.shift), fromTwips(e.x, e.y));
      break;
    case SliderEvent::Kind::MouseUp:
      emit mouseReleased(qtButton(e.button), qtModifiers(e.shift), fromTwips(e.x, e.y));
      break;
    case SliderEvent::Kind::Change:
      valueLabel_->setText(QString::fromStdString(model_.labelText()));
      update();
      emit changed(e.value);
      break;
  }
}

QPoint ValueSlider::fromTwips(double x, double y) const {
  return QPoint(bar_.left() + qRound(x / kTwipsPerPixel), bar_.top() + qRound(y / kTwipsPerPixel));
}

void ValueSlider::setMin(int v) {
  model_.setMin(v);
  // The value may have moved up without a Change; the label still shows the truth.
  valueLabel_->setText(QString::fromStdString(model_.labelText()));
  layoutParts();
  update();
}

void ValueSlider::setMax(int v) {
  model_.setMax(v);
  valueLabel_->setText(QString::fromStdString(model_.labelText()));
  layoutParts();
  update();
}

void ValueSlider::setValue(int v) { model_.setValue(v); }
void ValueSlider::setSmallChange(int v) { model_.setSmallChange(v); }

void ValueSlider::setValueVisible(bool on) {
  model_.valueVis = on;
  layoutParts();
  update();
}

void ValueSlider::setHideButtons(bool hide) {
  model_.hideButtons = hide;
  layoutParts();
  update();
}

void ValueSlider::layoutParts() {
  const int w = width(), h = height();
  const bool buttons = !model_.hideButtons;
  int left = 0, right = w;
  if (buttons) {
    const int side = std::min(h, w / 4);
    minus_->setGeometry(0, 0, side, h);
    plus_->setGeometry(w - side, 0, side, h);
    left = side + kButtonGap;
    right = w - side - kButtonGap;
  }
  minus_->setVisible(buttons);
  plus_->setVisible(buttons);
  if (model_.valueVis) {
    const QFontMetrics fm(valueLabel_->font());
    const int textWidth = std::max(fm.horizontalAdvance(QString::number(model_.min())),
                                   fm.horizontalAdvance(QString::number(model_.max())));
    const int lw = std::min(textWidth + 8, std::max(0, right - left));
    valueLabel_->setGeometry(right - lw, 0, lw, h);
    right -= lw;
  }
  valueLabel_->setVisible(model_.valueVis);
  bar_ = QRect(left, 0, std::max(0, right - left), h);
  // Resizing moves the knob with the bar but is no change of the value.
  model_.setBarWidth(static_cast<double>(bar_.width()) * kTwipsPerPixel);
}

QRect ValueSlider::knobRect() const {
  const int size = std::max(1, qRound(model_.knobSize() / kTwipsPerPixel));
  return QRect(bar_.left() + qRound(model_.knobLeft() / kTwipsPerPixel), bar_.top(), size, bar_.height());
}

void ValueSlider::paintBar(QPainter& p, int from, int to, Colour edge, Colour middle) const {
  if (to <= from) return;
  const int lines = std::clamp(bar_.height() * 2 / 5, 3, std::max(3, bar_.height()));
  const int top = bar_.top() + (bar_.height() - lines) / 2;
  const Colour back = model_.pic1BackCol;
  for (int i = 0; i < lines; ++i) {
    Colour c = barLineColour(i, lines, edge, middle);
    if (!isEnabled()) c = zorvik::BlendColors(c, back, 60);
    p.setPen(toQColor(c));
    p.drawLine(from, top + i, to - 1, top + i);
  }
}

void ValueSlider::paintKnob(QPainter& p) const {
  const QRectF r = QRectF(knobRect()).adjusted(0.5, 1.5, -0.5, -1.5);
  QColor border(0x70, 0x70, 0x70);
  if (!isEnabled()) border = QColor(0xB0, 0xB0, 0xB0);
  else if (hasFocus()) border = palette().color(QPalette::Highlight);
  p.setRenderHint(QPainter::Antialiasing);
  paintFace(p, r, model_.dragging(), border);
  // A grip of three short lines in the middle of the knob.
  p.setRenderHint(QPainter::Antialiasing, false);
  const QRect k = knobRect();
  const int cy = k.center().y();
  const int x0 = k.left() + 3, x1 = k.right() - 3;
  if (x1 > x0) {
    p.setPen(QColor(0x90, 0x90, 0x90));
    for (const int dy : {-2, 0, 2}) p.drawLine(x0, cy + dy, x1, cy + dy);
  }
}

void ValueSlider::paintEvent(QPaintEvent*) {
  if (bar_.isEmpty()) return;
  QPainter p(this);
  p.fillRect(bar_, toQColor(model_.pic1BackCol));
  const int inset = 2;
  const int from = bar_.left() + inset, to = bar_.right() + 1 - inset;
  const int split = std::clamp(knobRect().center().x(), from, to);
  paintBar(p, from, split, model_.barBaseColLeft, model_.barMidColLeft);
  paintBar(p, split, to, model_.barBaseCol, model_.barMidCol);
  paintKnob(p);
}

void ValueSlider::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutParts();
}

void ValueSlider::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    QFont f = font();
    f.setFamily("Arial");
    valueLabel_->setFont(f);
    layoutParts();
  }
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
}

void ValueSlider::mousePressEvent(QMouseEvent* event) {
  const int b = sliderButton(event->button());
  const QPointF pos = event->position();
  if (b == 0 || !bar_.contains(pos.toPoint())) {
    event->ignore();
    return;
  }
  barButtons_ |= b;
  model_.mouseDown(b, shiftState(event->modifiers()), toTwipsX(pos.x()), toTwipsY(pos.y()));
  update();
}

void ValueSlider::mouseMoveEvent(QMouseEvent* event) {
  if (!model_.dragging()) return;
  model_.mouseMove(sliderButtons(event->buttons()), toTwipsX(event->position().x()));
  update();
}

void ValueSlider::mouseReleaseEvent(QMouseEvent* event) {
  const int b = sliderButton(event->button());
  if (b == 0 || (barButtons_ & b) == 0) {
    event->ignore();
    return;
  }
  barButtons_ &= ~b;
  const QPointF pos = event->position();
  model_.mouseUp(b, shiftState(event->modifiers()), toTwipsX(pos.x()), toTwipsY(pos.y()));
  update();
}

void ValueSlider::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down: setValue(value() - smallChange()); break;
    case Qt::Key_Right:
    case Qt::Key_Up: setValue(value() + smallChange()); break;
    case Qt::Key_PageDown: setValue(value() - largeChange()); break;
    case Qt::Key_PageUp: setValue(value() + largeChange()); break;
    case Qt::Key_Home: setValue(min()); break;
    case Qt::Key_End: setValue(max()); break;
    default: QWidget::keyPressEvent(event); return;  // on to the form (help keys)
  }
}

void ValueSlider::endButtonReleased(SliderStepButton* which, Qt::MouseButton button) {
  const int b = sliderButton(button);
  model_.endButtonReleased(which->isPlus() ? SliderEndButton::Plus : SliderEndButton::Minus,
                           b == 0 ? kSliderRightButton : b);
}

QSize ValueSlider::sizeHint() const { return QSize(160, 21); }

QSize ValueSlider::minimumSizeHint() const {
  return QSize(qRound(model_.knobSize() / kTwipsPerPixel) * 2, 15);
}

}  // namespace zorvik
