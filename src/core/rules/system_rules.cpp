#include "rules/system_rules.hpp"

#include <algorithm>

#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "model/group_roles.hpp"
#include "model/indicator.hpp"
#include "model/trading_system.hpp"
#include "rules/refusals.hpp"
#include "rules/signal_points.hpp"
#include "rules/terminal_constants.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

StoredNumber stored(const std::string& text) { return {text, leadingNumber(text), plainDecimal(text)}; }

PriceChoice priceChoice(std::string constant) {
  PriceChoice c;
  c.price = appliedPriceOf(constant);
  c.constant = std::move(constant);
  return c;
}

StoredStops storedStops(const SignalGroup& group) {
  return {stored(group.sl), stored(group.tp), stored(group.ts)};
}

LotMethod lotMethodOf(std::string_view type) {
  if (type.empty() || type == "#0" || type == "idFixed Lots") return LotMethod::FixedLots;
  if (type == "idFixed Fractional") return LotMethod::FixedFractional;
  if (type == "idFixed Ratio") return LotMethod::FixedRatio;
  return LotMethod::None;
}

}  // namespace

std::int32_t StoredNumber::whole() const { return clampToInt32(value); }

IndicatorRule readIndicatorRule(const Catalogue& catalogue, const DefinitionTable& definitions,
                                const Indicator& indicator, std::string_view groupSide, int position) {
  const std::string& action = indicator.parameter("actiontyp");
  IndicatorRule r = indicatorRuleVotingFor(catalogue, definitions, indicator, sideCodeFor(action, groupSide), position);
  r.reversed = action == "idReverse";
  return r;
}

IndicatorRule indicatorRuleVotingFor(const Catalogue& cat, const DefinitionTable& definitions,
                                     const Indicator& indicator, std::string_view sideCode, int position) {
  auto p = [&](std::string_view key) -> const std::string& { return indicator.parameter(key); };
  IndicatorRule r;
  r.position = position;
  r.type = indicator.type();
  r.comment = p("comment");
  r.kind = indicatorKindOf(r.type);
  r.sideCode = std::string(sideCode);
  r.points = stored(p("value"));
  r.shift = stored(p("shift"));
  r.symbol.stored = p("symbol");
  r.symbol.chart = isChartSymbol(cat, r.symbol.stored);
  r.timeframe.id = p("timeframe");
  r.timeframe.constant = cat.timeframes.valueOf(r.timeframe.id);
  r.timeframe.minutes = toInt32(r.timeframe.constant);

  const KindCondition* condition = conditionOf(r.kind);
  if (!condition) return r;

  // Unknown sides get the bearish test in the kinds that have one for them.
  const auto sideRole = groupRoleNamed(r.sideCode);
  if (sideRole) {
    r.bullish = signalsOnRisingMarket(*sideRole);
    r.test = r.bullish ? condition->bullish : condition->bearish;
  } else if (condition->unknownSideIsBearish) {
    r.test = condition->bearish;
  }
  if (r.votes()) r.operands = condition->operands(r.bullish);

  r.method.constant = cat.maMethods.valueOf(p("ma_method"));
  r.method.method = maMethodOf(r.method.constant);
  r.price = priceChoice(cat.pricetypes.valueOf(p("pricetype")));

  using Kind = IndicatorKind;
  switch (r.kind) {
    case Kind::MovingAverage:
    case Kind::MovingAverageCross:
      r.period = stored(p("period"));
      r.averageShift = stored(p("ma_shift"));
      break;
    case Kind::TwoMovingAverages:
    case Kind::TwoMovingAveragesCross:
      r.fastPeriod = stored(p("periodfast"));
      r.slowPeriod = stored(p("periodslow"));
      r.fastShift = stored(p("ma_shiftfast"));
      r.slowShift = stored(p("ma_shiftslow"));
      r.fastPrice = priceChoice(appliedPriceArgument(cat, definitions, "apricefast", p("apricefast")));
      r.slowPrice = priceChoice(appliedPriceArgument(cat, definitions, "apriceslow", p("apriceslow")));
      break;
    case Kind::Rsi:
    case Kind::RsiCross:
      r.period = stored(p("period"));
      r.levelKey = "actionline";
      r.level = stored(p(r.levelKey));
      break;
    case Kind::ParabolicSar:
      r.sarStep = stored(p("pa_step"));
      r.sarMaximum = stored(p("pa_maximum"));
      break;
    case Kind::Macd:
      r.fastPeriod = stored(p("periodfast"));
      r.slowPeriod = stored(p("periodslow"));
      r.signalPeriod = stored(p("periodsignal"));
      break;
    case Kind::Stochastic:
      r.kPeriod = stored(p("st_pk"));
      r.dPeriod = stored(p("st_pd"));
      r.slowing = stored(p("st_slow"));
      r.priceFieldConstant = cat.pricefields.valueOf(p("pricefield"));
      if (const int field = toInt32(r.priceFieldConstant); field == 0 || field == 1)
        r.priceField = static_cast<StochasticPriceField>(field);
      r.levelKey = "st_trigger";
      r.level = stored(p(r.levelKey));
      break;
    case Kind::BollingerBands:
      r.period = stored(p("period"));
      r.deviation = stored(p("bo_stab"));
      r.bandsShift = stored(p("bo_shift"));
      break;
    case Kind::DonchianChannel:
    case Kind::Adx:
      r.period = stored(p("period"));
      break;
    case Kind::Other:
      break;
  }
  return r;
}

