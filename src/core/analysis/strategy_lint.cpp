#include "analysis/strategy_lint.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "generator/expert_generator.hpp"
#include "generator/indicator_code.hpp"
#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

// The values that stand for the chart's own symbol and timeframe, as the generator reads them.
bool isChartSymbol(const Workspace& ws, std::string_view symbol) {
  const auto& ids = ws.catalogue.symbols.ids;
  return symbol == "Symbol()" || (!ids.empty() && iequals(symbol, ids.front()));
}
bool isChartTimeframe(const Workspace& ws, std::string_view timeframe) {
  return ws.catalogue.timeframes.valueOf(timeframe) == "0";
}

// Distinct values in order of first appearance. A system with thousands of different symbols
// must not make the check quadratic: past kMaxListed only "..." stands for the rest.
constexpr std::size_t kMaxListed = 20;
void addOnce(std::vector<std::string>& list, const std::string& value) {
  if (list.size() > kMaxListed) return;
  if (std::find(list.begin(), list.end(), value) != list.end()) return;
  list.push_back(list.size() == kMaxListed ? std::string("...") : value);
}

class Linter {
 public:
  Linter(const Workspace& ws, const TradingSystem& system) : ws_(ws), system_(system) {}

  std::vector<LintFinding> run() {
    for (const GroupRoleInfo& role : kGroupRoles) checkThreshold(role);
    for (const GroupRoleInfo& role : kGroupRoles)
      if (role.isExit) checkEmptyExit(role);
    for (const GroupRoleInfo& role : kGroupRoles)
      if (role.isExit) checkTrailing(role);
    checkSymbolsAndTimeframes();
    checkMaxTrades();
    return std::move(findings_);
  }

 private:
  void warn(std::string text) { findings_.push_back({LintLevel::Warn, std::move(text)}); }
  void info(std::string text) { findings_.push_back({LintLevel::Info, std::move(text)}); }
  std::string caption(const GroupRoleInfo& role) const { return ws_.tr(role.caption); }
  const SignalGroup& group(const GroupRoleInfo& role) const { return system_.group(groupNumber(role.role)); }

  // The EA needs floor(threshold% x sum of all signal values / 100) points, but only the
  // indicators that write a signal line can add theirs.
  void checkThreshold(const GroupRoleInfo& role) {
    const SignalGroup& g = group(role);
    if (g.count() == 0) return;
    const std::optional<double> sum = signalSum(g);
    if (!sum) return;
    double firing = 0;
    std::vector<std::string> silent;
    bool anyFires = false;
    int position = 0;
    for (const Indicator& ind : g.indicators()) {
      ++position;
      const std::string side = sideCodeFor(ind.parameter("actiontyp"), role.name);
      const NeverHoldsFinding never = testNeverHolds(ind, side);
      if (never.reason != NeverHolds::No) warnNeverHolds(role, position, ind, never);
      if (never.reason == NeverHolds::No && writesSignalLine(ind.type(), side)) {
        anyFires = true;
        firing = roundHalfEven(firing + leadingNumber(ind.parameter("value")));
      } else {
        addOnce(silent, ind.type().empty() ? std::string("?") : ind.type());
      }
    }
    if (!anyFires) {
      warn(caption(role) + ws_.tr(": keiner ihrer Indikatoren kann ein Signal geben (") + join(silent, ", ") +
           ws_.tr("), die Gruppe löst nie aus."));
      return;
    }
    const std::int32_t needed = thresholdPoints(g.threshold, *sum);
    // The EA reads a threshold of 0 points as "group switched off".
    if (needed <= 0) {
      warn(caption(role) + ws_.tr(": die Schwelle ergibt 0 Punkte, damit löst die Gruppe nie aus."));
    } else if (firing < needed) {
      warn(caption(role) + ws_.tr(": die Schwelle verlangt ") + intText(needed) +
           ws_.tr(" Punkte, die Indikatoren, die ein Signal geben können, bringen zusammen nur ") +
           invariantNumber(firing) + ws_.tr(", die Gruppe löst nie aus."));
    }
  }

  // An indicator whose parameters rule its own test out: it counts towards the threshold's sum
  // and never adds its value.
  void warnNeverHolds(const GroupRoleInfo& role, int position, const Indicator& ind, const NeverHoldsFinding& never) {
    std::string text = caption(role) + " " + intText(position) + " (" + ind.type() + ")";
    if (never.reason == NeverHolds::OsmaAlwaysZero) {
      text += ws_.tr(": mit der Signalperiode 1 ist der OsMA immer 0, der Indikator gibt nie ein Signal.");
    } else {
      const std::string level = trim(ind.parameter(never.levelKey));
      text += ws_.tr(": die Marke ") + level +
              ws_.tr(" liegt am Rand der Skala von 0 bis 100, auf dieser Seite gibt der Indikator nie ein Signal.");
    }
    warn(std::move(text));
  }

