#include "generator/indicator_code.hpp"

#include <array>
#include <cstdint>

#include "model/group_roles.hpp"
#include "model/indicator.hpp"
#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

enum class Kind {
  MovingAverage,
  MovingAverageCross,
  TwoMovingAverages,
  TwoMovingAveragesCross,
  Rsi,
  RsiCross,
  ParabolicSar,
  Macd,
  Stochastik,
  BollingerBands,
  DonchianChannel,
  Other,  // ADX and any unknown type: no lines at all
};

// Matched in this order, ignoring case; the first match wins.
constexpr std::array<std::pair<std::string_view, Kind>, 11> kKinds{{
    {"Moving Average", Kind::MovingAverage},
    {"Moving Average Cross", Kind::MovingAverageCross},
    {"2 Moving Averages", Kind::TwoMovingAverages},
    {"2 Moving Averages Cross", Kind::TwoMovingAveragesCross},
    {"RSI", Kind::Rsi},
    {"RSI Cross", Kind::RsiCross},
    {"Parabolic SAR", Kind::ParabolicSar},
    {"MACD", Kind::Macd},
    {"Stochastik", Kind::Stochastik},
    {"Bollinger Bands", Kind::BollingerBands},
    {"Donchian Channel", Kind::DonchianChannel},
}};

Kind kindOf(std::string_view type) {
  for (const auto& [name, kind] : kKinds)
    if (iequals(name, type)) return kind;
  return Kind::Other;
}

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
    case Kind::ParabolicSar:
      return {"  if ((k1>l1) && (k2<=l2))", "  if ((k1<l1) && (k2>=l2))", true};
    case Kind::Rsi:
    case Kind::Stochastik:
      return {"  if (k1<l1)", "  if (k1>l1)", false};
    case Kind::RsiCross:
      return {"  if ((k1<l1) && (k2>=l2))", "  if ((k1>l1) && (k2<=l2))", false};
    case Kind::Macd:
      return {"  if ((k1>0) && (l1<0))", "  if ((k1<0) && (l1>0))", false};
    case Kind::BollingerBands:
      return {"  if (k1>l1)", "  if (k1<l2)", false};
    case Kind::DonchianChannel:
    case Kind::Other:
      break;
  }
  return {{}, {}, false};
}

}  // namespace

std::string symbolArgument(const Catalogue& catalogue, std::string_view storedSymbol) {
  const auto& ids = catalogue.symbols.ids;
  if (storedSymbol == "Symbol()" || (!ids.empty() && iequals(storedSymbol, ids.front()))) return "tSymbol";
  std::string quoted = "\"";
  quoted += storedSymbol;
  quoted += '"';
  return quoted;
}

std::string appliedPriceArgument(const Catalogue& catalogue, const DefinitionTable& definitions, std::string_view key,
                                 std::string_view storedId) {
  const ValueList& prices = catalogue.pricetypes;
  for (std::size_t i = 0; i < prices.ids.size() && i < prices.values.size(); ++i)
    if (iequals(prices.ids[i], storedId)) return prices.values[i];
  // The entry's META4 text is taken only when it is one of the applied-price constants, so
  // an edited table cannot put arbitrary text into the source.
  for (const DefinitionEntry* e : definitions.entriesOf(key)) {
    if (!iequals(e->id, storedId)) continue;
    for (const auto& constant : prices.values)
      if (e->meta4 == constant) return constant;
    break;
  }
  return "0";
}

