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
  Q_PROPERTY(int Min READ min WRITE setMin)
  Q_PROPERTY(int Max READ max WRITE setMax)
  Q_PROPERTY(int Value READ value WRITE setValue NOTIFY changed)
  Q_PROPERTY(int SmallChange READ smallChange WRITE setSmallChange)
  Q_PROPERTY(int LargeChange READ largeChange WRITE setLargeChange)
  Q_PROPERTY(double SliderWid_Height READ sliderWidHeight WRITE setSliderWidHeight)
  Q_PROPERTY(uint BarBaseCol READ barBaseCol WRITE setBarBaseCol)
  Q_PROPERTY(uint BarMidCol READ barMidCol WRITE setBarMidCol)
  Q_PROPERTY(uint BarBaseColLeft READ barBaseColLeft WRITE setBarBaseColLeft)
  Q_PROPERTY(uint BarMidColLeft READ barMidColLeft WRITE setBarMidColLeft)
  Q_PROPERTY(uint Pic1BackCol READ pic1BackCol WRITE setPic1BackCol)
  Q_PROPERTY(bool ValueVis READ valueVis WRITE setValueVis)
  Q_PROPERTY(uint ValueCol READ valueCol WRITE setValueCol)
  Q_PROPERTY(int ButtonStyle READ buttonStyle WRITE setButtonStyle)
  Q_PROPERTY(int ArrowStyle READ arrowStyle WRITE setArrowStyle)
  Q_PROPERTY(bool HideButtons READ hideButtons WRITE setHideButtons)
  Q_PROPERTY(bool DontDraw READ dontDraw WRITE setDontDraw)

 public:
  // A slider created new: Min 0, Max 100, Value 0, no buttons.
  explicit ValueSlider(QWidget* parent = nullptr);
  // A slider as placed on a form: the stored description, its defaults for what is missing
  // (Value 50) and the grey right-hand bar.
  explicit ValueSlider(const SliderPropertyBag& stored, QWidget* parent = nullptr);
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
  void setLargeChange(int v);

  // --- Look --------------------------------------------------------------------------------
  // Knob size in twips (15 per pixel).
  double sliderWidHeight() const { return model_.knobSize(); }
  void setSliderWidHeight(double twips);
  // Colours are numbers 0x00BBGGRR; a number 0x800000nn is a system colour.
  uint barBaseCol() const { return model_.barBaseCol; }
  uint barMidCol() const { return model_.barMidCol; }
  uint barBaseColLeft() const { return model_.barBaseColLeft; }
  uint barMidColLeft() const { return model_.barMidColLeft; }
  uint pic1BackCol() const { return model_.pic1BackCol; }
  uint valueCol() const { return model_.valueCol; }
  void setBarBaseCol(uint c);
  void setBarMidCol(uint c);
  void setBarBaseColLeft(uint c);
  void setBarMidColLeft(uint c);
  void setPic1BackCol(uint c);
  void setValueCol(uint c);
  bool valueVis() const { return model_.valueVis; }
  void setValueVis(bool on);
  // 0: raised end buttons; 1: flat ones. Other numbers look like 0.
  int buttonStyle() const { return model_.buttonStyle; }
  void setButtonStyle(int style);
  // Kept and stored only; it changes nothing on screen.
  int arrowStyle() const { return model_.arrowStyle; }
  void setArrowStyle(int style) { model_.arrowStyle = style; }
  // Without buttons the bar takes the whole width.
  bool hideButtons() const { return model_.hideButtons; }
  void setHideButtons(bool hide);
  // While true, property changes do not repaint; setting it back to false repaints once.
  bool dontDraw() const { return model_.dontDraw; }
  void setDontDraw(bool on);

  // The description to store with a form.
  SliderPropertyBag storedProperties() const { return model_.stored(); }

  // --- Frame -------------------------------------------------------------------------------
  using QWidget::move;
  void move(int left, int top, int width, int height) { setGeometry(left, top, width, height); }
  QString tag() const { return tag_; }
  void setTag(const QString& tag) { tag_ = tag; }
  QString name() const { return objectName(); }

  // --- Colours -----------------------------------------------------------------------------
  static void GetRGB(int& r, int& g, int& b, uint colour) { zorvik::GetRGB(r, g, b, colour); }
  static uint BlendColors(uint colour1, uint colour2, double percentage) {
    return zorvik::BlendColors(colour1, colour2, percentage);
  }
  static QColor toQColor(uint colour);
  // Redraws the bar, the part left of the knob included.
  void dored();

  // --- Parts, in pixels of this widget -------------------------------------------------------
  QRect pic1Rect() const { return pic1_; }  // the bar area
  QRect knobRect() const;                   // the knob (ImgKnob) inside it
  QWidget* cmdLeft() const;                 // "-"
  QWidget* cmdRight() const;                // "+"
  QLabel* label1() const { return label1_; }

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
  void init();
  void onModelEvent(const SliderEvent& e);
  void layoutParts();
  void redraw();
  void paintBar(QPainter& p, int from, int to, Colour edge, Colour middle) const;
  void paintKnob(QPainter& p) const;
  double toTwipsX(double px) const { return (px - pic1_.left()) * kTwipsPerPixel; }
  double toTwipsY(double px) const { return (px - pic1_.top()) * kTwipsPerPixel; }
  QPoint fromTwips(double x, double y) const;
  void endButtonReleased(SliderStepButton* which, Qt::MouseButton button);

  SliderModel model_;
  SliderStepButton* cmdLeft_ = nullptr;
  SliderStepButton* cmdRight_ = nullptr;
  QLabel* label1_ = nullptr;
  QRect pic1_;
  int barButtons_ = 0;  // buttons whose press landed on the bar area
  QString tag_;
};

}  // namespace zorvik
