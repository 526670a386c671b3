// RSI Cross: below the action line at bar s and at or above it at bar s+1 (bullish), or the
// mirror (bearish).
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::Rsi, 0}, {OperandLine::Level, 0}, {OperandLine::Rsi, 1}, {OperandLine::Level, 1}}};
}

// The RSI lives in 0..100: it cannot cross a line it never reaches.
NeverHoldsFinding neverHolds(const IndicatorRule& rule, bool bullish) {
  const double level = rule.level.value;
  if (bullish ? (level <= 0 || level > 100) : (level >= 100 || level < 0)) return {NeverHolds::LevelBeyondScale, rule.levelKey};
  return {};
}

}  // namespace

const KindCondition kRsiCross{SignalTest::CrossBelow, SignalTest::CrossAbove, false, operands, neverHolds};

}  // namespace zorvik::kinds
