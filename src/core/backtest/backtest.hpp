#pragma once
// A backtest of a trading system on a price history: prepared once (its rules, every
// indicator over the whole history), then run as often as wanted, and asked
// why a group fired or not at any bar.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "backtest/backtest_result.hpp"
#include "backtest/backtest_settings.hpp"
#include "backtest/signal_plan.hpp"
#include "rules/system_rules.hpp"

namespace zorvik {

class TradingSystem;
class Catalogue;
class DefinitionTable;
class LanguageTable;
struct BarSeries;

class Backtest {
 public:
  // Refuses, with a sentence for the trader, what cannot be run: bad settings, an empty
  // history or test window, a system whose Expert Advisor could not be generated, a system
  // trading another symbol than the history's, an indicator of another symbol or of a
  // timeframe that cannot be built from the history's. The history must outlive the backtest.
  // The sentence is in the table's language, German without one.
  static std::variant<Backtest, std::string> prepare(const TradingSystem& system, const Catalogue& catalogue,
                                                     const DefinitionTable& definitions, const BarSeries& history,
                                                     const BacktestSettings& settings,
                                                     const LanguageTable* language = nullptr);

  // progress gets the share done (0..1) now and then; cancel may be set from another thread.
  BacktestResult run(const std::function<void(double)>& progress = {},
                     const std::atomic<bool>* cancel = nullptr) const;
  // The four checks at the first tick of a history bar, indicator by indicator.
  BarVotes votes(std::size_t bar) const { return plan_.votes(bar); }

  std::size_t firstBar() const { return firstBar_; }
  std::size_t endBar() const { return endBar_; }
  const TradeRules& rules() const { return rules_; }

 private:
  Backtest(const BarSeries& history, SignalPlan plan) : history_(&history), plan_(std::move(plan)) {}

  const BarSeries* history_;
  SignalPlan plan_;
  TradeRules rules_;
  SymbolProperties symbol_;
  double deposit_ = 0;
  AccountTerms account_;
  std::size_t firstBar_ = 0;
  std::size_t endBar_ = 0;
};

}  // namespace zorvik
