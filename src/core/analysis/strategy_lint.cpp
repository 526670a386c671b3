#include "analysis/strategy_lint.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "rules/system_rules.hpp"
#include "rules/terminal_constants.hpp"
#include "rules/value_checks.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

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
  Linter(const Workspace& ws, const TradingSystem& system)
      : ws_(ws), system_(system), rules_(readSystemRules(system, ws.catalogue, ws.definitions)) {}

  std::vector<LintFinding> run() {
    for (const ValueProblem& problem : systemValueRefusals(system_, ws_.catalogue, ws_.definitions))
      findings_.push_back({LintLevel::Error, describeValueProblem(system_, ws_.catalogue, problem, &ws_.language)});
    for (const GroupRoleInfo& role : kGroupRoles) checkThreshold(role);
    for (const GroupRoleInfo& role : kGroupRoles)
      if (role.isExit) checkEmptyExit(role);
    for (const GroupRoleInfo& role : kGroupRoles)
      if (role.isExit) checkTrailing(role);
    for (const GroupRoleInfo& role : kGroupRoles)
      if (role.isExit) checkSpread(role);
    checkSymbolsAndTimeframes();
    checkMaxTrades();
    return std::move(findings_);
  }

 private:
  void warn(std::string text) { findings_.push_back({LintLevel::Warn, std::move(text)}); }
  void info(std::string text) { findings_.push_back({LintLevel::Info, std::move(text)}); }
  std::string caption(const GroupRoleInfo& role) const { return ws_.tr(role.caption); }
  const SignalGroup& group(const GroupRoleInfo& role) const { return system_.group(groupNumber(role.role)); }
  const GroupRules& rulesOf(const GroupRoleInfo& role) const {
    return rules_.groups[static_cast<std::size_t>(groupNumber(role.role) - 1)];
  }

  // The EA needs floor(threshold% x sum of all signal values / 100) points, but only the
  // indicators that write a signal line can add theirs.
  void checkThreshold(const GroupRoleInfo& role) {
    const GroupRules& g = rulesOf(role);
    if (g.indicators.empty() || !g.signalSum) return;
    double firing = 0;
    std::vector<std::string> silent;
    bool anyFires = false;
    for (const IndicatorRule& ind : g.indicators) {
      const KindCondition* condition = conditionOf(ind.kind);
      const NeverHoldsFinding never = ind.votes() && condition->neverHolds
                                          ? condition->neverHolds(ind, ind.bullish)
                                          : NeverHoldsFinding{};
      if (never.reason != NeverHolds::No) warnNeverHolds(role, ind, never);
      if (never.reason == NeverHolds::No && ind.votes()) {
        anyFires = true;
        firing = roundHalfEven(firing + ind.points.value);
      } else {
        addOnce(silent, ind.type.empty() ? std::string("?") : ind.type);
      }
    }
    if (!anyFires) {
      warn(caption(role) + ws_.tr(": keiner ihrer Indikatoren kann ein Signal geben (") + join(silent, ", ") +
           ws_.tr("), die Gruppe löst nie aus."));
      return;
    }
    const std::int32_t needed = g.thresholdPoints;
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
  void warnNeverHolds(const GroupRoleInfo& role, const IndicatorRule& ind, const NeverHoldsFinding& never) {
    std::string text = caption(role) + " " + intText(ind.position) + " (" + ind.type + ")";
    if (never.reason == NeverHolds::OsmaAlwaysZero) {
      text += ws_.tr(": mit der Signalperiode 1 ist der OsMA immer 0, der Indikator gibt nie ein Signal.");
    } else {
      const std::string level = trim(ind.level.text);
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
    const StoredStops& stops = exitRole.isLong ? rules_.longStops : rules_.shortStops;
    std::string text = caption(exitRole) + ws_.tr(" ist leer, obwohl ") + caption(*entry) +
                       ws_.tr(" Positionen eröffnet: sie schließen nur über Stop Loss, Take Profit oder ein Gegensignal ohne Hedging.");
    const bool hasStops = stops.stoploss.value > 0 || stops.takeprofit.value > 0;
    if (hasStops)
      info(std::move(text));
    else
      warn(std::move(text));
  }

  // Trailing starts at the first tick: a distance below the stop loss replaces it at once.
  void checkTrailing(const GroupRoleInfo& exitRole) {
    const StoredStops& stops = exitRole.isLong ? rules_.longStops : rules_.shortStops;
    const double ts = stops.trailing.value;
    const double sl = stops.stoploss.value;
    if (ts > 0 && sl > 0 && ts < sl)
      warn(caption(exitRole) + ws_.tr(": der Trailing Stop (") + trim(stops.trailing.text) +
           ws_.tr(") ist kleiner als der Stop Loss (") + trim(stops.stoploss.text) +
           ws_.tr(") und ersetzt ihn schon beim ersten Tick."));
  }

  // A distance the spread alone covers: a buy opens at the ask and is judged at the bid, so a
  // stop loss or trailing stop that close is hit at once, and a take profit that close closes
  // at a loss. Said in pips, the unit a trader thinks in: 10 points to the pip on five-digit
  // (and three-digit yen) quotes.
  void checkSpread(const GroupRoleInfo& exitRole) {
    const StoredStops& stops = exitRole.isLong ? rules_.longStops : rules_.shortStops;
    const struct {
      std::string_view caption;
      const StoredNumber& distance;
      const std::string& stored;
    } checked[] = {{"Stop Loss", stops.stoploss, group(exitRole).sl},
                   {"Take Profit", stops.takeprofit, group(exitRole).tp},
                   {"Trailing Stop", stops.trailing, group(exitRole).ts}};
    const std::string symbol = rules_.symbol.chart ? ws_.tr("einem Kurs mit 5 Nachkommastellen") : rules_.symbol.stored;
    for (const auto& c : checked) {
      // 0 switches the stop off; a value that is no number is an error of its own.
      if (!(c.distance.value > 0) || c.distance.value > kTypicalSpreadPoints || !isValidStored(c.stored)) continue;
      std::string pips = invariantNumber(c.distance.value / 10);
      if (pips.front() == '.') pips.insert(0, "0");  // "0.5 pips", not the files' ".5"
      if (!ws_.language.english())
        for (char& ch : pips)
          if (ch == '.') ch = ',';
      warn(caption(exitRole) + ": " + std::string(c.caption) + " " + invariantNumber(c.distance.value) +
           ws_.tr(" Punkte = ") + pips + ws_.tr(" Pips auf ") + symbol +
           ws_.tr(", nicht mehr als ein üblicher Spread (20 Punkte bei 5 Nachkommastellen, 2 bei 4): schon der "
                  "Spread löst ihn aus, der Trade endet mit Verlust."));
    }
  }

  bool isValidStored(const std::string& value) const {
    const ParameterCoding* coding = ws_.catalogue.parameter("stop_sl");
    return coding && !valueRefusal(*coding, value);
  }

  void checkSymbolsAndTimeframes() {
    // The same test the Expert Advisor makes (rules/terminal_constants.hpp).
    if (!rules_.symbol.chart)
      warn(ws_.tr("Das System handelt ") + rules_.symbol.stored +
           ws_.tr(", nicht das Symbol des Charts: der EA handelt nur auf einem Chart dieses Symbols."));
    std::vector<std::string> symbols;
    std::vector<std::string> timeframes;
    for (const GroupRules& group : rules_.groups)
      for (const IndicatorRule& ind : group.indicators) {
        if (!ind.symbol.chart) addOnce(symbols, ind.symbol.stored);
        if (!ind.timeframe.chart()) addOnce(timeframes, ind.timeframe.id);
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
    if (rules_.money.maxTrades.value < 1) return;
    const bool hedgingOn = rules_.trade.hedging;
    if (!hedgingOn)
      info(ws_.tr("Max Trades ist gesetzt und Hedging aus: ist das Tageslimit erreicht, schließt ein Gegensignal die "
                  "Position, ohne eine neue zu eröffnen."));
  }

  const Workspace& ws_;
  const TradingSystem& system_;
  const SystemRules rules_;
  std::vector<LintFinding> findings_;
};

}  // namespace

std::string_view lintLevelName(LintLevel level) {
  switch (level) {
    case LintLevel::Error: return "error";
    case LintLevel::Warn: return "warn";
    case LintLevel::Info: break;
  }
  return "info";
}

std::vector<LintFinding> lintSystem(const Workspace& ws, const TradingSystem& system) {
  return Linter(ws, system).run();
}

bool hasWarnings(const std::vector<LintFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(), [](const LintFinding& f) { return f.level != LintLevel::Info; });
}

}  // namespace zorvik
