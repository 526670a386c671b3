#pragma once
// Runs a checked MQL4 Expert Advisor on a history, tick by tick, on the simulated terminal:
// init() once before the first tick, start() at every tick, deinit() after the last. The tree
// is translated once into nodes that hold their variables' slots and their built-ins' numbers,
// so a tick does no lookup by name.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "account/account_terms.hpp"
#include "account/symbol_properties.hpp"
#include "account/trade.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik {
struct BarSeries;
}

namespace zorvik::mql4 {

// What one run may use before it is stopped. The defaults lie far above what an Expert
// Advisor meant for the terminal needs (the demo library's take a few dozen steps a tick and
// no array of note); they stop a runaway program before it takes the machine with it.
struct RunBudget {
  // User calls and loop turns together, over the whole run. 0: kStepsPerTick for every tick of
  // the run, but at least kLeastSteps.
  long long steps = 0;
  static constexpr long long kStepsPerTick = 10'000;
  static constexpr long long kLeastSteps = 1'000'000'000;
  // Arrays (by their cells) and strings (by their length) held at one time.
  long long memoryBytes = 1LL << 30;
  // The EA's log as written (Print, Alert), time stamps included.
  long long logBytes = 1LL << 30;
  // Wall time of one call of init(), start() or deinit().
  std::chrono::milliseconds tickTime{10'000};
};

struct ExpertTestSettings {
  const BarSeries* history = nullptr;  // must outlive the run
  std::size_t firstBar = 0;            // bars [firstBar, endBar) are played
  std::size_t endBar = 0;
  SymbolProperties symbol;             // its digits must be the history's
  double deposit = 10000;
  AccountTerms account;
  // Every line the EA prints (Print, Alert), with the tick's time in front. Unset: dropped.
  std::function<void(std::string_view)> log;
  // Loop turns one call of init(), start() or deinit() may take before the EA counts as stuck
  // in an endless loop and is stopped.
  long long loopLimit = 10'000'000;
  RunBudget budget;
};

struct ExpertTestRun {
  std::vector<Trade> trades;  // by ticket; closes the EA made itself carry CloseReason::Signal
  double balance = 0;         // at the end
  int refusedForMoney = 0;    // OrderSend calls refused with error 134
  std::string comment;        // the last Comment()
  // Why the run stopped before its end (a critical error of the EA: division by zero, an
  // array index out of range, an endless loop, a timeframe that cannot be built, a budget used
  // up); empty when it ran through. The trades are those up to the fault.
  std::string error;
  bool ok() const { return error.empty(); }
};

class ExpertInterpreter {
 public:
  // The program must have passed the checker and must outlive the interpreter. Refused, with
  // the reason, when it uses a built-in this interpreter does not run, or has no start().
  static std::variant<std::unique_ptr<ExpertInterpreter>, std::string> load(const Program& program);

  ~ExpertInterpreter();
  ExpertInterpreter(const ExpertInterpreter&) = delete;
  ExpertInterpreter& operator=(const ExpertInterpreter&) = delete;

  // Every run starts from the globals' initial values.
  ExpertTestRun run(const ExpertTestSettings& settings);

  struct Impl;

 private:
  explicit ExpertInterpreter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zorvik::mql4
