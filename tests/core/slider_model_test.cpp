#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "slider/slider_colours.hpp"
#include "slider/slider_model.hpp"

namespace zorvik {
namespace {

constexpr double kKnob = 165;  // 11 pixels

// A slider on a bar whose track (bar width minus knob) is `track` twips, with every event it
// raises written down as "Down1", "Up2", "Change=7" ...
struct Slider {
  SliderModel m;
  std::vector<std::string> events;

  Slider(int min, int max, int value, double track) {
    m.setKnobSize(kKnob);
    m.setBarWidth(track + kKnob);
    m.setMin(-32768);  // so that any Max is above Min
    m.setMax(max);
    m.setMin(min);
    m.setValue(value);
    m.setEventSink([this](const SliderEvent& e) {
      switch (e.kind) {
        case SliderEvent::Kind::MouseDown: events.push_back("Down" + std::to_string(e.button)); break;
        case SliderEvent::Kind::MouseUp: events.push_back("Up" + std::to_string(e.button)); break;
        case SliderEvent::Kind::Change: events.push_back("Change=" + std::to_string(e.value)); break;
      }
    });
  }
  double knobCentre() const { return m.knobLeft() + kKnob / 2; }
  // The mouse x that puts the knob's left edge at p.
  static double pointing(double p) { return p + kKnob / 2; }
};

using Events = std::vector<std::string>;

TEST(SliderModel, PropertySettersClampOrIgnore) {
  enum Op { SetValue, SetMin, SetMax };
  struct Case {
    const char* what;
    int min, max, value;
    Op op;
    int arg;
    int wantMin, wantMax, wantValue;
    Events wantEvents;
  };
  const Case cases[] = {
      {"value above max", 0, 300, 10, SetValue, 500, 0, 300, 300, {"Change=300"}},
      {"value below min", 5, 300, 10, SetValue, -7, 5, 300, 5, {"Change=5"}},
      {"same value still tells", 0, 100, 10, SetValue, 10, 0, 100, 10, {"Change=10"}},
      {"value beyond 16 bits", 0, 100, 10, SetValue, 70000, 0, 100, 100, {"Change=100"}},
      {"max equal to min ignored", 10, 20, 15, SetMax, 10, 10, 20, 15, {}},
      {"max below min ignored", 10, 20, 15, SetMax, 3, 10, 20, 15, {}},
      {"max pulls value down", 0, 100, 80, SetMax, 50, 0, 50, 50, {"Change=50"}},
      {"max beyond 16 bits", 0, 100, 80, SetMax, 40000, 0, 32767, 80, {}},
      {"min equal to max accepted", 10, 20, 15, SetMin, 20, 20, 20, 20, {}},
      {"min above max ignored", 10, 20, 15, SetMin, 21, 10, 20, 15, {}},
      {"min pulls value up quietly", 0, 100, 5, SetMin, 30, 30, 100, 30, {}},
  };
  for (const Case& c : cases) {
    Slider s(c.min, c.max, c.value, 1500);
    switch (c.op) {
      case SetValue: s.m.setValue(c.arg); break;
      case SetMin: s.m.setMin(c.arg); break;
      case SetMax: s.m.setMax(c.arg); break;
    }
    EXPECT_EQ(s.m.min(), c.wantMin) << c.what;
    EXPECT_EQ(s.m.max(), c.wantMax) << c.what;
    EXPECT_EQ(s.m.value(), c.wantValue) << c.what;
    EXPECT_EQ(s.events, c.wantEvents) << c.what;
  }
}

TEST(SliderModel, KnobFollowsTheValue) {
  struct Case { int min, max, value; double track, knobLeft; };
  for (const Case& c : {Case{0, 100, 50, 1500, 750}, {0, 4, 3, 150, 112.5}, {-10, 10, -10, 300, 0},
                        {-10, 10, 10, 300, 300}, {0, 3, 1, 100, 100.0 / 3}}) {
    Slider s(c.min, c.max, c.value, c.track);
    EXPECT_DOUBLE_EQ(s.m.knobLeft(), c.knobLeft) << c.min << ".." << c.max << " at " << c.value;
  }

  // One position only: the knob stays where it was, also when the bar changes.
  Slider s(0, 100, 100, 1500);
  s.m.setMin(100);
  EXPECT_DOUBLE_EQ(s.m.knobLeft(), 1500);
  s.m.setBarWidth(600 + kKnob);
  EXPECT_DOUBLE_EQ(s.m.knobLeft(), 600);  // but never off the bar

  // A bar narrower than the knob leaves no track at all.
  s.m.setBarWidth(100);
  EXPECT_EQ(s.m.track(), 0);
  EXPECT_EQ(s.m.knobLeft(), 0);
}

TEST(SliderModel, DraggingAndReleasingTheKnob) {
  // Press the knob in its centre, drag to the point that would put its left edge at p, release
  // there. While dragging the knob stays where the mouse put it (whole pixels) and the value is
  // the nearest position, halves to even; the release puts a halfway point on the lower
  // position and the knob exactly on the value.
  struct Case {
    const char* what;
    int min, max;
    double track, p;
    double dragKnob;
    int dragValue;
    double dropKnob;
    int dropValue;
  };
  const Case cases[] = {
      {"on a position", 0, 100, 1500, 750, 750, 50, 750, 50},
      {"snapped down to a pixel", 0, 100, 1500, 764, 750, 50, 750, 50},
      {"rounded to a twip first", 0, 100, 1500, 764.6, 765, 51, 765, 51},
      {"between positions", 0, 4, 150, 105, 105, 3, 112, 3},  // 112.5 rounds to even
      {"halfway goes even, then down", 0, 2, 60, 45, 45, 2, 30, 1},
      {"halfway near zero", 0, 2, 60, 15, 15, 0, 0, 0},
      {"left of the bar", 0, 100, 1500, -400, 0, 0, 0, 0},
      {"right of the bar", 0, 100, 1500, 99999, 1500, 100, 1500, 100},
      {"negative range", -10, 10, 300, 150, 150, 0, 150, 0},
      {"single position", 7, 7, 300, 150, 150, 7, 0, 7},
  };
  for (const Case& c : cases) {
    Slider s(c.min, c.max, c.min, c.track);
    const double x = Slider::pointing(c.p);
    s.m.mouseDown(kSliderLeftButton, 0, s.knobCentre(), 30);
    ASSERT_TRUE(s.m.dragging()) << c.what;
    s.m.mouseMove(kSliderLeftButton, x);
    EXPECT_DOUBLE_EQ(s.m.knobLeft(), c.dragKnob) << c.what;
    EXPECT_EQ(s.m.value(), c.dragValue) << c.what;
    s.m.mouseUp(kSliderLeftButton, 0, x, 30);
    EXPECT_FALSE(s.m.dragging()) << c.what;
    EXPECT_DOUBLE_EQ(s.m.knobLeft(), c.dropKnob) << c.what;
    EXPECT_EQ(s.m.value(), c.dropValue) << c.what;
  }
}

TEST(SliderModel, MouseGesturesRaiseEventsInOrder) {
  // Min 0, Max 100, track 1500 twips: 15 twips (one pixel) per position; the knob starts at 50.
  struct Step { char kind; int button; double x; };  // 'd' down, 'm' move (left held), 'u' up
  struct Case {
    const char* what;
    std::vector<Step> steps;
    Events want;
    int value;
  };
  const double knob = Slider::pointing(750);
  const double at20 = Slider::pointing(300), at30 = Slider::pointing(450);
  const Case cases[] = {
      {"left click on the knob", {{'d', 1, knob}, {'u', 1, knob}}, {"Down1", "Change=50", "Up1"}, 50},
      {"click off the knob's centre centres it", {{'d', 1, knob + 60}, {'u', 1, knob + 60}},
       {"Down1", "Change=54", "Up1"}, 54},
      {"knob dragged", {{'d', 1, knob}, {'m', 1, at30}, {'m', 1, at20}, {'u', 1, at20}},
       {"Down1", "Change=30", "Change=20", "Change=20", "Up1"}, 20},
      {"left click on the bar", {{'d', 1, at20}, {'u', 1, at20}}, {"Down1", "Change=20", "Up1"}, 20},
      {"drag starting on the bar", {{'d', 1, at20}, {'m', 1, at30}, {'u', 1, at30}},
       {"Down1", "Change=20", "Change=30", "Change=30", "Up1"}, 30},
      {"middle click on the bar", {{'d', 4, at20}, {'u', 4, at20}}, {"Down4", "Change=20", "Up4"}, 20},
      {"middle click on the knob", {{'d', 4, knob + 60}, {'u', 4, knob + 60}}, {"Down4", "Up4"}, 50},
      {"right click on the bar", {{'d', 2, at20}, {'u', 2, at20}}, {"Down2", "Up2"}, 50},
      {"right click on the knob", {{'d', 2, knob}, {'u', 2, knob}}, {"Down2", "Up2"}, 50},
      {"move without a press", {{'m', 1, at20}}, {}, 50},
  };
  for (const Case& c : cases) {
    Slider s(0, 100, 50, 1500);
    for (const Step& st : c.steps) {
      if (st.kind == 'd') s.m.mouseDown(st.button, 0, st.x, 30);
      if (st.kind == 'm') s.m.mouseMove(kSliderLeftButton, st.x);
      if (st.kind == 'u') s.m.mouseUp(st.button, 0, st.x, 30);
    }
    EXPECT_EQ(s.events, c.want) << c.what;
    EXPECT_EQ(s.m.value(), c.value) << c.what;
  }
}

TEST(SliderModel, MouseEventsCarryButtonShiftAndPoint) {
  Slider s(0, 100, 50, 1500);
  std::vector<SliderEvent> seen;
  s.m.setEventSink([&](const SliderEvent& e) { seen.push_back(e); });
  s.m.mouseDown(kSliderRightButton, kSliderShift, 300, 45);
  s.m.mouseUp(kSliderRightButton, kSliderShift | kSliderCtrl, 315, 60);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].kind, SliderEvent::Kind::MouseDown);
  EXPECT_EQ(seen[0].shift, kSliderShift);
  EXPECT_EQ(seen[0].x, 300);
  EXPECT_EQ(seen[0].y, 45);
  EXPECT_EQ(seen[1].kind, SliderEvent::Kind::MouseUp);
  EXPECT_EQ(seen[1].shift, kSliderShift | kSliderCtrl);
  EXPECT_EQ(seen[1].x, 315);
}

