// The MQL4 lines of single indicators: the comparison per side code, the value lists behind
// the placeholders, and the types that write little or nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "generator/indicator_code.hpp"
#include "generator/listing.hpp"
#include "model/indicator.hpp"
#include "rules/system_rules.hpp"
#include "rules/terminal_constants.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;
using Params = std::vector<std::pair<std::string, std::string>>;

Indicator makeIndicator(const std::string& type, const Params& params) {
  Indicator ind(type);
  for (const auto& [name, value] : params) ind.setRaw(name, value);
  return ind;
}

// Whether the rule of an indicator of that type votes when it stands for that side code.
bool votes(const Workspace& ws, const std::string& type, std::string_view side) {
  return indicatorRuleVotingFor(ws.catalogue, ws.definitions, Indicator(type), side, 1).votes();
}

std::vector<std::string> codeOf(const Workspace& ws, const Indicator& ind, std::string_view side) {
  Listing out;
  writeIndicatorCode(ws.catalogue, ws.definitions, ind, out, side);
  return out.takeLines();
}

const Params kSimpleAverage{{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "55"},
                            {"ma_method", "idSimple"}, {"ma_shift", "0"},       {"pricetype", "idCLOSE"},
                            {"shift", "1"},          {"value", "1"},            {"actiontyp", "idStandard"}};

TEST(IndicatorCode, MovingAverageOfTheChartForEntryLong) {
  TestWorkspace t;
  EXPECT_EQ(codeOf(*t.ws, makeIndicator("Moving Average", kSimpleAverage), "L"),
            (std::vector<std::string>{
                "  k1=Close[1];",
                "// 0=Timeframe im Chart",
                "  l1=iMA(tSymbol,0,55,0,MODE_SMA ,PRICE_CLOSE,1);",
                "  if (k1>l1) {ic=ic+1;",
                "    if(Debug==TRUE) Print(\"MOVING AVERAGE ok\");} else {",
                "    if(Debug==TRUE) Print(\"MOVING AVERAGE no\");}",
            }));
}

TEST(IndicatorCode, PlaceholdersFollowTheValueLists) {
  TestWorkspace t;
  // A named symbol is quoted, an hour timeframe drops the chart note and reads the bars of that
  // symbol and timeframe, the type name is matched whatever its letter case and shown in upper
  // case.
  Indicator ind = makeIndicator("moving average", kSimpleAverage);
  ind.setRaw("symbol", "EURUSD");
  ind.setRaw("timeframe", "idh1");
  ind.setRaw("ma_method", "idLinear Weighted");
  ind.setRaw("pricetype", "WEIGHTED");
  ind.setRaw("value", "7");
  EXPECT_EQ(codeOf(*t.ws, ind, "XL"), (std::vector<std::string>{
                                          "  k1=iClose(\"EURUSD\",60,1);",
                                          "  l1=iMA(\"EURUSD\",60,55,0,MODE_LWMA ,PRICE_WEIGHTED,1);",
                                          "  if (k1<l1) {ic=ic+7;",
                                          "    if(Debug==TRUE) Print(\"MOVING AVERAGE ok\");} else {",
                                          "    if(Debug==TRUE) Print(\"MOVING AVERAGE no\");}",
                                      }));

  // Ids no list holds give "0" (and "0" as timeframe is the chart's, with its note); the first
  // symbol id matches ignoring case.
  ind.setRaw("symbol", "SYMBOL()");
  ind.setRaw("timeframe", "idH2");
  ind.setRaw("ma_method", "");
  ind.setRaw("pricetype", "#9");
  EXPECT_EQ(codeOf(*t.ws, ind, "XS")[1], "// 0=Timeframe im Chart");
  EXPECT_EQ(codeOf(*t.ws, ind, "XS")[2], "  l1=iMA(tSymbol,0,55,0,0 ,0,1);");
}

