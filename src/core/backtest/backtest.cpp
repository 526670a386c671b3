#include "backtest/backtest.hpp"

#include <algorithm>

#include "backtest/expert_run.hpp"
#include "market/bar_series.hpp"
#include "market/history_files.hpp"
#include "rules/refusals.hpp"
#include "text/strings.hpp"

namespace zorvik {

std::variant<Backtest, std::string> Backtest::prepare(const TradingSystem& system, const Catalogue& catalogue,
                                                      const DefinitionTable& definitions, const BarSeries& history,
                                                      const BacktestSettings& settings, const LanguageTable* language) {
  if (auto problem = settingsProblem(settings, language)) return *problem;
  if (history.empty()) return refusalText(kNoBars, language);

  // The generator's refusals, in the generator's words: a system whose Expert Advisor cannot
  // be generated is not run.
  auto read = systemRulesOf(system, catalogue, definitions, "0", language);
  if (auto* refusal = std::get_if<RulesRefusal>(&read)) return notGeneratedRefusal(refusal->problems, refusal->fault, language);
  const SystemRules& rules = std::get<SystemRules>(read);
  // The terminal stops an EA that divides by zero; the backtest refuses before it starts.
  if (auto problem = moneyManagementRefusal(rules.trade, language)) return *problem;
  if (!rules.symbol.chart && !iequals(rules.symbol.stored, history.symbol))
    return systemSymbolRefusal(rules.symbol.stored, history.symbol, language);

  const auto from = std::lower_bound(history.time.begin(), history.time.end(),
                                     settings.fromDay.value_or(history.time.front()));
  const auto end = settings.toDay ? std::lower_bound(history.time.begin(), history.time.end(), *settings.toDay + 86400)
                                  : history.time.end();
  if (from >= end) return refusalText(kNoBarsInWindow, language);

  auto plan = SignalPlan::make(rules, history, language);
  if (auto* fault = std::get_if<std::string>(&plan)) return *fault;

  Backtest b(history, std::move(std::get<SignalPlan>(plan)));
  b.rules_ = rules.trade;
  b.symbol_ = settings.symbol;
  b.symbol_.digits = history.digits;
  b.deposit_ = settings.deposit;
  b.account_ = settings.account;
  b.firstBar_ = static_cast<std::size_t>(from - history.time.begin());
  b.endBar_ = static_cast<std::size_t>(end - history.time.begin());
  return b;
}

BacktestResult Backtest::run(const std::function<void(double)>& progress, const std::atomic<bool>* cancel) const {
  const std::vector<std::uint8_t> checks = plan_.checks(firstBar_, endBar_);
  ExpertRunInput in;
  in.history = history_;
  in.firstBar = firstBar_;
  in.endBar = endBar_;
  in.rules = rules_;
  in.symbol = symbol_;
  in.deposit = deposit_;
  in.account = account_;
  in.checks = &checks;
  in.progress = progress;
  in.cancel = cancel;
  return runExpert(in);
}

}  // namespace zorvik
