// MACD: the main line of bar s above zero while the OsMA of bar s+1 is below it (bullish), or
// the mirror (bearish).
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::MacdMain, 0}, {OperandLine::MacdOsma, 1}, {}, {}}};
}

// The OsMA is the main line less its signal: with a signal of one bar, always 0.
NeverHoldsFinding neverHolds(const IndicatorRule& rule, bool) {
  if (rule.signalPeriod.value == 1) return {NeverHolds::OsmaAlwaysZero, {}};
  return {};
}

}  // namespace

const KindCondition kMacd{SignalTest::MainUpOsmaDown, SignalTest::MainDownOsmaUp, false, operands, neverHolds};

}  // namespace zorvik::kinds
