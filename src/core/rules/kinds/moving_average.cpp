// Moving Average: the close of bar s above (bullish) or below (bearish) the average.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::Close, 0}, {OperandLine::MovingAverage, 0}, {}, {}}};
}

}  // namespace

const KindCondition kMovingAverage{SignalTest::KAboveL, SignalTest::KBelowL, false, operands, nullptr};

}  // namespace zorvik::kinds
