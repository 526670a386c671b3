// 2 Moving Averages: the fast average above (bullish) or below (bearish) the slow one at bar s.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::FastAverage, 0}, {OperandLine::SlowAverage, 0}, {}, {}}};
}

}  // namespace

const KindCondition kTwoMovingAverages{SignalTest::KAboveL, SignalTest::KBelowL, false, operands, nullptr};

}  // namespace zorvik::kinds
