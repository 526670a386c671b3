// ADX: +DI above -DI (bullish) or below it (bearish) at bar s, while the ADX itself rises from
// bar s+1 to bar s: a strengthening trend either way.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::PlusDi, 0}, {OperandLine::MinusDi, 0}, {OperandLine::AdxMain, 0}, {OperandLine::AdxMain, 1}}};
}

}  // namespace

const KindCondition kAdx{SignalTest::AboveRising, SignalTest::BelowRising, false, operands, nullptr};

}  // namespace zorvik::kinds