SystemRules readSystemRules(const TradingSystem& system, const Catalogue& catalogue, const DefinitionTable& definitions) {
  SystemRules rules;
  rules.title = system.general.title;
  for (int g = 1; g <= kGroupCount; ++g) {
    const SignalGroup& group = system.group(g);
    GroupRules& out = rules.groups[static_cast<std::size_t>(g - 1)];
    out.group = g;
    out.thresholdText = group.threshold;
    out.signalSum = signalSum(group, &out.firstBadPosition);
    out.thresholdPoints = out.signalSum ? thresholdPoints(group.threshold, *out.signalSum) : 0;
    rules.trade.thresholds[static_cast<std::size_t>(g - 1)] = out.thresholdPoints;
    const std::string_view side = kGroupRoles[static_cast<std::size_t>(g - 1)].name;
    out.indicators.reserve(group.count());
    int position = 0;
    for (const Indicator& ind : group.indicators())
      out.indicators.push_back(readIndicatorRule(catalogue, definitions, ind, side, ++position));
  }

  rules.longStops = storedStops(system.group(groupNumber(GroupRole::ExitLong)));
  rules.shortStops = storedStops(system.group(groupNumber(GroupRole::ExitShort)));
  const MoneyManagementRecord& mm = system.mm;
  StoredMoneyManagement& money = rules.money;
  money.typeText = mm.type;
  money.hedgingConstant = definitions.idToMeta4(mm.hedging);
  if (!money.hedgingConstant.empty() && money.hedgingConstant.front() == '#') money.hedgingConstant.erase(0, 1);
  money.maxTrades = stored(mm.maxtrades);
  money.lots = stored(mm.lots);
  money.maxLots = stored(mm.maxlots);
  money.fraction = stored(mm.fraction);
  money.base = stored(mm.base);
  money.delta = stored(mm.delta);
  money.slippage = stored(mm.slippage);
  // The one test of the chart's symbol for indicators and the traded symbol alike: the
  // generator writes the traded symbol as "Symbol()" whenever it holds.
  rules.symbol.stored = mm.symbol;
  rules.symbol.chart = isChartSymbol(catalogue, mm.symbol);

  TradeRules& t = rules.trade;
  t.stoplossLong = rules.longStops.stoploss.whole();
  t.takeprofitLong = rules.longStops.takeprofit.whole();
  t.trailingLong = rules.longStops.trailing.whole();
  t.stoplossShort = rules.shortStops.stoploss.whole();
  t.takeprofitShort = rules.shortStops.takeprofit.whole();
  t.trailingShort = rules.shortStops.trailing.whole();
  const std::string hedging = trim(money.hedgingConstant);
  t.hedging = iequals(hedging, "true") || (!hedging.empty() && leadingNumber(hedging) != 0);
  t.maxTrades = money.maxTrades.whole();
  t.lotMethod = lotMethodOf(mm.type);
  t.lots = money.lots.value;
  t.maxLots = money.maxLots.value;
  t.fraction = money.fraction.value;
  t.base = money.base.value;
  t.delta = money.delta.value;
  return rules;
}

std::variant<SystemRules, RulesRefusal> systemRulesOf(const TradingSystem& system, const Catalogue& catalogue,
                                                      const DefinitionTable& definitions, std::string_view magic,
                                                      const LanguageTable* language) {
  SystemRules rules = readSystemRules(system, catalogue, definitions);
  RulesRefusal refusal;
  for (const GroupRules& group : rules.groups) {
    if (group.signalSum) continue;
    const Indicator& ind = system.group(group.group).indicator(group.firstBadPosition);
    refusal.fault = signalValueRefusal(group.group, group.firstBadPosition, ind.type(), ind.parameter("value"), language);
    return refusal;
  }

  refusal.problems = expertValueProblems(system, catalogue, definitions);
  if (rules.trade.lotMethod == LotMethod::None) {
    // In the order of the checks: after the system's title, magic number and symbol.
    auto at = std::find_if(refusal.problems.begin(), refusal.problems.end(), [](const ValueProblem& p) {
      return p.group != 0 || (p.key != "general_bezeichnung" && p.key != "general_magic" && p.key != "mm_symbol");
    });
    if (at == refusal.problems.end() || at->key != "mm_typ")
      refusal.problems.insert(at, {0, 0, "", "mm_typ", system.mm.type, std::string(kUnknownMoneyManagement), ""});
  }
  if (auto problem = magicProblem(magic))
    refusal.problems.insert(refusal.problems.begin(), {0, 0, "", "general_magic", std::string(magic), *problem, ""});
  if (!refusal.problems.empty()) {
    // A message box, not a report: the first few say what to mend.
    constexpr std::size_t kShown = 5;
    for (std::size_t i = 0; i < refusal.problems.size() && i < kShown; ++i) {
      if (i > 0) refusal.fault += "\n";
      refusal.fault += describeValueProblem(system, catalogue, refusal.problems[i], language);
    }
    if (refusal.problems.size() > kShown) refusal.fault += "\n...";
    return refusal;
  }
  return rules;
}

}  // namespace zorvik