  // An exit group left empty closes nothing; the positions of its side then end only by their
  // stops or, without hedging, by an opposite entry.
  void checkEmptyExit(const GroupRoleInfo& exitRole) {
    const GroupRoleInfo* entry = nullptr;
    for (const GroupRoleInfo& r : kGroupRoles)
      if (!r.isExit && r.isLong == exitRole.isLong) entry = &r;
    const SignalGroup& exit = group(exitRole);
    if (!entry || exit.count() != 0 || group(*entry).count() == 0) return;
    std::string text = caption(exitRole) + ws_.tr(" ist leer, obwohl ") + caption(*entry) +
                       ws_.tr(" Positionen eröffnet: sie schließen nur über Stop Loss, Take Profit oder ein Gegensignal ohne Hedging.");
    const bool hasStops = leadingNumber(exit.sl) > 0 || leadingNumber(exit.tp) > 0;
    if (hasStops)
      info(std::move(text));
    else
      warn(std::move(text));
  }

  // Trailing starts at the first tick: a distance below the stop loss replaces it at once.
  void checkTrailing(const GroupRoleInfo& exitRole) {
    const SignalGroup& g = group(exitRole);
    const double ts = leadingNumber(g.ts);
    const double sl = leadingNumber(g.sl);
    if (ts > 0 && sl > 0 && ts < sl)
      warn(caption(exitRole) + ws_.tr(": der Trailing Stop (") + trim(g.ts) + ws_.tr(") ist kleiner als der Stop Loss (") +
           trim(g.sl) + ws_.tr(") und ersetzt ihn schon beim ersten Tick."));
  }

  void checkSymbolsAndTimeframes() {
    if (!isChartSymbol(ws_, system_.mm.symbol))
      warn(ws_.tr("Das System handelt ") + system_.mm.symbol +
           ws_.tr(", nicht das Symbol des Charts: der EA handelt nur auf einem Chart dieses Symbols."));
    std::vector<std::string> symbols;
    std::vector<std::string> timeframes;
    for (const GroupRoleInfo& role : kGroupRoles)
      for (const Indicator& ind : group(role).indicators()) {
        const std::string symbol = ind.parameter("symbol");
        if (!isChartSymbol(ws_, symbol)) addOnce(symbols, symbol);
        const std::string timeframe = ind.parameter("timeframe");
        if (!isChartTimeframe(ws_, timeframe)) addOnce(timeframes, timeframe);
      }
    for (std::string& timeframe : timeframes)
      if (timeframe != "...") timeframe = ws_.definitions.idToCaption("timeframe", timeframe, ws_.captionLanguage());
    if (!symbols.empty())
      info(ws_.tr("Indikatoren lesen die Kurse von ") + join(symbols, ", ") + ws_.tr(", nicht die des Charts."));
    if (!timeframes.empty())
      info(ws_.tr("Indikatoren rechnen im Zeitrahmen ") + join(timeframes, ", ") +
           ws_.tr(", gleich in welchem Zeitrahmen der Chart steht."));
  }

  void checkMaxTrades() {
    const MoneyManagementRecord& mm = system_.mm;
    if (leadingNumber(mm.maxtrades) < 1) return;
    std::string hedging = ws_.definitions.idToMeta4(mm.hedging);
    if (!hedging.empty() && hedging.front() == '#') hedging.erase(0, 1);
    const bool hedgingOn = iequals(trim(hedging), "true") || leadingNumber(hedging) != 0;
    if (!hedgingOn)
      info(ws_.tr("Max Trades ist gesetzt und Hedging aus: ist das Tageslimit erreicht, schließt ein Gegensignal die "
                  "Position, ohne eine neue zu eröffnen."));
  }

  const Workspace& ws_;
  const TradingSystem& system_;
  std::vector<LintFinding> findings_;
};

}  // namespace

std::string_view lintLevelName(LintLevel level) { return level == LintLevel::Warn ? "warn" : "info"; }

std::vector<LintFinding> lintSystem(const Workspace& ws, const TradingSystem& system) {
  return Linter(ws, system).run();
}

bool hasWarnings(const std::vector<LintFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(), [](const LintFinding& f) { return f.level == LintLevel::Warn; });
}

}  // namespace zorvik
