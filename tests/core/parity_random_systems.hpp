#pragma once
// Trading systems made up at random from a seed: groups of indicators of every kind the
// engine knows, random parameters, timeframes, thresholds, stops, trailing and money
// management. The same seed gives the same system on every machine.
#include <cstdint>

#include "backtest/backtest_settings.hpp"
#include "model/trading_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

TradingSystem randomSystem(Workspace& ws, std::uint64_t seed);

// A broker and an account made up from a seed for the system: deposits small for its lots
// and high leverage (so that orders are refused for margin and accounts are stopped out),
// commission, swaps of both signs, a spread and a stop level.
BacktestSettings randomAccount(const TradingSystem& system, std::uint64_t seed);

}  // namespace zorvik::testing
