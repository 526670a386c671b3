#pragma once

// What every indicator shares: the MA methods and applied prices as the terminal numbers them,
// and the rule that turns a shift into a bar index.
//
// Conventions of every indicator in this folder:
// - Bar index i counts from the oldest bar (0). The series value at i uses bars 0..i only.
// - A value that is not defined (warm-up, or a window reaching before the history) is NaN.
// - Shifts that move a line (ma_shift, bands_shift) are NOT applied in a series: value index =
//   bar index. barAtShift() applies them, so that the engine and the tests share one rule.
// - forming(i, partial) gives bar i's value(s) while bar i is still being formed: from the
//   completed bars 0..i-1 (kept by the indicator) and the partial bar. With the completed bar i
//   it returns the series value at i bit for bit. i may be size() (a bar after the history).
// - Parameters are checked by the constructors: a bad period, step or digits throws
//   std::invalid_argument with a message naming the parameter.
// - Prices are taken as whole numbers of points (10^-digits of the series), so that every sum
//   over a window is exact and is rounded to a double once, whatever the order of adding.

#include <cstddef>
#include <optional>
#include <string_view>

namespace zorvik {

// MODE_SMA .. MODE_LWMA of the terminal (0..3).
enum class MaMethod { Simple = 0, Exponential = 1, Smoothed = 2, LinearWeighted = 3 };

// PRICE_CLOSE .. PRICE_WEIGHTED of the terminal (0..6).
enum class AppliedPrice { Close = 0, Open = 1, High = 2, Low = 3, Median = 4, Typical = 5, Weighted = 6 };

// The terminal's constant as the enum; nullopt for a number outside the range.
std::optional<MaMethod> maMethodFromNumber(int number);
std::optional<AppliedPrice> appliedPriceFromNumber(int number);

std::string_view maMethodName(MaMethod method);          // "SMA", "EMA", "SMMA", "LWMA"
std::string_view appliedPriceName(AppliedPrice price);   // "Close", "Open", ... "Weighted"

// The bar whose value an indicator call reads: `currentBar` is the index of the bar at shift 0
// (the bar being formed), `shift` the call's shift, `indicatorShift` the ma_shift/bands_shift
// that moves the line right (0 for the others). The value at shift s is the indicator's value at
// bar currentBar - (s + indicatorShift). nullopt when that effective shift is negative or reaches
// before the first bar: the value is undefined there.
// When the result equals currentBar, the caller needs the forming value of that bar.
std::optional<std::size_t> barAtShift(std::size_t currentBar, int shift, int indicatorShift = 0);

}  // namespace zorvik
