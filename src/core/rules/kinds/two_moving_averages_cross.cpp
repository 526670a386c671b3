// 2 Moving Averages Cross: the fast average crosses the slow one between bar s+1 and bar s.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::FastAverage, 0}, {OperandLine::SlowAverage, 0}, {OperandLine::FastAverage, 1}, {OperandLine::SlowAverage, 1}}};
}

}  // namespace

const KindCondition kTwoMovingAveragesCross{SignalTest::CrossAbove, SignalTest::CrossBelow, true, operands, nullptr};

}  // namespace zorvik::kinds
