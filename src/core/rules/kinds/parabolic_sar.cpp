// Parabolic SAR: the SAR flips below the price (bullish) or above it (bearish) at bar s. Bullish:
// the SAR of bar s below its low, the SAR of bar s+1 at or above its high; bearish the mirror.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  if (bullish) return {{{OperandLine::Sar, 0}, {OperandLine::Low, 0}, {OperandLine::Sar, 1}, {OperandLine::High, 1}}};
  return {{{OperandLine::Sar, 0}, {OperandLine::High, 0}, {OperandLine::Sar, 1}, {OperandLine::Low, 1}}};
}

}  // namespace

const KindCondition kParabolicSar{SignalTest::CrossBelow, SignalTest::CrossAbove, true, operands, nullptr};

}  // namespace zorvik::kinds
