#pragma once
#include <array>
#include <string_view>

namespace zorvik {

// 48 parameter rows: key, caption, English caption, alias, description, minimum, maximum,
// step, kind, default, scale, zero text.
extern const std::array<std::string_view, 48> kParameterRows;
// Twelve indicator types, then six "!" rows naming the parameter sets of the other kinds.
extern const std::array<std::string_view, 18> kIndicatorRows;

}  // namespace zorvik
