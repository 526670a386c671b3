// "backtest SYSTEM --history FILE [options]": runs the system's Expert Advisor on a price
// history as the terminal would (four ticks per bar) and prints the statistics. --trades,
// --json and --report also write the trade list, the statistics and a whole HTML report.
// Every refusal (a bad option, a history that cannot be read, a system that cannot run on it)
// is said on stderr and ends with exit code 1.
#include <iostream>
#include <optional>

#include "backtest/backtest.hpp"
#include "backtest/backtest_report.hpp"
#include "command.hpp"
#include "market/history_files.hpp"
#include "market/timeframes.hpp"
#include "model/trading_system.hpp"
#include "open_named_system.hpp"
#include "option_values.hpp"
#include "text/text_files.hpp"

namespace zorvik::cli {
namespace {

int refuse(const std::string& reason) {
  std::cerr << "backtest: " << reason << "\n";
  return kFailed;
}

bool writeOut(const std::string& path, const std::string& text) {
  std::string error;
  if (writeFileAtomic(fs::path(path), text, &error)) return true;
  std::cerr << "backtest: cannot write " << path << ": " << error << "\n";
  return false;
}

int runBacktest(Context& ctx) {
  std::vector<std::string> names;
  std::optional<std::string> historyPath, tradesPath, jsonPath, reportPath;
  std::optional<int> digits;
  BacktestSettings settings;
  const auto& args = ctx.args;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      names.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) return refuse(a + " needs a value");
    const std::string& v = args[++i];
    std::string refusal;
    if (a == "--history") {
      historyPath = v;
    } else if (a == "--from" || a == "--to") {
      if (!readOption(kDayOption, a, v, a == "--from" ? settings.fromDay : settings.toDay, refusal, &ctx.ws.language)) return refuse(refusal);
    } else if (readBrokerOption(a, v, settings, refusal, &ctx.ws.language)) {
      if (!refusal.empty()) return refuse(refusal);
    } else if (a == "--digits") {
      if (!readOption(kDigitsOption, a, v, digits, refusal, &ctx.ws.language)) return refuse(refusal);
    } else if (a == "--trades") {
      tradesPath = v;
    } else if (a == "--json") {
      jsonPath = v;
    } else if (a == "--report") {
      reportPath = v;
    } else {
      return refuse("unknown option " + a);
    }
  }
  if (names.size() != 1) return refuse("name one system");
  if (!historyPath) return refuse("--history FILE is missing");
  if (auto problem = settingsProblem(settings, &ctx.ws.language)) return refuse(*problem);

  CsvHistoryOptions csv;
  if (digits) csv.digits = *digits;
  HistoryRead read = readHistoryFile(*historyPath, csv);
  if (!read.ok()) return refuse(read.error->message());
  BarSeries& history = read.series;
  if (digits) history.digits = *digits;

  Workspace& ws = ctx.ws;
  if (!openNamedSystem(ws, names[0])) return kFailed;
  auto prepared = Backtest::prepare(ws.system(), ws.catalogue, ws.definitions, history, settings, &ws.language);
  if (auto* fault = std::get_if<std::string>(&prepared)) return refuse(names[0] + ": " + *fault);
  const Backtest& backtest = std::get<Backtest>(prepared);
  const BacktestResult result = backtest.run();

  std::cout << "system\t" << names[0] << "\n"
            << "history\t" << history.symbol << " " << timeframeName(history.timeframeMinutes) << ", "
            << historyTimeText(history.time[backtest.firstBar()]) << " - "
            << historyTimeText(history.time[backtest.endBar() - 1]) << ", " << backtest.endBar() - backtest.firstBar()
            << " bars\n\n"
            << statisticsTable(result.statistics);
  if (result.statistics.refusedForMoney > 0 && result.statistics.trades == 0)
    std::cout << "\n"
              << refusalText("Keine Order eröffnet: Die freie Marge reichte für keine (Fehler 134).", &ctx.ws.language)
              << "\n";

  bool written = true;
  if (tradesPath) written = writeOut(*tradesPath, tradesCsv(result)) && written;
  if (jsonPath) written = writeOut(*jsonPath, statisticsJson(result.statistics)) && written;
  if (reportPath)
    written =
        writeOut(*reportPath, reportHtml(result, ws.system().general.title,
                                         ws.language.english() ? ReportLanguage::English : ReportLanguage::German)) &&
        written;
  return written ? kDone : kFailed;
}

}  // namespace

Command backtestCommand() {
  return {"backtest",
          "backtest SYSTEM --history FILE [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--spread POINTS] "
          "[--stop-level POINTS] [--deposit AMOUNT] [--leverage N] [--stop-out PERCENT] [--commission MONEY] "
          "[--swap-long POINTS] [--swap-short POINTS] [--digits N] [--trades FILE.csv] [--json FILE] "
          "[--report FILE.html]",
          "run a system on a price history as the terminal would and print its statistics", runBacktest};
}

}  // namespace zorvik::cli
