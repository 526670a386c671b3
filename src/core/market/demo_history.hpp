#pragma once
// A synthetic history for trying the program without real prices: symbol "DEMO", H1, two
// years, 5 digits. The same on every machine (own generator, no std distributions).
#include <cstdint>

#include "market/bar_series.hpp"

namespace zorvik {

BarSeries makeDemoHistory(std::uint64_t seed = 20240101);

}  // namespace zorvik
