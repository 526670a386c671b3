#pragma once
// What an indicator kind compares: which values feed its four operands k1, l1, k2, l2, and
// which test it makes on a rising-market side (entry long, exit short) and on a falling one.
// Each kind writes this down in its own file under rules/kinds/.
#include <array>
#include <string_view>

#include "model/indicator_kind.hpp"
#include "rules/signal_test.hpp"

namespace zorvik {

struct IndicatorRule;

// The line an operand reads. The indicator lines take their settings from the rule.
enum class OperandLine {
  None,          // not used by this kind
  Close,         // the bar's close, of the indicator's symbol and timeframe
  High,
  Low,
  Level,         // the rule's level, a constant (RSI action line, Stochastic trigger)
  MovingAverage,
  FastAverage,   // the faster of two moving averages
  SlowAverage,
  Rsi,
  Sar,
  MacdMain,
  MacdOsma,      // the MACD main line less its signal line
  StochasticMain,
  BandsUpper,
  BandsLower,
  ChannelHighest,  // the highest high of the `period` bars before the bar
  ChannelLowest,
  PlusDi,
  MinusDi,
  AdxMain,
};

struct Operand {
  OperandLine line = OperandLine::None;
  int barsBack = 0;  // 0: bar s (the rule's shift), 1: the bar before it (s+1)
  bool used() const { return line != OperandLine::None; }
};

// k1, l1, k2, l2.
using Operands = std::array<Operand, 4>;
enum OperandSlot { kK1 = 0, kL1 = 1, kK2 = 2, kL2 = 3 };

// Why an indicator's test can never hold with its parameters: a MACD whose signal period is 1
// (its OsMA is then always 0), or an RSI or Stochastic level at or beyond the end of their
// scale of 0 to 100 for the side's comparison (an RSI below 0, a %K above 100). For a level,
// the key of the parameter that holds it.
enum class NeverHolds { No, OsmaAlwaysZero, LevelBeyondScale };
struct NeverHoldsFinding {
  NeverHolds reason = NeverHolds::No;
  std::string_view levelKey;
};

struct KindCondition {
  SignalTest bullish = SignalTest::None;
  SignalTest bearish = SignalTest::None;
  // A side that is neither bullish nor bearish (an unknown action type) gets the bearish
  // test; otherwise such an indicator writes no test.
  bool unknownSideIsBearish = false;
  // The operands for a bullish or a bearish test.
  Operands (*operands)(bool bullish) = nullptr;
  // Null for kinds whose test can always hold.
  NeverHoldsFinding (*neverHolds)(const IndicatorRule& rule, bool bullish) = nullptr;
};

// Null for IndicatorKind::Other, which compares nothing.
const KindCondition* conditionOf(IndicatorKind kind);

namespace kinds {
extern const KindCondition kMovingAverage;
extern const KindCondition kMovingAverageCross;
extern const KindCondition kTwoMovingAverages;
extern const KindCondition kTwoMovingAveragesCross;
extern const KindCondition kRsi;
extern const KindCondition kRsiCross;
extern const KindCondition kParabolicSar;
extern const KindCondition kMacd;
extern const KindCondition kStochastic;
extern const KindCondition kBollingerBands;
extern const KindCondition kDonchianChannel;
extern const KindCondition kAdx;
}  // namespace kinds

}  // namespace zorvik
