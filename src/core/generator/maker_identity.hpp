#pragma once
// Who made the Expert Advisors this program writes: the copyright text of their header and the
// web address of their header and chart comment. Kept here, and only here.
#include <string_view>

namespace zorvik {

inline constexpr std::string_view kMakerCopyright = "Copyright © 2026, Zorvik";
inline constexpr std::string_view kMakerWebAddress = "https://zorvik.app";

}  // namespace zorvik