TEST(IndicatorCode, EnglishChartSymbolStillMeansTheTradedSymbol) {
  TestWorkspace t;
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  t.ws->catalogue.readParameterCoding(t.ws->language, t.ws->brokerSymbols);
  EXPECT_EQ(symbolArgument(t.ws->catalogue, "Current symbol"), "tSymbol");
  EXPECT_EQ(symbolArgument(t.ws->catalogue, "Symbol()"), "tSymbol");
  EXPECT_EQ(symbolArgument(t.ws->catalogue, "symbol()"), "\"symbol()\"");
  EXPECT_EQ(symbolArgument(t.ws->catalogue, "GBPUSD"), "\"GBPUSD\"");
}

// The fast and slow prices of the two-average types are stored under ids of their own; the
// chosen price must reach the source, not a silent 0 (which the terminal reads as close).
TEST(IndicatorCode, TwoAveragesUseTheChosenFastAndSlowPrices) {
  TestWorkspace t;
  const Params params{{"symbol", "Symbol()"},   {"timeframe", "idM5"},  {"ma_method", "idExponential"},
                      {"apricefast", "idOPENf"}, {"periodfast", "11"},  {"ma_shiftfast", "0"},
                      {"apriceslow", "idWEIGHTEDs"}, {"periodslow", "55"}, {"ma_shiftslow", "2"},
                      {"shift", "3"},            {"value", "4"},        {"actiontyp", "idStandard"}};
  EXPECT_EQ(codeOf(*t.ws, makeIndicator("2 Moving Averages Cross", params), "S"),
            (std::vector<std::string>{
                "  k1=iMA(tSymbol,5,11,0,MODE_EMA ,PRICE_OPEN,3);",
                "  l1=iMA(tSymbol,5,55,2,MODE_EMA ,PRICE_WEIGHTED,3);",
                "  k2=iMA(tSymbol,5,11,0,MODE_EMA ,PRICE_OPEN,3+1);",
                "  l2=iMA(tSymbol,5,55,2,MODE_EMA ,PRICE_WEIGHTED,3+1);",
                "  if ((k1<l1) && (k2>=l2)) {ic=ic+4;",
                "    if(Debug==TRUE) Print(\"2 MOVING AVERAGES CROSS ok\");} else {",
                "    if(Debug==TRUE) Print(\"2 MOVING AVERAGES CROSS no\");}",
            }));
  EXPECT_EQ(appliedPriceArgument(t.ws->catalogue, t.ws->definitions, "apricefast", "idclosef"), "PRICE_CLOSE");
  EXPECT_EQ(appliedPriceArgument(t.ws->catalogue, t.ws->definitions, "apriceslow", "idLOW"), "PRICE_LOW");  // a plain price id
  EXPECT_EQ(appliedPriceArgument(t.ws->catalogue, t.ws->definitions, "apriceslow", "idOPENf"), "0");        // the other list's id
  EXPECT_EQ(appliedPriceArgument(t.ws->catalogue, t.ws->definitions, "apricefast", "idHedging"), "0");
}

// The SAR flips below price at bar s for "L"/"XS": SAR(s) < Low(s) and SAR(s+1) >= High(s+1);
// above it for "S"/"XL". Once the test was inverted and paired bar s with bar s+1 on the short
// side (SAR of s against the low of s+1).
TEST(IndicatorCode, ParabolicSarFiresWhenItFlipsToTheOtherSideOfPrice) {
  TestWorkspace t;
  const Indicator sar = makeIndicator(
      "Parabolic SAR", {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"pa_step", "0.02"}, {"pa_maximum", "0.2"},
                        {"shift", "1"}, {"value", "2"}});
  const std::vector<std::string> tail{"// 0=Timeframe im Chart", "  k1=iSAR(tSymbol,0,0.02,0.2,1);",
                                      "  k2=iSAR(tSymbol,0,0.02,0.2,1+1);"};
  auto with = [&](std::vector<std::string> head, std::vector<std::string> signal) {
    head.insert(head.end(), tail.begin(), tail.end());
    head.insert(head.end(), signal.begin(), signal.end());
    head.push_back("    if(Debug==TRUE) Print(\"PARABOLIC SAR ok\");} else {");
    head.push_back("    if(Debug==TRUE) Print(\"PARABOLIC SAR no\");}");
    return head;
  };
  const auto bullish = with({"  l1=Low[1];", "  l2=High[1+1];"}, {"  if ((k1<l1) && (k2>=l2)) {ic=ic+2;"});
  const auto sell = with({"  l1=High[1];", "  l2=Low[1+1];"}, {"  if ((k1>l1) && (k2<=l2)) {ic=ic+2;"});
  EXPECT_EQ(codeOf(*t.ws, sar, "L"), bullish);
  EXPECT_EQ(codeOf(*t.ws, sar, "XS"), bullish);
  EXPECT_EQ(codeOf(*t.ws, sar, "S"), sell);
  EXPECT_EQ(codeOf(*t.ws, sar, "XL"), sell);
  EXPECT_EQ(codeOf(*t.ws, sar, ""), sell);  // no side: as "S"

  // On another symbol the bars are that symbol's.
  Indicator other = sar;
  other.setRaw("symbol", "GBPUSD");
  other.setRaw("timeframe", "idH1");
  EXPECT_EQ(codeOf(*t.ws, other, "L")[0], "  l1=iLow(\"GBPUSD\",60,1);");
  EXPECT_EQ(codeOf(*t.ws, other, "L")[1], "  l2=iHigh(\"GBPUSD\",60,1+1);");
}

