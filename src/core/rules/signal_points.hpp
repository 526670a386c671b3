#pragma once
// How a group counts: the signal values of its indicators, the points its threshold asks for,
// and the side an indicator votes for.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

class SignalGroup;

// The side code an indicator's lines are written for: its group's code for "idStandard", the
// opposite side ("L" <-> "S", "XL" <-> "XS") for "idReverse", empty for anything else.
std::string sideCodeFor(std::string_view actionType, std::string_view groupSide);

// True when a signal value can be summed: after blanks, a decimal number with "." as the
// point (optional sign and exponent) and nothing else.
bool isSignalNumber(std::string_view value);

// The group's signal values summed in list order, rounded half to even after each addition;
// nullopt when a value is not a number (the position of the first such indicator, 1-based, in
// *badPosition).
std::optional<double> signalSum(const SignalGroup& group, int* badPosition = nullptr);

// The points a group needs: floor(p * sum / 100) with p the leading number of the threshold
// text rounded half to even. The product is held as a 32-bit integer, saturating.
std::int32_t thresholdPoints(std::string_view threshold, double sum);

}  // namespace zorvik
