#include "parity_support.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "backtest/backtest.hpp"
#include "generator/expert_generator.hpp"
#include "mql4/checker.hpp"
#include "mql4/interpreter.hpp"
#include "text/cp1252.hpp"

namespace zorvik::testing {
namespace {

std::string describe(const Trade& t) {
  std::ostringstream out;
  out.precision(17);
  out << "#" << t.ticket << " " << tradeTypeName(t.type) << " " << t.lots << " lots, open " << t.openTime << " at "
      << t.openPrice << ", close " << t.closeTime << " at " << t.closePrice << " (" << closeReasonName(t.reason)
      << "), SL " << t.stopLoss << " TP " << t.takeProfit << ", profit " << t.profit << ", commission "
      << t.commission << ", swap " << t.swap;
  return out.str();
}

// The EA closes by signal, by hedging and in place of a missing stop the market has passed with
// the same OrderClose: from the terminal's side all are the EA's own close. A stop the broker
// closed at is in the trade; the missing stop the EA closed for is 0 there.
CloseReason seenByTerminal(const Trade& t) {
  if (t.reason == CloseReason::Hedge) return CloseReason::Signal;
  if (t.reason == CloseReason::StopLoss && t.stopLoss == 0) return CloseReason::Signal;
  if (t.reason == CloseReason::TakeProfit && t.takeProfit == 0) return CloseReason::Signal;
  return t.reason;
}

bool same(const Trade& a, const Trade& b) {
  return a.ticket == b.ticket && a.type == b.type && a.lots == b.lots && a.openTime == b.openTime &&
         a.openPrice == b.openPrice && a.closeTime == b.closeTime && a.closePrice == b.closePrice &&
         a.stopLoss == b.stopLoss && a.takeProfit == b.takeProfit && a.profit == b.profit &&
         a.commission == b.commission && a.swap == b.swap && seenByTerminal(a) == seenByTerminal(b);
}

}  // namespace

// A walk of hourly bars with a gap now and then (the open far from the last close), so that
// stops are jumped over; same on every machine.
BarSeries walkWithGaps(const std::string& symbol, int digits, std::uint64_t seed, int bars, int minutes) {
  BarSeries s;
  s.symbol = symbol;
  s.timeframeMinutes = minutes;
  s.digits = digits;
  const double point = std::pow(10.0, -digits);
  std::uint64_t state = seed;
  auto next = [&state](int range) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(range));
  };
  std::int64_t close = digits == 3 ? 110000 : 110000;
  std::int64_t time = 1704067200;  // 2024-01-01, a Monday
  for (int i = 0; i < bars; ++i) {
    std::int64_t open = close + (next(20) == 0 ? next(400) - 200 : next(5) - 2);
    std::int64_t c = open + next(121) - 60 + (i / 300 % 2 ? 3 : -3);
    const std::int64_t high = std::max(open, c) + next(40);
    const std::int64_t low = std::min(open, c) - next(40);
    s.push_back({time, open * point, high * point, low * point, c * point, static_cast<double>(10 + next(90))});
    close = c;
    time += minutes * 60;
    if (time / 86400 % 7 == 2) time += 2 * 86400;  // no bars on Saturday and Sunday
  }
  return s;
}

ParityOutcome compareEngineAndExpert(const Workspace& ws, const TradingSystem& system, const BarSeries& history,
                                     const BacktestSettings& settings,
                                     const std::function<void(std::string_view)>& log) {
  ParityOutcome out;
  auto prepared = Backtest::prepare(system, ws.catalogue, ws.definitions, history, settings);
  if (auto* why = std::get_if<std::string>(&prepared)) {
    out.refusal = *why;
    return out;
  }
  out.ran = true;
  const Backtest& backtest = std::get<Backtest>(prepared);
  const BacktestResult engine = backtest.run();
  out.trades = static_cast<int>(engine.trades.size());
  out.stopOuts = engine.statistics.stopOuts;
  out.refusedForMoney = engine.statistics.refusedForMoney;

  const ExpertSource source = expertSourceLines(system, ws.catalogue, ws.definitions, ExpertOptions{"100789", "stamp"});
  if (!source.ok()) {
    out.difference = "no Expert Advisor: " + source.fault;
    return out;
  }
  std::string text;
  for (const std::string& line : source.lines) text += utf8ToCp1252(line) + "\r\n";
  const mql4::CheckResult checked = mql4::checkSource(text);
  if (!checked.ok()) {
    out.difference = "the Expert Advisor fails the check:";
    for (const std::string& m : mql4::formatDiagnostics("_Zorvik.mq4", checked.diagnostics)) out.difference += "\n" + m;
    return out;
  }
  auto loaded = mql4::ExpertInterpreter::load(checked.program);
  if (auto* why = std::get_if<std::string>(&loaded)) {
    out.difference = "the interpreter refuses the Expert Advisor: " + *why;
    return out;
  }
  mql4::ExpertTestSettings run;
  run.history = &history;
  run.firstBar = backtest.firstBar();
  run.endBar = backtest.endBar();
  run.symbol = settings.symbol;
  run.symbol.digits = history.digits;
  run.deposit = settings.deposit;
  run.log = log;
  run.account = settings.account;
  const mql4::ExpertTestRun expert = std::get<0>(loaded)->run(run);
  std::ostringstream diff;
  if (!expert.ok()) diff << "the Expert Advisor stopped: " << expert.error << "\n";
  const std::size_t n = std::max(engine.trades.size(), expert.trades.size());
  for (std::size_t i = 0; i < n; ++i) {
    const bool inEngine = i < engine.trades.size();
    const bool inExpert = i < expert.trades.size();
    if (inEngine && inExpert && same(engine.trades[i], expert.trades[i])) continue;
    diff << "trade " << i + 1 << ":\n  engine: " << (inEngine ? describe(engine.trades[i]) : "none")
         << "\n  expert: " << (inExpert ? describe(expert.trades[i]) : "none") << "\n";
    break;  // the first difference; what follows it follows from it
  }
  if (diff.str().empty() && !engine.balance.empty() && expert.balance != engine.balance.back())
    diff << "balance: engine " << engine.balance.back() << ", expert " << expert.balance << "\n";
  out.difference = diff.str();
  return out;
}

}  // namespace zorvik::testing