TEST(SliderModel, EndButtonsStepThroughValue) {
  struct Case {
    int min, max, value;
    SliderEndButton which;
    int button;
    int want;
  };
  const Case cases[] = {
      {0, 100, 50, SliderEndButton::Plus, kSliderLeftButton, 51},
      {0, 100, 50, SliderEndButton::Minus, kSliderLeftButton, 49},
      {0, 100, 95, SliderEndButton::Plus, kSliderRightButton, 100},
      {0, 100, 50, SliderEndButton::Plus, kSliderMiddleButton, 60},
      {0, 100, 3, SliderEndButton::Minus, kSliderRightButton, 0},
      {0, 100, 0, SliderEndButton::Minus, kSliderLeftButton, 0},
      {0, 32767, 32767, SliderEndButton::Plus, kSliderRightButton, 32767},
      {-32768, 0, -32768, SliderEndButton::Minus, kSliderRightButton, -32768},
  };
  for (const Case& c : cases) {
    Slider s(c.min, c.max, c.value, 1500);
    s.m.setSmallChange(1);
    s.m.setLargeChange(10);
    s.m.endButtonReleased(c.which, c.button);
    EXPECT_EQ(s.events, Events{"Change=" + std::to_string(c.want)}) << c.value << " button " << c.button;
    EXPECT_DOUBLE_EQ(s.m.knobLeft(), 1500.0 * (c.want - c.min) / (c.max - c.min));
  }
}

