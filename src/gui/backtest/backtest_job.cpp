#include "backtest/backtest_job.hpp"

#include <exception>

#include "rules/refusals.hpp"

namespace zorvik {

std::shared_ptr<BacktestOutcome> runBacktestJob(const BacktestJob& job, const std::function<void(double)>& progress,
                                                const std::atomic<bool>* cancel) {
  auto outcome = std::make_shared<BacktestOutcome>();
  outcome->history = job.history;
  if (!job.history || job.history->empty()) {
    outcome->error = refusalText("Bitte zuerst eine Kurshistorie wählen.", &job.language);
    return outcome;
  }
  // A worker thread has no one above it to catch: whatever escapes becomes the run's failure
  // instead of ending the program.
  try {
    auto prepared = Backtest::prepare(job.system, job.catalogue, job.definitions, *job.history, job.settings, &job.language);
    if (auto* fault = std::get_if<std::string>(&prepared)) {
      outcome->error = *fault;
      return outcome;
    }
    outcome->backtest.emplace(std::move(std::get<Backtest>(prepared)));
    outcome->result = outcome->backtest->run(progress, cancel);
    outcome->cancelled = outcome->result.cancelled || (cancel && cancel->load());
  } catch (const std::exception& e) {
    outcome->backtest.reset();
    outcome->error = e.what();
  }
  return outcome;
}

}  // namespace zorvik