void writeIndicatorCode(const Catalogue& cat, const DefinitionTable& definitions, const Indicator& indicator,
                        std::vector<std::string>& out, std::string_view side) {
  const Kind kind = kindOf(indicator.type());
  if (kind == Kind::Other) return;

  auto p = [&](std::string_view key) { return indicator.parameter(key); };

  const std::string symbol = symbolArgument(cat, p("symbol"));
  const std::string timeframe = cat.timeframes.valueOf(p("timeframe"));
  const std::string method = cat.maMethods.valueOf(p("ma_method"));
  const std::string shift = p("shift");
  // The "+1" is left for the terminal to add, so a shift of "1" reads "1+1".
  const std::string prevShift = shift + "+1";
  const std::string where = symbol + "," + timeframe + ",";

  auto chartNote = [&] {
    if (timeframe == "0") out.emplace_back("// 0=Timeframe im Chart");
  };
  auto price = [&] { return cat.pricetypes.valueOf(p("pricetype")); };
  auto ima = [&](const std::string& period, const std::string& maShift, const std::string& appliedPrice,
                 const std::string& barShift) {
    return "iMA(" + where + period + "," + maShift + "," + method + " ," + appliedPrice + "," + barShift + ");";
  };
  auto fastMa = [&](const std::string& barShift) {
    return ima(p("periodfast"), p("ma_shiftfast"), appliedPriceArgument(cat, definitions, "apricefast", p("apricefast")), barShift);
  };
  auto slowMa = [&](const std::string& barShift) {
    return ima(p("periodslow"), p("ma_shiftslow"), appliedPriceArgument(cat, definitions, "apriceslow", p("apriceslow")), barShift);
  };
  auto rsi = [&](const std::string& barShift) {
    return "iRSI(" + where + p("period") + "," + price() + "," + barShift + ");";
  };
  auto sar = [&](const std::string& barShift) {
    return "iSAR(" + where + p("pa_step") + "," + p("pa_maximum") + "," + barShift + ");";
  };
  auto bands = [&](std::string_view mode) {
    return "iBands(" + where + p("period") + "," + p("bo_stab") + "," + p("bo_shift") + "," + price() + "," +
           std::string(mode) + "," + shift + ");";
  };

  const Direction direction = directionOf(side);
  switch (kind) {
    case Kind::MovingAverage:
      out.push_back("  k1=Close[" + shift + "];");
      chartNote();
      out.push_back("  l1=" + ima(p("period"), p("ma_shift"), price(), shift));
      break;
    case Kind::MovingAverageCross:
      out.push_back("  k1=Close[" + shift + "];");
      out.push_back("  k2=Close[" + prevShift + "];");
      chartNote();
      out.push_back("  l1=" + ima(p("period"), p("ma_shift"), price(), shift));
      out.push_back("  l2=" + ima(p("period"), p("ma_shift"), price(), prevShift));
      break;
    case Kind::TwoMovingAverages:
      out.push_back("  k1=" + fastMa(shift));
      chartNote();
      out.push_back("  l1=" + slowMa(shift));
      break;
    case Kind::TwoMovingAveragesCross:
      chartNote();
      out.push_back("  k1=" + fastMa(shift));
      out.push_back("  l1=" + slowMa(shift));
      out.push_back("  k2=" + fastMa(prevShift));
      out.push_back("  l2=" + slowMa(prevShift));
      break;
    case Kind::Rsi:
      out.push_back("  l1=" + p("actionline") + ";");
      chartNote();
      out.push_back("  k1=" + rsi(shift));
      break;
    case Kind::RsiCross:
      out.push_back("  l1=" + p("actionline") + ";");
      chartNote();
      out.push_back("  k1=" + rsi(shift));
      out.push_back("  l2=" + p("actionline") + ";");
      out.push_back("  k2=" + rsi(prevShift));
      break;
    case Kind::ParabolicSar: {
      // The levels are bar numbers computed here, each written after one blank.
      const std::int64_t s = toInt32(shift);
      const std::string bar = std::string(" ").append(intText(s));
      const std::string nextBar = std::string(" ").append(intText(s + 1));
      if (direction == Direction::Bullish) {
        out.push_back("  l1=High[" + bar + "];");
        out.push_back("  l2=Low[" + nextBar + "];");
      } else if (direction == Direction::Bearish) {
        out.push_back("  l2=High[" + bar + "];");
        out.push_back("  l1=Low[" + nextBar + "];");
      }
      chartNote();
      out.push_back("  k1=" + sar(shift));
      out.push_back("  k2=" + sar(prevShift));
      break;
    }
    case Kind::Macd: {
      const std::string periods = where + p("periodfast") + "," + p("periodslow") + "," + p("periodsignal") + "," + price();
      chartNote();
      out.push_back("  l1=iOsMA(" + periods + "," + prevShift + ");");
      out.push_back("  k1=iMACD(" + periods + ",MODE_MAIN," + shift + ");");
      break;
    }
    case Kind::Stochastik:
      chartNote();
      out.push_back("  k1=iStochastic(" + where + p("st_pk") + "," + p("st_pd") + "," + p("st_slow") + "," + method + "," +
                    cat.pricefields.valueOf(p("pricefield")) + ",MODE_MAIN," + shift + ");");
      out.push_back("  l1=" + p("st_trigger") + ";");
      break;
    case Kind::BollingerBands:
      out.push_back("  k1=Close[" + shift + "];");
      chartNote();
      out.push_back("  l1=" + bands("MODE_UPPER"));
      out.push_back("  l2=" + bands("MODE_LOWER"));
      break;
    case Kind::DonchianChannel:
      chartNote();
      return;
    case Kind::Other:
      return;
  }

  const Condition condition = conditionOf(kind);
  std::string_view test;
  if (direction == Direction::Bullish) test = condition.bullish;
  else if (direction == Direction::Bearish || condition.otherSideIsBearish) test = condition.bearish;
  if (test.empty()) return;

  const std::string typeName = toUpper(indicator.type());
  out.push_back(std::string(test) + " {ic=ic+" + p("value") + ";");
  out.push_back("    if(Debug==TRUE) Print(\"" + typeName + " ok\");} else {");
  out.push_back("    if(Debug==TRUE) Print(\"" + typeName + " no\");}");
}

}  // namespace zorvik
