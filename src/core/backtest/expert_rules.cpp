#include "backtest/expert_rules.hpp"

#include <cmath>

#include "generator/expert_generator.hpp"
#include "generator/expert_values.hpp"
#include "model/definition_table.hpp"
#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

// The listing declares these `extern int`; the value check before let only whole numbers in
// the int range through, so the leading number is the value.
int intValue(std::string_view text) { return clampToInt32(leadingNumber(text)); }

LotMethod lotMethodOf(std::string_view type) {
  if (type.empty() || type == "#0" || type == "idFixed Lots") return LotMethod::FixedLots;
  if (type == "idFixed Fractional") return LotMethod::FixedFractional;
  if (type == "idFixed Ratio") return LotMethod::FixedRatio;
  return LotMethod::None;
}

}  // namespace

std::variant<ExpertRules, std::string> expertRulesOf(const TradingSystem& system, const Catalogue& catalogue,
                                                     const DefinitionTable& definitions) {
  // The generator's own checks: what it would refuse, the backtest refuses with the same words.
  const ExpertSource source = expertSourceLines(system, catalogue, definitions, ExpertOptions{"0", "", nullptr});
  if (!source.ok()) return source.fault;

  ExpertRules r;
  const SignalGroup& exitLong = system.group(groupNumber(GroupRole::ExitLong));
  const SignalGroup& exitShort = system.group(groupNumber(GroupRole::ExitShort));
  r.stoplossLong = intValue(exitLong.sl);
  r.takeprofitLong = intValue(exitLong.tp);
  r.trailingLong = intValue(exitLong.ts);
  r.stoplossShort = intValue(exitShort.sl);
  r.takeprofitShort = intValue(exitShort.tp);
  r.trailingShort = intValue(exitShort.ts);

  std::string hedging = definitions.idToMeta4(system.mm.hedging);
  if (!hedging.empty() && hedging.front() == '#') hedging.erase(0, 1);
  hedging = trim(hedging);
  r.hedging = iequals(hedging, "true") || (!hedging.empty() && leadingNumber(hedging) != 0);

  const MoneyManagementRecord& mm = system.mm;
  r.maxTrades = intValue(mm.maxtrades);
  r.lotMethod = lotMethodOf(mm.type);
  r.lots = leadingNumber(lotsText(mm.lots));
  r.maxLots = leadingNumber(lotsText(mm.maxlots));
  r.fraction = leadingNumber(mm.fraction);
  r.base = leadingNumber(mm.base);
  r.delta = leadingNumber(mm.delta);
  r.symbol = mm.symbol;
  // The terminal stops an EA that divides by zero; the backtest refuses before it starts.
  if (r.lotMethod == LotMethod::FixedFractional && r.fraction == 0)
    return std::string("Fixed Fractional divides the equity by the fraction, which is 0");
  if (r.lotMethod == LotMethod::FixedRatio && r.delta == 0)
    return std::string("Fixed Ratio divides by the delta, which is 0");

  for (int g = 1; g <= kGroupCount; ++g) {
    const SignalGroup& group = system.group(g);
    const auto sum = signalSum(group);
    r.thresholds[static_cast<std::size_t>(g - 1)] = sum ? thresholdPoints(group.threshold, *sum) : 0;
  }
  return r;
}

void raiseToStopLevel(ExpertRules& rules, int stopLevelPoints) {
  for (int* distance : {&rules.takeprofitLong, &rules.takeprofitShort, &rules.stoplossLong, &rules.stoplossShort,
                        &rules.trailingLong, &rules.trailingShort})
    if (*distance != 0 && *distance < stopLevelPoints) *distance = stopLevelPoints;
}

}  // namespace zorvik
