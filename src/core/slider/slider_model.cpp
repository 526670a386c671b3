#include "slider/slider_model.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {

namespace {

std::int16_t toShort(long long v) {
  return static_cast<std::int16_t>(std::clamp<long long>(v, std::numeric_limits<std::int16_t>::min(),
                                                         std::numeric_limits<std::int16_t>::max()));
}

// Colours are stored as signed 32-bit numbers, so a system colour reads back negative.
Colour readColour(const SliderPropertyBag& bag, const char* key, Colour fallback) {
  const auto it = bag.find(key);
  if (it == bag.end()) return fallback;
  double v = leadingNumber(it->second);
  if (v < 0) v += 4294967296.0;
  return static_cast<Colour>(std::clamp(v, 0.0, 4294967295.0));
}

std::string colourText(Colour c) { return intText(static_cast<std::int32_t>(c)); }

bool readFlag(const SliderPropertyBag& bag, const char* key, bool fallback) {
  const auto it = bag.find(key);
  if (it == bag.end()) return fallback;
  if (iequals(trim(it->second), "True")) return true;
  if (iequals(trim(it->second), "False")) return false;
  return leadingNumber(it->second) != 0;
}

std::int16_t readShort(const SliderPropertyBag& bag, const char* key, std::int16_t fallback) {
  const auto it = bag.find(key);
  return it == bag.end() ? fallback : toInt16(it->second);
}

}  // namespace

SliderModel::SliderModel() = default;

SliderModel SliderModel::fromStored(const SliderPropertyBag& bag, double knobImageTwips) {
  SliderModel m;
  m.min_ = readShort(bag, "Min", 0);
  m.max_ = readShort(bag, "Max", 100);
  // A hand-edited description could name a maximum below the minimum; the setters would never
  // allow that state, so the reader does not either.
  if (m.max_ < m.min_) m.max_ = m.min_;
  m.value_ = std::clamp(readShort(bag, "Value", 50), m.min_, m.max_);
  m.smallChange_ = readShort(bag, "SmallChange", 1);
  m.largeChange_ = readShort(bag, "LargeChange", 10);
  if (knobImageTwips > 0) m.knobSize_ = knobImageTwips;
  if (const auto it = bag.find("SliderWid_Height"); it != bag.end()) {
    const double t = leadingNumber(it->second);
    if (t > 0) m.knobSize_ = t;
  }
  m.barBaseCol = readColour(bag, "BarBaseCol", 0xFF0000);
  m.barMidCol = readColour(bag, "BarMidCol", m.barMidCol);
  m.barBaseColLeft = readColour(bag, "BarBaseColLeft", 192);
  m.barMidColLeft = readColour(bag, "BarMidColLeft", 0xC0C0FF);
  m.pic1BackCol = readColour(bag, "Pic1BackCol", 0xE0E0E0);
  m.valueVis = readFlag(bag, "ValueVis", false);
  m.valueCol = readColour(bag, "ValueCol", 0);
  m.buttonStyle = readShort(bag, "ButtonStyle", 0);
  m.hideButtons = readFlag(bag, "HideButtons", true);
  // Every slider of the program shows the same grey right-hand bar, whatever a form stored.
  m.barBaseCol = 0x808080;
  m.barMidCol = 0xC0C0C0;
  m.placeKnobFromValue();
  return m;
}

SliderPropertyBag SliderModel::stored() const {
  return {
      {"Min", intText(min_)},
      {"Max", intText(max_)},
      {"Value", intText(value_)},
      {"SmallChange", intText(smallChange_)},
      {"LargeChange", intText(largeChange_)},
      {"SliderWid_Height", invariantNumber(knobSize_)},
      {"BarBaseCol", colourText(barBaseCol)},
      {"BarMidCol", colourText(barMidCol)},
      {"BarBaseColLeft", colourText(barBaseColLeft)},
      {"BarMidColLeft", colourText(barMidColLeft)},
      {"Pic1BackCol", colourText(pic1BackCol)},
      {"ValueVis", valueVis ? "True" : "False"},
      {"ValueCol", colourText(valueCol)},
      {"ButtonStyle", intText(buttonStyle)},
      {"ArrowStyle", intText(arrowStyle)},
      {"HideButtons", hideButtons ? "True" : "False"},
  };
}

void SliderModel::raise(SliderEvent e) {
  e.value = value_;
  if (sink_) sink_(e);
}

void SliderModel::raiseChange() { raise(SliderEvent{SliderEvent::Kind::Change}); }