// Donchian and ADX once wrote no signal line while their value still counted towards the
// threshold, so a group holding them could never reach it.
TEST(IndicatorCode, DonchianAndAdxFireOnTheirOwnConditions) {
  TestWorkspace t;
  const Params chart{{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "20"}, {"pricetype", "idCLOSE"},
                     {"shift", "1"}, {"value", "5"}};
  auto signal = [](std::string type, std::vector<std::string> lines, std::string test) {
    lines.push_back(test + " {ic=ic+5;");
    lines.push_back("    if(Debug==TRUE) Print(\"" + type + " ok\");} else {");
    lines.push_back("    if(Debug==TRUE) Print(\"" + type + " no\");}");
    return lines;
  };
  const Indicator donchian = makeIndicator("Donchian Channel", chart);
  // The close of bar s against the channel of the `period` bars before it.
  EXPECT_EQ(codeOf(*t.ws, donchian, "L"),
            signal("DONCHIAN CHANNEL",
                   {"// 0=Timeframe im Chart", "  k1=Close[1];", "  l1=High[iHighest(tSymbol,0,MODE_HIGH,20,1+1)];"},
                   "  if (k1>l1)"));
  EXPECT_EQ(codeOf(*t.ws, donchian, "XL"),
            signal("DONCHIAN CHANNEL",
                   {"// 0=Timeframe im Chart", "  k1=Close[1];", "  l1=Low[iLowest(tSymbol,0,MODE_LOW,20,1+1)];"},
                   "  if (k1<l1)"));
  Indicator daily = donchian;
  daily.setRaw("timeframe", "idD1");
  EXPECT_EQ(codeOf(*t.ws, daily, "XS")[1], "  l1=iHigh(tSymbol,1440,iHighest(tSymbol,1440,MODE_HIGH,20,1+1));");

  const Indicator adx = makeIndicator("ADX", chart);
  const std::vector<std::string> adxLines{
      "// 0=Timeframe im Chart", "  k1=iADX(tSymbol,0,20,PRICE_CLOSE,MODE_PLUSDI,1);",
      "  l1=iADX(tSymbol,0,20,PRICE_CLOSE,MODE_MINUSDI,1);", "  k2=iADX(tSymbol,0,20,PRICE_CLOSE,MODE_MAIN,1);",
      "  l2=iADX(tSymbol,0,20,PRICE_CLOSE,MODE_MAIN,1+1);"};
  EXPECT_EQ(codeOf(*t.ws, adx, "XS"), signal("ADX", adxLines, "  if ((k1>l1) && (k2>l2))"));
  EXPECT_EQ(codeOf(*t.ws, adx, "S"), signal("ADX", adxLines, "  if ((k1<l1) && (k2>l2))"));

  // Without a side neither writes more than the chart note; unknown types write nothing.
  EXPECT_EQ(codeOf(*t.ws, donchian, ""), std::vector<std::string>{"// 0=Timeframe im Chart"});
  EXPECT_EQ(codeOf(*t.ws, adx, "x"), std::vector<std::string>{"// 0=Timeframe im Chart"});
  EXPECT_EQ(codeOf(*t.ws, makeIndicator("Ichimoku", chart), "S"), std::vector<std::string>{});
  EXPECT_EQ(codeOf(*t.ws, makeIndicator("", {}), "S"), std::vector<std::string>{});
}

