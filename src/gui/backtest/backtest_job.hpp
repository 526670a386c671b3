#pragma once
// One backtest run as the page hands it to a worker thread: everything the run reads is copied
// in, so that the trader may go on editing the open system while it runs. No Qt here.
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "backtest/backtest.hpp"
#include "market/bar_series.hpp"
#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "model/language.hpp"
#include "model/trading_system.hpp"

namespace zorvik {

struct BacktestJob {
  TradingSystem system;
  Catalogue catalogue;
  DefinitionTable definitions;
  std::shared_ptr<const BarSeries> history;
  BacktestSettings settings;
  // A copy: the table notes the texts it misses, which must not happen from two threads.
  LanguageTable language;
};

struct BacktestOutcome {
  // Kept alive with the backtest, which points into it.
  std::shared_ptr<const BarSeries> history;
  // Asked for the vote explanation of a bar after the run.
  std::optional<Backtest> backtest;
  BacktestResult result;
  std::string error;  // why the system cannot run on this history; empty when it ran
  bool cancelled = false;
};

// Prepares and runs; never throws for a system or history that cannot run (error says why).
std::shared_ptr<BacktestOutcome> runBacktestJob(const BacktestJob& job, const std::function<void(double)>& progress,
                                                const std::atomic<bool>* cancel);

}  // namespace zorvik
