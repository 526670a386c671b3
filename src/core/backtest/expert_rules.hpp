#pragma once
// The trading rules of a system as its generated Expert Advisor holds them: the stop distances,
// the hedging switch, the day limit and the money management, read from the model the way the
// generator writes them into the listing's globals.
#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace zorvik {

class TradingSystem;
class Catalogue;
class DefinitionTable;

enum class LotMethod { FixedLots, FixedFractional, FixedRatio, None };

struct ExpertRules {
  // Distances in points; 0 means none. Long stops come from the exit-long group, short
  // stops from the exit-short group.
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
  // The symbol the EA trades; "Symbol()" for the chart's.
  std::string symbol = "Symbol()";
};

// The rules, or why the Expert Advisor of this system could not be generated (the same
// refusal the generator gives, so a backtest never runs a system that cannot be traded).
std::variant<ExpertRules, std::string> expertRulesOf(const TradingSystem& system, const Catalogue& catalogue,
                                                     const DefinitionTable& definitions);

// init()'s checkStoplevels: a distance that is set but below the broker's stop level is
// raised to it.
void raiseToStopLevel(ExpertRules& rules, int stopLevelPoints);

}  // namespace zorvik