TEST(SliderColours, BlendAndSplit) {
  struct Case { Colour a, b; double percentage; Colour want; };
  for (const Case& c : {Case{0x000000, 0xFFFFFF, 50, 0x808080}, {0x000000, 0xFFFFFF, 150, 0xFFFFFF},
                        {0x000000, 0xFFFFFF, -20, 0x000000}, {0x0000FF, 0xFF0000, 0, 0x0000FF},
                        {0x0000FF, 0xFF0000, 100, 0xFF0000},
                        // 255 - 0.3 * 255 = 178.5 and 0.3 * 255 = 76.5: both halves go to even
                        {0x0000FF, 0xFF0000, 30, 0x4C00B2},
                        // a system colour (button face) blends as its colour value
                        {0x8000000F, 0x000000, 50, 0x787878}})
    EXPECT_EQ(BlendColors(c.a, c.b, c.percentage), c.want) << std::hex << c.a << " " << c.b << " " << c.percentage;

  int r = -1, g = -1, b = -1;
  GetRGB(r, g, b, 0x00C0A010);
  EXPECT_EQ((std::vector{r, g, b}), (std::vector{0x10, 0xA0, 0xC0}));
  GetRGB(r, g, b, 0x8000000F);
  EXPECT_EQ((std::vector{r, g, b}), (std::vector{240, 240, 240}));
  GetRGB(r, g, b, 0x800000FF);  // no such system colour
  EXPECT_EQ((std::vector{r, g, b}), (std::vector{0, 0, 0}));
  GetRGB(r, g, b, 0x02112233);  // top byte is not part of the colour
  EXPECT_EQ((std::vector{r, g, b}), (std::vector{0x33, 0x22, 0x11}));
}

