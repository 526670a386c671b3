// "run-mq4 FILE --history FILE [options]": checks an Expert Advisor's MQL4 source and runs it in
// the interpreter on a price history, four ticks per bar, on the same simulated broker as the
// backtest; prints the statistics of its trades. --trades and --log write the trade list and
// every line the EA prints. A source that fails the check, a history that cannot be read and an
// EA stopped by a critical error or a used-up budget (steps, memory, log, a tick's wall time)
// end with exit code 1 and the reason on stderr.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>

#include "backtest/backtest_report.hpp"
#include "backtest/backtest_settings.hpp"
#include "command.hpp"
#include "market/history_files.hpp"
#include "mql4/checker.hpp"
#include "mql4/interpreter.hpp"
#include "option_values.hpp"
#include "run_budget_options.hpp"
#include "text/text_files.hpp"

namespace zorvik::cli {
namespace {

int refuse(const std::string& reason) {
  std::cerr << "run-mq4: " << reason << "\n";
  return kFailed;
}

int runRunMq4(Context& ctx) {
  std::vector<std::string> files;
  std::optional<std::string> historyPath, tradesPath, logPath;
  std::optional<int> digits;
  BacktestSettings settings;
  mql4::RunBudget budget;
  const auto& args = ctx.args;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      files.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) return refuse(a + " needs a value");
    const std::string& v = args[++i];
    std::string refusal;
    if (a == "--history") {
      historyPath = v;
    } else if (readBrokerOption(a, v, settings, refusal, &ctx.ws.language)) {
      if (!refusal.empty()) return refuse(refusal);
    } else if (a == "--digits") {
      if (!readOption(kDigitsOption, a, v, digits, refusal, &ctx.ws.language)) return refuse(refusal);
    } else if (a == "--trades") {
      tradesPath = v;
    } else if (a == "--log") {
      logPath = v;
    } else if (isBudgetOption(a)) {
      if (!readBudgetOption(a, v, budget, refusal, &ctx.ws.language)) return refuse(refusal);
    } else {
      return refuse("unknown option " + a);
    }
  }
  if (files.size() != 1) return refuse("name one .mq4 file");
  if (!historyPath) return refuse("--history FILE is missing");
  if (auto problem = settingsProblem(settings)) return refuse(*problem);

  const mql4::CheckResult checked = mql4::checkFile(files[0]);
  for (const std::string& line : mql4::formatDiagnostics(files[0], checked.diagnostics)) std::cerr << line << "\n";
  if (!checked.ok()) return refuse(files[0] + " fails the check");
  auto loaded = mql4::ExpertInterpreter::load(checked.program);
  if (auto* why = std::get_if<std::string>(&loaded)) return refuse(files[0] + ": " + *why);

  CsvHistoryOptions csv;
  if (digits) csv.digits = *digits;
  HistoryRead read = readHistoryFile(*historyPath, csv);
  if (!read.ok()) return refuse(read.error->message());
  BarSeries& history = read.series;
  if (digits) history.digits = *digits;

  std::ofstream log;
  mql4::ExpertTestSettings run;
  if (logPath) {
    log.open(*logPath, std::ios::binary | std::ios::trunc);
    if (!log) return refuse("cannot write " + *logPath);
    run.log = [&log](std::string_view line) { log << line << "\n"; };
  }
  run.history = &history;
  run.endBar = history.size();
  run.symbol = settings.symbol;
  run.symbol.digits = history.digits;
  run.deposit = settings.deposit;
  run.budget = budget;
  run.account = settings.account;
  const mql4::ExpertTestRun outcome = std::get<0>(loaded)->run(run);
  if (logPath) {
    log.flush();
    if (!log) return refuse("cannot write " + *logPath);
  }

  BacktestResult result;
  result.deposit = settings.deposit;
  result.digits = history.digits;
  result.trades = outcome.trades;
  fillTradeStatistics(result.trades, result.statistics);
  // The trade figures only: the interpreter does not follow the equity tick by tick, so it
  // reports no drawdown rather than a wrong one.
  char line[320];
  std::cout << "expert\t" << files[0] << "\n\n";
  std::snprintf(line, sizeof line,
                "Trades %d\nNet profit %.2f\nGross profit %.2f\nGross loss %.2f\nCommission %.2f\nSwap %.2f\n"
                "Stop outs %d\nRefused: no money %d\nBalance %.2f\n",
                result.statistics.trades, result.statistics.netProfit, result.statistics.grossProfit,
                result.statistics.grossLoss, result.statistics.totalCommission, result.statistics.totalSwap,
                result.statistics.stopOuts, outcome.refusedForMoney, outcome.balance);
  std::cout << line;
  if (tradesPath) {
    std::string error;
    if (!writeFileAtomic(fs::path(*tradesPath), tradesCsv(result), &error))
      return refuse("cannot write " + *tradesPath + ": " + error);
  }
  if (!outcome.ok()) return refuse(files[0] + " was stopped: " + outcome.error);
  return kDone;
}

}  // namespace

Command runMq4Command() {
  return {"run-mq4",
          "run-mq4 FILE --history FILE [--spread POINTS] [--stop-level POINTS] [--deposit AMOUNT] [--leverage N] "
          "[--stop-out PERCENT] [--commission MONEY] [--swap-long POINTS] [--swap-short POINTS] [--digits N] "
          "[--trades CSV] [--log FILE] " + std::string(kBudgetOptionsUsage),
          "run an Expert Advisor's MQL4 source on a price history in the interpreter and print its statistics",
          runRunMq4};
}

}  // namespace zorvik::cli
