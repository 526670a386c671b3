// Stochastic: %K of bar s below the trigger (bullish, oversold) or above it (bearish).
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::StochasticMain, 0}, {OperandLine::Level, 0}, {}, {}}};
}

// %K lives in 0..100: below a trigger of 0 or above one of 100 it never gets.
NeverHoldsFinding neverHolds(const IndicatorRule& rule, bool bullish) {
  if (bullish ? rule.level.value <= 0 : rule.level.value >= 100) return {NeverHolds::LevelBeyondScale, rule.levelKey};
  return {};
}

}  // namespace

const KindCondition kStochastic{SignalTest::KBelowL, SignalTest::KAboveL, false, operands, neverHolds};

}  // namespace zorvik::kinds
