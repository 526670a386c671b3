#pragma once
// The arithmetic of the program's horizontal slider: an integer position between Min and Max,
// a knob on a bar, "-" and "+" end buttons. Lengths are in twips (15 per pixel), as the
// positions were designed for; the window code converts pixels at its boundary.
//
// Everything the slider tells its host goes through one event sink, in the order it happens,
// so a window can turn the records into signals and a test can compare the whole sequence.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "slider/slider_colours.hpp"

namespace zorvik {

constexpr int kTwipsPerPixel = 15;

// Mouse buttons and shift states as the host sees them.
enum SliderMouseButton : int { kSliderLeftButton = 1, kSliderRightButton = 2, kSliderMiddleButton = 4 };
enum SliderShiftState : int { kSliderShift = 1, kSliderCtrl = 2, kSliderAlt = 4 };

enum class SliderEndButton { Minus, Plus };

struct SliderEvent {
  enum class Kind { MouseDown, MouseUp, Change };
  Kind kind = Kind::Change;
  int button = 0;  // MouseDown / MouseUp
  int shift = 0;   // MouseDown / MouseUp
  double x = 0;    // MouseDown / MouseUp: twips from the bar's top-left corner
  double y = 0;
  int value = 0;   // the slider's Value when the event was raised
};

// Stored description of a slider: property name -> value text.
using SliderPropertyBag = std::map<std::string, std::string>;

class SliderModel {
 public:
  // Knob size of the built-in knob image, in twips.
  static constexpr double kDefaultKnobTwips = 11 * kTwipsPerPixel;

  // A slider created new: Min 0, Max 100, Value 0, grey bar right, red bar left.
  SliderModel();

  // A slider read from a stored description; missing properties take their stored defaults
  // (Value 50 among them). The right-hand bar is grey whatever was stored.
  static SliderModel fromStored(const SliderPropertyBag& bag, double knobImageTwips = kDefaultKnobTwips);
  // The description to store; "ArrowStyle" is written but never read back.
  SliderPropertyBag stored() const;

  using EventSink = std::function<void(const SliderEvent&)>;
  void setEventSink(EventSink sink) { sink_ = std::move(sink); }

  // --- Positions -------------------------------------------------------------------------
  int min() const { return min_; }
  int max() const { return max_; }
  int value() const { return value_; }
  // Ignored above Max; pulls Value up without a Change.
  void setMin(int v);
  // Ignored unless above Min; pulls Value down and raises Change when it does.
  void setMax(int v);
  // Clamped to Min..Max; always raises Change, also when the position stays.
  void setValue(int v);

  int smallChange() const { return smallChange_; }
  int largeChange() const { return largeChange_; }
  void setSmallChange(int v);
  void setLargeChange(int v);

  // --- Geometry (twips) ------------------------------------------------------------------
  double knobSize() const { return knobSize_; }  // `SliderWid_Height`
  void setKnobSize(double twips);
  double barWidth() const { return barWidth_; }  // width of the bar area
  void setBarWidth(double twips);
  // Room the knob's left edge can travel in; never negative.
  double track() const;
  double knobLeft() const { return knobLeft_; }
  bool knobHit(double x) const { return x >= knobLeft_ && x < knobLeft_ + knobSize_; }

  // --- Look ------------------------------------------------------------------------------
  Colour barBaseCol = rgbColour(0x80, 0x80, 0x80);
  Colour barMidCol = rgbColour(0xE0, 0xE0, 0xE0);
  Colour barBaseColLeft = 192;
  Colour barMidColLeft = 0xC0C0FF;
  Colour pic1BackCol = 0xE0E0E0;
  Colour valueCol = 0;
  bool valueVis = false;
  bool hideButtons = true;
  bool dontDraw = false;
  int buttonStyle = 0;
  int arrowStyle = 0;
  // What the value label shows.
  std::string labelText() const;

  // --- Mouse on the bar area (x, y in twips from its top-left corner) --------------------
  void mouseDown(int button, int shift, double x, double y);
  // `buttons` are the buttons held during the move.
  void mouseMove(int buttons, double x);
  void mouseUp(int button, int shift, double x, double y);
  // True while a left press on the knob (or on the bar) moves the knob with the mouse.
  bool dragging() const { return drag_ != Drag::None; }

  // A mouse button released over an end button: left steps by SmallChange, any other by
  // LargeChange, through setValue.
  void endButtonReleased(SliderEndButton which, int button);

 private:
  enum class Drag { None, Knob, FromBar };

  void raise(SliderEvent e);
  void raiseChange();
  void placeKnobFromValue();
  // Steps 1 to 3 of moving the knob: the knob's centre under mouse x, snapped to whole
  // pixels and kept on the track.
  double snappedKnobLeft(double x) const;
  // Twips per position; 0 when the slider has a single position or no track.
  double twipsPerPosition() const;
  void dragTo(double x);
  void dropAt(double x);

  std::int16_t min_ = 0;
  std::int16_t max_ = 100;
  std::int16_t value_ = 0;
  std::int16_t smallChange_ = 1;
  std::int16_t largeChange_ = 10;
  double knobSize_ = kDefaultKnobTwips;
  double barWidth_ = 0;
  double knobLeft_ = 0;
  Drag drag_ = Drag::None;
  bool movedSincePress_ = false;
  EventSink sink_;
};

}  // namespace zorvik
