// Donchian Channel: the close of bar s above the highest high (bullish) or below the lowest low
// (bearish) of the `period` bars before it; bar s itself is not part of the channel.
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"

namespace zorvik::kinds {
namespace {

Operands operands([[maybe_unused]] bool bullish) {
  if (bullish) return {{{OperandLine::Close, 0}, {OperandLine::ChannelHighest, 0}, {}, {}}};
  return {{{OperandLine::Close, 0}, {OperandLine::ChannelLowest, 0}, {}, {}}};
}

}  // namespace

const KindCondition kDonchianChannel{SignalTest::KAboveL, SignalTest::KBelowL, false, operands, nullptr};

}  // namespace zorvik::kinds
