#include "generator/indicator_code.hpp"

#include <array>
#include <cstdint>

#include "generator/expert_values.hpp"
#include "generator/listing.hpp"
#include "model/group_roles.hpp"
#include "model/indicator.hpp"
#include "model/indicator_kind.hpp"
#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

using Kind = IndicatorKind;

enum class Direction { Bullish, Bearish, None };

Direction directionOf(std::string_view side) {
  const auto role = groupRoleNamed(side);
  if (!role) return Direction::None;
  return signalsOnRisingMarket(*role) ? Direction::Bullish : Direction::Bearish;
}

struct Condition {
  std::string_view bullish;
  std::string_view bearish;
  bool otherSideIsBearish;  // the cross types fall back to the bearish test for an unknown side
};

Condition conditionOf(Kind kind) {
  switch (kind) {
    case Kind::MovingAverage:
    case Kind::TwoMovingAverages:
      return {"  if (k1>l1)", "  if (k1<l1)", false};
    case Kind::MovingAverageCross:
    case Kind::TwoMovingAveragesCross:
      return {"  if ((k1>l1) && (k2<=l2))", "  if ((k1<l1) && (k2>=l2))", true};
    case Kind::ParabolicSar:
      // k: the SAR of bar s and s+1; bullish l: Low of s, High of s+1; bearish the mirror.
      // The SAR flips below price (bullish) or above it (bearish) at bar s.
      return {"  if ((k1<l1) && (k2>=l2))", "  if ((k1>l1) && (k2<=l2))", true};
    case Kind::DonchianChannel:
      // k1 the close of bar s, l1 the channel edge of the `period` bars before it.
      return {"  if (k1>l1)", "  if (k1<l1)", false};
    case Kind::Adx:
      // k1/l1 +DI/-DI of bar s, k2/l2 the ADX of bar s and s+1: a rising trend either way.
      return {"  if ((k1>l1) && (k2>l2))", "  if ((k1<l1) && (k2>l2))", false};
    case Kind::Rsi:
    case Kind::Stochastik:
      return {"  if (k1<l1)", "  if (k1>l1)", false};
    case Kind::RsiCross:
      return {"  if ((k1<l1) && (k2>=l2))", "  if ((k1>l1) && (k2<=l2))", false};
    case Kind::Macd:
      return {"  if ((k1>0) && (l1<0))", "  if ((k1<0) && (l1>0))", false};
    case Kind::BollingerBands:
      return {"  if (k1>l1)", "  if (k1<l2)", false};
    case Kind::Other:
      break;
  }
  return {{}, {}, false};
}

std::string_view testFor(Kind kind, std::string_view side) {
  const Condition condition = conditionOf(kind);
  const Direction direction = directionOf(side);
  if (direction == Direction::Bullish) return condition.bullish;
  if (direction == Direction::Bearish || condition.otherSideIsBearish) return condition.bearish;
  return {};
}

}  // namespace

bool hasIndicatorCode(std::string_view indicatorType) { return indicatorKindOf(indicatorType) != Kind::Other; }

bool writesSignalLine(std::string_view indicatorType, std::string_view sideCode) {
  return !testFor(indicatorKindOf(indicatorType), sideCode).empty();
}

NeverHoldsFinding testNeverHolds(const Indicator& indicator, std::string_view sideCode) {
  const Kind kind = indicatorKindOf(indicator.type());
  const std::string_view test = testFor(kind, sideCode);
  if (test.empty()) return {};
  const bool bullish = test == conditionOf(kind).bullish;
  switch (kind) {
    case Kind::Macd:
      // l1 is the OsMA, the main line less its signal: with a signal of one bar, always 0.
      if (leadingNumber(indicator.parameter("periodsignal")) == 1) return {NeverHolds::OsmaAlwaysZero, {}};
      return {};
    case Kind::Rsi:
    case Kind::Stochastik: {
      // Bullish: the value below the level; bearish: above it. Both live in 0..100.
      const std::string_view key = kind == Kind::Rsi ? "actionline" : "st_trigger";
      const double level = leadingNumber(indicator.parameter(key));
      if (bullish ? level <= 0 : level >= 100) return {NeverHolds::LevelBeyondScale, key};
      return {};
    }
    case Kind::RsiCross: {
      // Bullish: below the line at bar s, at or above it at s+1; bearish the mirror.
      const std::string_view key = "actionline";
      const double level = leadingNumber(indicator.parameter(key));
      const bool beyond = bullish ? (level <= 0 || level > 100) : (level >= 100 || level < 0);
      if (beyond) return {NeverHolds::LevelBeyondScale, key};
      return {};
    }
    default:
      return {};
  }
}