TEST(SliderColours, BarRunsFromEdgeToMiddleAndBack) {
  const Colour edge = 192, middle = 0xC0C0FF;
  for (const int lines : {2, 7, 8}) {
    EXPECT_EQ(barLineColour(0, lines, edge, middle), edge);
    EXPECT_EQ(barLineColour(lines - 1, lines, edge, middle), edge);
    for (int i = 0; i < lines; ++i)
      EXPECT_EQ(barLineColour(i, lines, edge, middle), barLineColour(lines - 1 - i, lines, edge, middle));
  }
  EXPECT_EQ(barLineColour(3, 7, edge, middle), middle);
  EXPECT_EQ(barLineColour(0, 1, edge, middle), middle);
}

TEST(SliderModel, StoredDescription) {
  // Read from nothing: the stored defaults, with the grey bar on the right.
  const SliderModel plain = SliderModel::fromStored({}, 180);
  EXPECT_EQ(plain.value(), 50);
  EXPECT_EQ(plain.max(), 100);
  EXPECT_EQ(plain.knobSize(), 180);
  EXPECT_EQ(plain.barBaseCol, 0x808080u);
  EXPECT_EQ(plain.barMidCol, 0xC0C0C0u);
  EXPECT_EQ(plain.barBaseColLeft, 192u);
  EXPECT_TRUE(plain.hideButtons);

  // Created new, a slider starts differently.
  const SliderModel fresh;
  EXPECT_EQ(fresh.value(), 0);
  EXPECT_EQ(fresh.barMidCol, 0xE0E0E0u);

  const SliderPropertyBag bag = {
      {"Min", "-5"},          {"Max", "40"},           {"Value", "12"},          {"SmallChange", "2"},
      {"LargeChange", "8"},   {"SliderWid_Height", "195"}, {"BarBaseCol", "255"}, {"BarMidCol", "65280"},
      {"BarBaseColLeft", "-2147483633"}, {"BarMidColLeft", "123"}, {"Pic1BackCol", "456"},
      {"ValueVis", "True"},   {"ValueCol", "789"},     {"ButtonStyle", "1"},     {"ArrowStyle", "3"},
      {"HideButtons", "False"}};
  const SliderModel read = SliderModel::fromStored(bag);
  EXPECT_EQ(read.min(), -5);
  EXPECT_EQ(read.value(), 12);
  EXPECT_EQ(read.knobSize(), 195);
  EXPECT_EQ(read.barBaseColLeft, 0x8000000Fu);
  EXPECT_EQ(read.barBaseCol, 0x808080u);  // overridden
  EXPECT_TRUE(read.valueVis);
  EXPECT_FALSE(read.hideButtons);
  EXPECT_EQ(read.arrowStyle, 0);  // written, never read

  SliderPropertyBag written = read.stored();
  EXPECT_EQ(written["ArrowStyle"], "0");
  EXPECT_EQ(written["BarBaseColLeft"], "-2147483633");
  written["BarBaseCol"] = "255";
  written["BarMidCol"] = "65280";
  written["ArrowStyle"] = "3";
  EXPECT_EQ(written, bag);

  // A description no setter could produce is made sane rather than trusted.
  const SliderModel odd = SliderModel::fromStored({{"Min", "10"}, {"Max", "2"}, {"Value", "99"}, {"SliderWid_Height", "-1"}});
  EXPECT_EQ(odd.max(), 10);
  EXPECT_EQ(odd.value(), 10);
  EXPECT_EQ(odd.knobSize(), SliderModel::kDefaultKnobTwips);
}

}  // namespace
}  // namespace zorvik
