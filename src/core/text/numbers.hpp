#pragma once
// Numbers are kept as text everywhere in the model. These helpers turn text into numbers and
// back without ever looking at the user's locale: the decimal point is always ".".
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik {

// The number at the start of a text, after leading blanks: "12abc" -> 12, "" -> 0,
// ".05" -> 0.05, "-3.5e2x" -> -350, "abc" -> 0. Never throws.
double leadingNumber(std::string_view s);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double v);

// Text -> integer the way a stored flag or count is read: the leading number, rounded half to
// even, clamped to the range of the type.
std::int16_t toInt16(std::string_view s);
std::int32_t toInt32(std::string_view s);
std::int32_t clampToInt32(double v);

// The invariant number form: decimal point ".", no zero before the point (".05", "-.5"),
// at most 15 significant digits, no trailing zeros, integers without a point.
std::string invariantNumber(double v);

// A number text as code writes it, so that a C-like reader takes it as the decimal the trader
// meant: blanks and a "+" dropped, no leading zero on the whole part ("08" -> "8", "020" ->
// "20", which such a reader could take as octal), a zero before a bare point (".5" -> "0.5",
// "-.5" -> "-0.5") and after a trailing one ("5." -> "5.0", still a double). The fraction stays
// as written ("0.50"). A text that is not a plain decimal is returned unchanged.
std::string plainDecimal(std::string_view text);

// Whole integer as decimal text.
std::string intText(std::int64_t v);

// Date and time as a day serial: days since 1899-12-30, the time of day as the fraction.
struct DateTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  bool operator==(const DateTime&) const = default;
};
double toDaySerial(const DateTime& dt);
DateTime fromDaySerial(double serial);
// The local time now.
DateTime localNow();

}  // namespace zorvik