std::string symbolArgument(const Catalogue& catalogue, std::string_view storedSymbol) {
  const auto& ids = catalogue.symbols.ids;
  if (storedSymbol == "Symbol()" || (!ids.empty() && iequals(storedSymbol, ids.front()))) return "tSymbol";
  return mqlStringLiteral(storedSymbol);
}

std::string appliedPriceArgument(const Catalogue& catalogue, const DefinitionTable& definitions, std::string_view key,
                                 std::string_view storedId) {
  const ValueList& prices = catalogue.pricetypes;
  for (std::size_t i = 0; i < prices.ids.size() && i < prices.values.size(); ++i)
    if (iequals(prices.ids[i], storedId)) return prices.values[i];
  // The entry's META4 text is taken only when it is one of the applied-price constants, so
  // an edited table cannot put arbitrary text into the source.
  for (const DefinitionEntry& e : definitions.entries()) {
    if (e.type != key || !iequals(e.id, storedId)) continue;
    for (const auto& constant : prices.values)
      if (e.meta4 == constant) return constant;
    break;
  }
  return "0";
}

void writeIndicatorCode(const Catalogue& cat, const DefinitionTable& definitions, const Indicator& indicator,
                        Listing& out, std::string_view side) {
  const Kind kind = indicatorKindOf(indicator.type());
  if (kind == Kind::Other) return;

  auto p = [&](std::string_view key) -> const std::string& { return indicator.parameter(key); };

  const std::string symbol = symbolArgument(cat, p("symbol"));
  const std::string timeframe = cat.timeframes.valueOf(p("timeframe"));
  const std::string method = cat.maMethods.valueOf(p("ma_method"));
  const std::string shift = p("shift");
  // The "+1" is left for the terminal to add, so a shift of "1" reads "1+1".
  const std::string prevShift = joined(shift, "+1");
  const std::string where = joined(symbol, ",", timeframe, ",");
  // Close[], High[] and Low[] are the chart's bars; an indicator on another symbol or
  // timeframe compares with that symbol's bars instead.
  const bool onChart = symbol == "tSymbol" && timeframe == "0";
  auto bar = [&](std::string_view series, const std::string& barShift) {
    if (onChart) return joined(series, "[", barShift, "]");
    return joined("i", series, "(", where, barShift, ")");
  };

  auto chartNote = [&] {
    if (timeframe == "0") out.emplace_back("// 0=Timeframe im Chart");
  };
  auto price = [&]() -> const std::string& { return cat.pricetypes.valueOf(p("pricetype")); };
  auto ima = [&](const std::string& period, const std::string& maShift, const std::string& appliedPrice,
                 const std::string& barShift) {
    return joined("iMA(", where, period, ",", maShift, ",", method, " ,", appliedPrice, ",", barShift, ");");
  };
  auto fastMa = [&](const std::string& barShift) {
    return ima(p("periodfast"), p("ma_shiftfast"), appliedPriceArgument(cat, definitions, "apricefast", p("apricefast")), barShift);
  };
  auto slowMa = [&](const std::string& barShift) {
    return ima(p("periodslow"), p("ma_shiftslow"), appliedPriceArgument(cat, definitions, "apriceslow", p("apriceslow")), barShift);
  };
  auto rsi = [&](const std::string& barShift) {
    return joined("iRSI(", where, p("period"), ",", price(), ",", barShift, ");");
  };
  auto sar = [&](const std::string& barShift) {
    return joined("iSAR(", where, p("pa_step"), ",", p("pa_maximum"), ",", barShift, ");");
  };
  auto bands = [&](std::string_view mode) {
    return joined("iBands(", where, p("period"), ",", p("bo_stab"), ",", p("bo_shift"), ",", price(), ",", mode, ",",
                  shift, ");");
  };
  auto adx = [&](std::string_view mode, const std::string& barShift) {
    return joined("iADX(", where, p("period"), ",", price(), ",", mode, ",", barShift, ");");
  };

  const std::string_view test = testFor(kind, side);
  const bool bullish = test == conditionOf(kind).bullish;
  switch (kind) {
    case Kind::MovingAverage:
      out.line("  k1=", bar("Close", shift), ";");
      chartNote();
      out.line("  l1=", ima(p("period"), p("ma_shift"), price(), shift));
      break;
    case Kind::MovingAverageCross:
      out.line("  k1=", bar("Close", shift), ";");
      out.line("  k2=", bar("Close", prevShift), ";");
      chartNote();
      out.line("  l1=", ima(p("period"), p("ma_shift"), price(), shift));
      out.line("  l2=", ima(p("period"), p("ma_shift"), price(), prevShift));
      break;
    case Kind::TwoMovingAverages:
      out.line("  k1=", fastMa(shift));
      chartNote();
      out.line("  l1=", slowMa(shift));
      break;
    case Kind::TwoMovingAveragesCross:
      chartNote();
      out.line("  k1=", fastMa(shift));
      out.line("  l1=", slowMa(shift));
      out.line("  k2=", fastMa(prevShift));
      out.line("  l2=", slowMa(prevShift));
      break;
    case Kind::Rsi:
      out.line("  l1=", p("actionline"), ";");
      chartNote();
      out.line("  k1=", rsi(shift));
      break;
    case Kind::RsiCross:
      out.line("  l1=", p("actionline"), ";");
      chartNote();
      out.line("  k1=", rsi(shift));
      out.line("  l2=", p("actionline"), ";");
      out.line("  k2=", rsi(prevShift));
      break;
    case Kind::ParabolicSar:
      if (test.empty()) break;
      // Bar s against the SAR of bar s, bar s+1 against the SAR of bar s+1.
      out.line("  l1=", bar(bullish ? "Low" : "High", shift), ";");
      out.line("  l2=", bar(bullish ? "High" : "Low", prevShift), ";");
      chartNote();
      out.line("  k1=", sar(shift));
      out.line("  k2=", sar(prevShift));
      break;
    case Kind::Macd: {
      const std::string periods = joined(where, p("periodfast"), ",", p("periodslow"), ",", p("periodsignal"), ",", price());
      chartNote();
      out.line("  l1=iOsMA(", periods, ",", prevShift, ");");
      out.line("  k1=iMACD(", periods, ",MODE_MAIN,", shift, ");");
      break;
    }
    case Kind::Stochastik:
      chartNote();
      out.line("  k1=iStochastic(", where, p("st_pk"), ",", p("st_pd"), ",", p("st_slow"), ",", method, ",", cat.pricefields.valueOf(p("pricefield")), ",MODE_MAIN,", shift, ");");
      out.line("  l1=", p("st_trigger"), ";");
      break;
    case Kind::BollingerBands:
      out.line("  k1=", bar("Close", shift), ";");
      chartNote();
      out.line("  l1=", bands("MODE_UPPER"));
      out.line("  l2=", bands("MODE_LOWER"));
      break;
    case Kind::DonchianChannel: {
      chartNote();
      if (test.empty()) return;
      // The channel of the `period` bars before bar s, which itself is not part of it.
      const std::string extreme = bullish ? "iHighest(" + where + "MODE_HIGH," + p("period") + "," + prevShift + ")"
                                          : "iLowest(" + where + "MODE_LOW," + p("period") + "," + prevShift + ")";
      out.line("  k1=", bar("Close", shift), ";");
      out.line("  l1=", bar(bullish ? "High" : "Low", extreme), ";");
      break;
    }
    case Kind::Adx:
      chartNote();
      if (test.empty()) return;
      out.line("  k1=", adx("MODE_PLUSDI", shift));
      out.line("  l1=", adx("MODE_MINUSDI", shift));
      out.line("  k2=", adx("MODE_MAIN", shift));
      out.line("  l2=", adx("MODE_MAIN", prevShift));
      break;
    case Kind::Other:
      return;
  }

  if (test.empty()) return;
  const std::string typeName = toUpper(indicator.type());
  out.line(std::string(test), " {ic=ic+", p("value"), ";");
  out.line("    if(Debug==TRUE) Print(\"", typeName, " ok\");} else {");
  out.line("    if(Debug==TRUE) Print(\"", typeName, " no\");}");
}

}  // namespace zorvik