void SliderModel::setMin(int v) {
  const std::int16_t m = toShort(v);
  if (m > max_) return;
  min_ = m;
  if (value_ < min_) value_ = min_;
  placeKnobFromValue();
}

void SliderModel::setMax(int v) {
  const std::int16_t m = toShort(v);
  if (m <= min_) return;
  max_ = m;
  if (value_ > max_) {
    value_ = max_;
    placeKnobFromValue();
    raiseChange();
    return;
  }
  placeKnobFromValue();
}

void SliderModel::setValue(int v) {
  value_ = static_cast<std::int16_t>(std::clamp<int>(v, min_, max_));
  placeKnobFromValue();
  raiseChange();
}

void SliderModel::setSmallChange(int v) { smallChange_ = toShort(v); }
void SliderModel::setLargeChange(int v) { largeChange_ = toShort(v); }

void SliderModel::setKnobSize(double twips) {
  if (!(twips > 0)) return;
  knobSize_ = twips;
  placeKnobFromValue();
}

void SliderModel::setBarWidth(double twips) {
  barWidth_ = std::isfinite(twips) ? std::max(0.0, twips) : 0.0;
  placeKnobFromValue();
}

double SliderModel::track() const { return std::max(0.0, barWidth_ - knobSize_); }

double SliderModel::twipsPerPosition() const {
  const double t = track();
  return (max_ == min_ || t <= 0) ? 0.0 : t / (max_ - min_);
}

void SliderModel::placeKnobFromValue() {
  // With a single position there is nothing to compute; the knob keeps its place.
  if (max_ != min_) knobLeft_ = track() / (max_ - min_) * (value_ - min_);
  knobLeft_ = std::clamp(knobLeft_, 0.0, track());
}

std::string SliderModel::labelText() const { return intText(value_); }

double SliderModel::snappedKnobLeft(double x) const {
  double p = roundHalfEven(x - knobSize_ / 2);
  p -= std::fmod(p, static_cast<double>(kTwipsPerPixel));
  return std::clamp(p, 0.0, track());
}

void SliderModel::dragTo(double x) {
  knobLeft_ = snappedKnobLeft(x);
  const double u = twipsPerPosition();
  // A slider with one position (or no room to move) stays on Min instead of dividing by zero.
  const double steps = u > 0 ? roundHalfEven(knobLeft_ / u) : 0.0;
  value_ = static_cast<std::int16_t>(std::clamp<double>(min_ + steps, min_, max_));
  raiseChange();
}

void SliderModel::dropAt(double x) {
  const double p = snappedKnobLeft(x);
  const double u = twipsPerPosition();
  // 0.4995 instead of 0.5: a point exactly between two positions goes to the lower one.
  const double steps = u > 0 ? std::floor(p / u + 0.4995) : 0.0;
  value_ = static_cast<std::int16_t>(std::clamp<double>(min_ + steps, min_, max_));
  knobLeft_ = roundHalfEven(u * (value_ - min_));
  raiseChange();
}

void SliderModel::mouseDown(int button, int shift, double x, double y) {
  // Decide what was hit before the host hears of the press: its handler may re-lay the slider.
  const bool onKnob = knobHit(x);
  raise(SliderEvent{SliderEvent::Kind::MouseDown, button, shift, x, y});
  if (button == kSliderLeftButton && onKnob) {
    drag_ = Drag::Knob;
    movedSincePress_ = false;
  } else if (button != kSliderRightButton && !onKnob) {
    if (button == kSliderLeftButton) {
      drag_ = Drag::FromBar;
      movedSincePress_ = false;
    }
    dropAt(x);
  }
}

void SliderModel::mouseMove(int buttons, double x) {
  if (drag_ == Drag::None) return;
  if ((buttons & kSliderLeftButton) == 0) {
    // The release went elsewhere (a grab was lost); stop following the mouse.
    drag_ = Drag::None;
    return;
  }
  movedSincePress_ = true;
  dragTo(x);
}

void SliderModel::mouseUp(int button, int shift, double x, double y) {
  if (button == kSliderLeftButton && drag_ != Drag::None) {
    // A bar click already put the knob in place on the press; only a drag needs the snap.
    const bool snap = drag_ == Drag::Knob || movedSincePress_;
    drag_ = Drag::None;
    if (snap) dropAt(x);
  }
  raise(SliderEvent{SliderEvent::Kind::MouseUp, button, shift, x, y});
}

void SliderModel::endButtonReleased(SliderEndButton which, int button) {
  const int step = button == kSliderLeftButton ? smallChange_ : largeChange_;
  setValue(which == SliderEndButton::Plus ? value_ + step : value_ - step);
}

}  // namespace zorvik
