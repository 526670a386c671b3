#pragma once
// The program's horizontal slider: a gradient bar with a knob, red left of the knob and grey
// right of it, optional "-" and "+" buttons at the ends and an optional value label. Positions
// are integers between Min and Max; callers with decimal values scale them.
//
// All position arithmetic lives in SliderModel; this class lays out the parts in pixels,
// paints them and turns the model's events into signals, in the order the model raises them.
#include <QPoint>
#include <QString>
#include <QWidget>

#include "slider/slider_model.hpp"

class QLabel;

namespace zorvik {

class SliderStepButton;

class ValueSlider : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Value READ value WRITE setValue NOTIFY changed)

 public:
  // Min 0, Max 100, Value 0, no buttons.
  explicit ValueSlider(QWidget* parent = nullptr);
  ~ValueSlider() override;

  // --- Positions ---------------------------------------------------------------------------
  int min() const { return model_.min(); }
  int max() const { return model_.max(); }
  int value() const { return model_.value(); }
  int smallChange() const { return model_.smallChange(); }
  int largeChange() const { return model_.largeChange(); }
  // Ignored above Max; pulls Value up without `changed`.
  void setMin(int v);
  // Ignored unless above Min; pulls Value down with `changed`.
  void setMax(int v);
  // Clamped to Min..Max; emits `changed` every time, also when the position stays.
  void setValue(int v);
  void setSmallChange(int v);

  // --- Look --------------------------------------------------------------------------------
  // The value label right of the bar.
  bool valueVisible() const { return model_.valueVis; }
  void setValueVisible(bool on);
  // Without buttons the bar takes the whole width.
  bool hideButtons() const { return model_.hideButtons; }
  void setHideButtons(bool hide);
  // 0: raised end buttons; 1: flat ones. Other numbers look like 0.
  int buttonStyle() const { return model_.buttonStyle; }
  // The bar area's background, a colour number 0x00BBGGRR (0x800000nn: a system colour).
  uint backgroundColour() const { return model_.pic1BackCol; }

  static QColor toQColor(uint colour);

  // --- Parts, in pixels of this widget -------------------------------------------------------
  QRect barRect() const { return bar_; }
  QRect knobRect() const;       // inside the bar
  QWidget* minusButton() const;  // "-"
  QWidget* plusButton() const;   // "+"
  QLabel* valueLabel() const { return valueLabel_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A mouse button went down / up on the knob or the bar; pos in this widget's pixels.
  void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  // Value was set, the knob dragged or released, the bar clicked or an end button used.
  void changed(int value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void onModelEvent(const SliderEvent& e);
  void layoutParts();
  void paintBar(QPainter& p, int from, int to, Colour edge, Colour middle) const;
  void paintKnob(QPainter& p) const;
  double toTwipsX(double px) const { return (px - bar_.left()) * kTwipsPerPixel; }
  double toTwipsY(double px) const { return (px - bar_.top()) * kTwipsPerPixel; }
  QPoint fromTwips(double x, double y) const;
  void endButtonReleased(SliderStepButton* which, Qt::MouseButton button);

  SliderModel model_;
  SliderStepButton* minus_ = nullptr;
  SliderStepButton* plus_ = nullptr;
  QLabel* valueLabel_ = nullptr;
  QRect bar_;
  int barButtons_ = 0;  // buttons whose press landed on the bar area
};

}  // namespace zorvik
