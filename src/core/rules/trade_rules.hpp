#pragma once
#include <array>
#include <cstdint>

namespace zorvik {

enum class LotMethod { FixedLots, FixedFractional, FixedRatio, None };

// What the Expert Advisor trades with: stops of the exit groups, hedging, the day limit and the
// money management. Distances in points; 0 means none. Long stops come from the exit-long
// group, short stops from the exit-short group.
struct TradeRules {
  int stoplossLong = 0;
  int takeprofitLong = 0;
  int stoplossShort = 0;
  int takeprofitShort = 0;
  int trailingLong = 0;
  int trailingShort = 0;
  bool hedging = false;
  int maxTrades = 0;  // per day; 0: no limit
  LotMethod lotMethod = LotMethod::FixedLots;
  double lots = 0;     // mmLots
  double maxLots = 0;  // mmMaxLots: no new order while the side holds this many lots; 0: no limit
  double fraction = 0;
  double base = 0;
  double delta = 0;
  // The points a group must reach, entry long, exit long, entry short, exit short.
  std::array<std::int32_t, 4> thresholds{};
};

// At the start, as the Expert Advisor does: a distance that is set but below the broker's stop
// level is raised to it.
void raiseToStopLevel(TradeRules& rules, int stopLevelPoints);

}  // namespace zorvik
