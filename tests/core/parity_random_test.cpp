// Parity of the backtest engine and the interpreted Expert Advisor on systems made up at
// random (a seeded few dozen here; scripts/parity.sh runs a few hundred more).
#include <gtest/gtest.h>

#include <cstdlib>

#include "market/demo_history.hpp"
#include "parity_random_systems.hpp"
#include "parity_support.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

// ZORVIK_PARITY_SYSTEMS and ZORVIK_PARITY_SEED widen the run (scripts/parity.sh).
std::uint64_t fromEnvironment(const char* name, std::uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

TEST(ParityOfEngineAndExpert, RandomSystems) {
  testing::TestWorkspace t;
  BarSeries history = makeDemoHistory();
  // Half a year is plenty to open and close trades of every kind and keeps the test quick.
  const std::size_t bars = 3500;
  history.time.resize(bars);
  history.open.resize(bars);
  history.high.resize(bars);
  history.low.resize(bars);
  history.close.resize(bars);
  history.volume.resize(bars);
  const BarSeries gappy = testing::walkWithGaps("DEMO", 5, 3, 3500);
  BacktestSettings broker;
  broker.symbol.spreadPoints = 12;
  broker.symbol.stopLevelPoints = 25;
  const std::uint64_t systems = fromEnvironment("ZORVIK_PARITY_SYSTEMS", 24);
  const std::uint64_t firstSeed = fromEnvironment("ZORVIK_PARITY_SEED", 1);
  int ran = 0;
  int traded = 0;
  int stopOuts = 0;
  int refusedForMoney = 0;
  for (std::uint64_t seed = firstSeed; seed < firstSeed + systems; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const TradingSystem system = testing::randomSystem(*t.ws, seed);
    // Every other system on a history with gaps, a wider spread and a stop level, where
    // stops are jumped over and refused; two of three with an account made up from the seed:
    // margin refusals, stop outs, commission and swap.
    const bool gaps = seed % 2 == 1;
    const bool money = seed % 3 != 1;
    const BacktestSettings settings = money ? testing::randomAccount(system, seed) : gaps ? broker : BacktestSettings{};
    const testing::ParityOutcome o = testing::compareEngineAndExpert(*t.ws, system, gaps ? gappy : history, settings);
    if (!o.ran) {
      ADD_FAILURE() << "the engine refused the system: " << o.refusal;
      continue;
    }
    ++ran;
    if (o.trades > 0) ++traded;
    stopOuts += o.stopOuts;
    refusedForMoney += o.refusedForMoney;
    EXPECT_EQ(o.difference, "");
  }
  // Many random systems must trade, or the comparison proves little. About half of them do;
  // a third leaves room for a run of seeds where fewer happen to.
  EXPECT_GE(traded * 3, ran);
  // The made-up accounts must reach their limits somewhere, or their parity proves little.
  EXPECT_GT(stopOuts, 0);
  EXPECT_GT(refusedForMoney, 0);
}

}  // namespace
}  // namespace zorvik
