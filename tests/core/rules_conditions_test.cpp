// What every indicator kind's condition promises, checked for all of them: a test reads only
// operands the kind feeds, and nothing is fed that no test reads; and the rules read from a
// stored system keep each number's text beside its value.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "model/indicator.hpp"
#include "model/trading_system.hpp"
#include "rules/kind_condition.hpp"
#include "rules/system_rules.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

// The operands k1, l1, k2, l2 a test compares.
std::array<bool, 4> operandsReadBy(SignalTest test) {
  switch (test) {
    case SignalTest::None: return {false, false, false, false};
    case SignalTest::KAboveL:
    case SignalTest::KBelowL:
    case SignalTest::MainUpOsmaDown:
    case SignalTest::MainDownOsmaUp: return {true, true, false, false};
    case SignalTest::KBelowL2: return {true, false, false, true};
    case SignalTest::CrossAbove:
    case SignalTest::CrossBelow:
    case SignalTest::AboveRising:
    case SignalTest::BelowRising: return {true, true, true, true};
  }
  return {};
}

TEST(RulesConditions, TestsReadWhatTheirKindFeeds) {
  const IndicatorKind kinds[] = {
      IndicatorKind::MovingAverage, IndicatorKind::MovingAverageCross, IndicatorKind::TwoMovingAverages,
      IndicatorKind::TwoMovingAveragesCross, IndicatorKind::Rsi, IndicatorKind::RsiCross,
      IndicatorKind::ParabolicSar, IndicatorKind::Macd, IndicatorKind::Stochastic, IndicatorKind::BollingerBands,
      IndicatorKind::DonchianChannel, IndicatorKind::Adx};
  for (const IndicatorKind kind : kinds) {
    const KindCondition* condition = conditionOf(kind);
    ASSERT_NE(condition, nullptr) << static_cast<int>(kind);
    // Every operand a test reads is fed; every operand fed is read by one of the two tests
    // (Bollinger Bands feed both bands whichever side they vote for).
    std::array<bool, 4> readByEither{};
    for (const bool bullish : {true, false}) {
      const SignalTest test = bullish ? condition->bullish : condition->bearish;
      ASSERT_NE(test, SignalTest::None) << static_cast<int>(kind);
      const Operands operands = condition->operands(bullish);
      const std::array<bool, 4> read = operandsReadBy(test);
      for (std::size_t slot = 0; slot < 4; ++slot) {
        if (read[slot]) {
          EXPECT_TRUE(operands[slot].used())
              << "kind " << static_cast<int>(kind) << (bullish ? " bullish" : " bearish") << " slot " << slot;
        }
        readByEither[slot] = readByEither[slot] || read[slot];
      }
    }
    for (const bool bullish : {true, false})
      for (std::size_t slot = 0; slot < 4; ++slot)
        if (condition->operands(bullish)[slot].used()) {
          EXPECT_TRUE(readByEither[slot]) << "kind " << static_cast<int>(kind) << " feeds slot " << slot;
        }
    // A kind's two sides make different tests, or a group could not tell long from short.
    EXPECT_NE(condition->bullish, condition->bearish) << static_cast<int>(kind);
  }
  EXPECT_EQ(conditionOf(IndicatorKind::Other), nullptr);
}

TEST(RulesConditions, StoredNumbersKeepTheirTextBesideTheirValue) {
  testing::TestWorkspace t;
  TradingSystem system;
  testing::fillSampleSystem(*t.ws, system);
  SignalGroup& exitLong = system.group(2);
  exitLong.sl = "08";
  exitLong.ts = "7.6abc";
  system.mm.lots = ".5";
  system.mm.maxtrades = "";
  const SystemRules rules = readSystemRules(system, t.ws->catalogue, t.ws->definitions);

  EXPECT_EQ(rules.longStops.stoploss.text, "08");
  EXPECT_EQ(rules.trade.stoplossLong, 8);
  EXPECT_EQ(rules.longStops.trailing.text, "7.6abc");
  EXPECT_EQ(rules.trade.trailingLong, 8);  // rounded to a whole number of points
  EXPECT_EQ(rules.money.lots.text, ".5");
  EXPECT_DOUBLE_EQ(rules.trade.lots, 0.5);
  EXPECT_EQ(rules.trade.maxTrades, 0);

  // Nothing is refused when reading; refusing is systemRulesOf's.
  system.group(1).indicator(1).setRaw("value", "drei");
  const SystemRules read = readSystemRules(system, t.ws->catalogue, t.ws->definitions);
  EXPECT_FALSE(read.groups[0].signalSum.has_value());
  EXPECT_EQ(read.groups[0].firstBadPosition, 1);
  const auto refused = systemRulesOf(system, t.ws->catalogue, t.ws->definitions, "1");
  ASSERT_TRUE(std::holds_alternative<RulesRefusal>(refused));
  EXPECT_NE(std::get<RulesRefusal>(refused).fault.find("\"drei\""), std::string::npos);
}

}  // namespace
}  // namespace zorvik
