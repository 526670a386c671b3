// RSI: below the action line at bar s (bullish, oversold) or above it (bearish, overbought).
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::Rsi, 0}, {OperandLine::Level, 0}, {}, {}}};
}

// The RSI lives in 0..100: below a level of 0 or above one of 100 it never gets.
NeverHoldsFinding neverHolds(const IndicatorRule& rule, bool bullish) {
  if (bullish ? rule.level.value <= 0 : rule.level.value >= 100) return {NeverHolds::LevelBeyondScale, rule.levelKey};
  return {};
}

}  // namespace

const KindCondition kRsi{SignalTest::KBelowL, SignalTest::KAboveL, false, operands, neverHolds};

}  // namespace zorvik::kinds
