#include <gtest/gtest.h>

#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = cp1252ToUtf8(all);
  EXPECT_EQ(utf8ToCp1252(utf8), all);
}

TEST(Cp1252, MapsTheWindowsCharacters) {
  EXPECT_EQ(cp1252ToUtf8("\x80\xE4\xDF\x96"), "€äß–");
  EXPECT_EQ(utf8ToCp1252("Verzögerung €"), "Verz\xF6gerung \x80");
  // No Windows-1252 byte for these, and a broken sequence: both become "?".
  EXPECT_EQ(utf8ToCp1252("a\xE2\x88\x9E" "b"), "a?b");
  EXPECT_EQ(utf8ToCp1252("a\xC3"), "a?");
  EXPECT_EQ(utf8ToCp1252("\xFF\xFEx"), "??x");
}

TEST(Numbers, LeadingNumber) {
  struct Case { const char* text; double value; };
  for (const Case& c : {Case{"12abc", 12}, {"", 0}, {".05", 0.05}, {"-.5", -0.5}, {"  7", 7}, {"abc", 0},
                        {"1e3x", 1000}, {"1e", 1}, {"+4", 4}, {"3.5.1", 3.5}, {"-", 0}, {"100000", 100000}})
    EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text;
}

TEST(Numbers, RoundsHalfToEven) {
  struct Case { double in, out; };
  for (const Case& c : {Case{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2},
                        {2.5001, 3}, {7, 7}})
    EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
  EXPECT_EQ(toInt16("40000"), 32767);
  EXPECT_EQ(toInt16("-1"), -1);
  EXPECT_EQ(toInt32("2.5"), 2);
  EXPECT_EQ(toInt32("x"), 0);
}

TEST(Numbers, InvariantForm) {
  struct Case { double v; const char* text; };
  for (const Case& c : {Case{0.05, ".05"}, {-0.5, "-.5"}, {1, "1"}, {0, "0"}, {100000, "100000"}, {1.25, "1.25"},
                        {0.1 + 0.2, ".3"}, {-12.5, "-12.5"}, {1e20, "1E+20"}})
    EXPECT_EQ(invariantNumber(c.v), c.text) << c.v;
}

TEST(Numbers, DaySerials) {
  EXPECT_EQ(toDaySerial({1899, 12, 30, 0, 0, 0}), 0.0);
  EXPECT_EQ(toDaySerial({1900, 1, 1, 0, 0, 0}), 2.0);
  EXPECT_EQ(toDaySerial({2026, 12, 9, 12, 0, 0}), 46365.5);
  const DateTime dt{2024, 2, 29, 23, 59, 59};
  EXPECT_EQ(fromDaySerial(toDaySerial(dt)), dt);
  EXPECT_EQ(fromDaySerial(-1.0), (DateTime{1899, 12, 29, 0, 0, 0}));
}

TEST(Strings, SplitTrimUnquoteAndCase) {
  EXPECT_EQ(split("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(split("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(split("a,b,c", ",", 2), (std::vector<std::string>{"a", "b,c"}));
  EXPECT_EQ(splitList(" \"x\" ; y ;\"\"", ";"), (std::vector<std::string>{"x", "y", ""}));
  EXPECT_EQ(unquote("\"a\"b\""), "a\"b");
  EXPECT_EQ(unquote("\""), "\"");
  EXPECT_TRUE(iequals("Verzögerung", "VERZÖGERUNG"));
  EXPECT_FALSE(iequals("ab", "abc"));
  // Case-blind for ASCII and Latin-1 letters alone: the multiplication and division signs stay
  // apart, and a byte after a finished letter pair is read as a letter of its own.
  EXPECT_TRUE(iequals("äÖü", "ÄöÜ"));
  EXPECT_FALSE(iequals("\xC3\x97", "\xC3\xB7"));
  EXPECT_FALSE(iequals("x\xC3", "X\xC4"));
  EXPECT_TRUE(iequals("\xC3\xA4" "a", "\xC3\x84" "A"));
  EXPECT_TRUE(istartsWith("English", "ENG"));
  EXPECT_EQ(replaceAll("a/b/c", "/", "%2F"), "a%2Fb%2Fc");
}

TEST(TextFiles, LinesAreSplitAtEveryKindOfLineEnd) {
  EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(splitLines(std::string("x\0y", 3)).front().size(), 3u);
}

TEST(TextFiles, WriteIsAtomicWhateverStepFails) {
  testing::TempDir dir;
  const auto file = dir.path() / "a.txt";
  ASSERT_TRUE(writeTextLines(file, {"alt", "ä"}));
  EXPECT_EQ(testing::readBytes(file), "alt\r\n\xE4\r\n");
  for (const char* failing : {"open", "write", "flush", "rename"}) {
    setWriteFaultHook([&](std::string_view step) { return step != failing; });
    std::string error;
    EXPECT_FALSE(writeTextLines(file, {"neu"}, &error)) << failing;
    EXPECT_FALSE(error.empty());
    setWriteFaultHook(nullptr);
    EXPECT_EQ(testing::readBytes(file), "alt\r\n\xE4\r\n") << failing;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << "temporary file left";
  }
  EXPECT_FALSE(writeFileAtomic(dir.path() / "missing" / "x.txt", "x"));
}

}  // namespace
}  // namespace zorvik