// Whether an indicator can make its group fire: its rule votes exactly when its lines hold a
// signal test.
TEST(IndicatorCode, RuleVotesExactlyWhenTheLinesHoldATest) {
  TestWorkspace t;
  const char* types[] = {"Moving Average", "Moving Average Cross", "2 Moving Averages", "2 Moving Averages Cross",
                         "RSI", "RSI Cross", "Parabolic SAR", "MACD", "Stochastik", "Bollinger Bands",
                         "Donchian Channel", "ADX", "adx", "Ichimoku", ""};
  for (const char* type : types) {
    for (const char* side : {"L", "XS", "S", "XL", "", "x"}) {
      const auto lines = codeOf(*t.ws, makeIndicator(type, {{"timeframe", "idD1"}, {"value", "3"}}), side);
      const bool hasTest = std::any_of(lines.begin(), lines.end(),
                                       [](const std::string& l) { return l.find("{ic=ic+") != std::string::npos; });
      EXPECT_EQ(votes(*t.ws, type, side), hasTest) << type << " / " << side;
    }
  }
  EXPECT_TRUE(votes(*t.ws, "ADX", "L"));
  EXPECT_FALSE(votes(*t.ws, "RSI", ""));
  EXPECT_TRUE(votes(*t.ws, "Parabolic SAR", ""));
}

// Which types write a signal line for which side code: the condition, or none.
TEST(IndicatorCode, ConditionPerTypeAndSide) {
  TestWorkspace t;
  struct Case {
    const char* type;
    const char* bullish;  // "L" and "XS"
    const char* bearish;  // "S" and "XL"
    const char* noSide;   // "" and any other code; empty: no signal line
  };
  const Case cases[] = {
      {"Moving Average", "  if (k1>l1)", "  if (k1<l1)", ""},
      {"Moving Average Cross", "  if ((k1>l1) && (k2<=l2))", "  if ((k1<l1) && (k2>=l2))", "  if ((k1<l1) && (k2>=l2))"},
      {"2 Moving Averages", "  if (k1>l1)", "  if (k1<l1)", ""},
      {"2 Moving Averages Cross", "  if ((k1>l1) && (k2<=l2))", "  if ((k1<l1) && (k2>=l2))",
       "  if ((k1<l1) && (k2>=l2))"},
      {"RSI", "  if (k1<l1)", "  if (k1>l1)", ""},
      {"RSI Cross", "  if ((k1<l1) && (k2>=l2))", "  if ((k1>l1) && (k2<=l2))", ""},
      {"MACD", "  if ((k1>0) && (l1<0))", "  if ((k1<0) && (l1>0))", ""},
      {"Stochastik", "  if (k1<l1)", "  if (k1>l1)", ""},
      {"Bollinger Bands", "  if (k1>l1)", "  if (k1<l2)", ""},
      {"Parabolic SAR", "  if ((k1<l1) && (k2>=l2))", "  if ((k1>l1) && (k2<=l2))", "  if ((k1>l1) && (k2<=l2))"},
      {"Donchian Channel", "  if (k1>l1)", "  if (k1<l1)", ""},
      {"ADX", "  if ((k1>l1) && (k2>l2))", "  if ((k1<l1) && (k2>l2))", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const Indicator ind = makeIndicator(c.type, {{"timeframe", "idD1"}, {"value", "3"}});
    for (const char* side : {"L", "XS", "S", "XL", "", "x", "l"}) {
      SCOPED_TRACE(side);
      const std::string s = side;
      const std::string expected = (s == "L" || s == "XS") ? c.bullish : (s == "S" || s == "XL") ? c.bearish : c.noSide;
      const auto lines = codeOf(*t.ws, ind, side);
      if (expected.empty()) {
        for (const std::string& line : lines) EXPECT_EQ(line.find("if"), std::string::npos) << line;
      } else {
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[lines.size() - 3], expected + " {ic=ic+3;");
      }
    }
  }
}

}  // namespace
}  // namespace zorvik
