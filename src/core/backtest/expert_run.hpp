#pragma once
// The tick loop of a backtest: the Expert Advisor's work on four ticks per bar,
// trading on the simulated account (fills, stops, money). It is given what the EA's four
// check functions return at the first tick of each bar, so it never looks at an indicator.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "account/account_terms.hpp"
#include "account/symbol_properties.hpp"
#include "backtest/backtest_result.hpp"
#include "rules/trade_rules.hpp"

namespace zorvik {

struct BarSeries;

// Bits of GroupChecks: which of the EA's check functions return 1 at the first tick of a bar.
enum : std::uint8_t {
  kEntryLongFires = 1,
  kExitLongFires = 2,
  kEntryShortFires = 4,
  kExitShortFires = 8,
};

struct ExpertRunInput {
  const BarSeries* history = nullptr;
  std::size_t firstBar = 0;  // the test's bars: [firstBar, endBar)
  std::size_t endBar = 0;
  TradeRules rules;           // as the system gives them; the stop level is applied here
  SymbolProperties symbol;    // digits included
  double deposit = 10000;
  AccountTerms account;
  // One entry per bar of the history (or at least up to endBar): the check bits above.
  const std::vector<std::uint8_t>* checks = nullptr;
  // Called now and then with the share of the test's bars done, 0..1.
  std::function<void(double)> progress;
  // Set from another thread to stop the run early.
  const std::atomic<bool>* cancel = nullptr;
};

BacktestResult runExpert(const ExpertRunInput& input);

// The Expert Advisor's lot rounding: the maximum or minimum when beyond them, else down to the lot step.
double normalizeLots(double lots, const SymbolProperties& symbol);

}  // namespace zorvik
