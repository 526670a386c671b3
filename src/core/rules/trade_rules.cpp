#include "rules/trade_rules.hpp"

namespace zorvik {

void raiseToStopLevel(TradeRules& rules, int stopLevelPoints) {
  for (int* distance : {&rules.takeprofitLong, &rules.takeprofitShort, &rules.stoplossLong, &rules.stoplossShort,
                        &rules.trailingLong, &rules.trailingShort})
    if (*distance != 0 && *distance < stopLevelPoints) *distance = stopLevelPoints;
}

}  // namespace zorvik
