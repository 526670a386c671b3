// Moving Average Cross: the close crosses the average between bar s+1 and bar s.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::Close, 0}, {OperandLine::MovingAverage, 0}, {OperandLine::Close, 1}, {OperandLine::MovingAverage, 1}}};
}

}  // namespace

const KindCondition kMovingAverageCross{SignalTest::CrossAbove, SignalTest::CrossBelow, true, operands, nullptr};

}  // namespace zorvik::kinds
