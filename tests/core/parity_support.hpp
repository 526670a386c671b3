#pragma once
// Runs a trading system twice on one history, once in the backtest engine and once as its
// generated Expert Advisor in the MQL4 interpreter, and tells where their trades differ.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "backtest/backtest_settings.hpp"
#include "market/bar_series.hpp"
#include "model/trading_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

struct ParityOutcome {
  bool ran = false;        // false: the engine refused the system on this history (refusal says why)
  std::string refusal;
  int trades = 0;          // the engine's
  int stopOuts = 0;        // the engine's trades the stop out closed
  int refusedForMoney = 0; // the engine's entries refused with error 134
  std::string difference;  // empty when both agree trade for trade
};

// A walk of bars (hourly unless told) with a gap now and then (the open far from the last close), so that
// stops are jumped over; the same on every machine. No bars on Saturdays and Sundays.
BarSeries walkWithGaps(const std::string& symbol, int digits, std::uint64_t seed, int bars, int minutes = 60);

// log, when set, is given every line the Expert Advisor prints.
ParityOutcome compareEngineAndExpert(const Workspace& ws, const TradingSystem& system, const BarSeries& history,
                                     const BacktestSettings& settings = {},
                                     const std::function<void(std::string_view)>& log = {});

}  // namespace zorvik::testing
