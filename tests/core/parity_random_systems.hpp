#pragma once
// Trading systems made up at random from a seed: groups of indicators of every kind the
// engine knows, random parameters, timeframes, thresholds, stops, trailing and money
// management. The same seed gives the same system on every machine.
#include <cstdint>

#include "model/trading_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

TradingSystem randomSystem(Workspace& ws, std::uint64_t seed);

}  // namespace zorvik::testing
