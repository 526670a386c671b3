// Bollinger Bands: the close of bar s above the upper band (bullish) or below the lower band
// (bearish).
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  return {{{OperandLine::Close, 0}, {OperandLine::BandsUpper, 0}, {}, {OperandLine::BandsLower, 0}}};
}

}  // namespace

const KindCondition kBollingerBands{SignalTest::KAboveL, SignalTest::KBelowL2, false, operands, nullptr};

}  // namespace zorvik::kinds
