// The Expert Advisor source: whole files of four systems against reviewed expected files,
// the threshold points, the side mapping, and what happens when generation must not go on.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "generator/expert_generator.hpp"
#include "model/system_parameters.hpp"
#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;
using Params = std::vector<std::pair<std::string, std::string>>;

void addIndicator(SignalGroup& group, const std::string& type, const Params& params) {
  Indicator ind(type);
  for (const auto& [name, value] : params) ind.setRaw(name, value);
  group.addIndicator(std::move(ind));
}

void setGroup(TradingSystem& hs, int index, const char* threshold, const char* sl = "0", const char* tp = "0",
              const char* ts = "0") {
  SignalGroup& g = hs.group(index);
  g.threshold = threshold;
  g.sl = sl;
  g.tp = tp;
  g.ts = ts;
}

// Fixed lots of ".5", hedging off, an empty exit-short group, a reversed cross in entry long
// with a quoted symbol and an hour timeframe, fast and slow prices other than close.
void trendFixedLots(TradingSystem& hs) {
  hs.general.title = "Trend Folger";
  hs.mm.type = "idFixed Lots";
  hs.mm.lots = ".5";
  hs.mm.maxlots = "2";
  hs.mm.slippage = "3";
  hs.mm.maxtrades = "4";
  hs.mm.hedging = "idno Hedging";
  hs.mm.symbol = "Symbol()";
  setGroup(hs, 1, "50");
  addIndicator(hs.group(1), "Moving Average",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "55"}, {"ma_method", "idSimple"},
                {"ma_shift", "0"}, {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idStandard"}, {"comment", ""}});
  addIndicator(hs.group(1), "Moving Average Cross",
               {{"symbol", "EURUSD"}, {"timeframe", "idH1"}, {"period", "21"}, {"ma_method", "idExponential"},
                {"ma_shift", "1"}, {"pricetype", "idMEDIAN"}, {"shift", "2"}, {"value", "2"},
                {"actiontyp", "idReverse"}, {"comment", "umgekehrt"}});
  setGroup(hs, 2, "100", "40", "80", "25");
  addIndicator(hs.group(2), "RSI",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "14"}, {"actionline", "70"},
                {"pricetype", "idTYPICAL"}, {"shift", "1"}, {"value", "1"}, {"actiontyp", "idStandard"}});
  setGroup(hs, 3, "100");
  addIndicator(hs.group(3), "2 Moving Averages",
               {{"symbol", "Symbol()"}, {"timeframe", "idM30"}, {"ma_method", "idSmoothed"},
                {"apricefast", "idOPENf"}, {"periodfast", "11"}, {"ma_shiftfast", "0"},
                {"apriceslow", "idMEDIANs"}, {"periodslow", "55"}, {"ma_shiftslow", "0"}, {"shift", "1"},
                {"value", "3"}, {"actiontyp", "idStandard"}});
  setGroup(hs, 4, "100", "45", "90", "0");
}

// Fixed fractional, hedging on, a named traded symbol, MACD and Stochastik, a reversed RSI
// cross, Parabolic SAR on both sides, Bollinger Bands and a Donchian channel.
void oscillatorsFixedFractional(TradingSystem& hs) {
  hs.general.title = "Oszillator Mix";
  hs.mm.type = "idFixed Fractional";
  hs.mm.lots = "0.1";
  hs.mm.maxlots = ".3";
  hs.mm.fraction = "2000";
  hs.mm.hedging = "idHedging";
  hs.mm.symbol = "EURUSD";
  setGroup(hs, 1, "60");
  addIndicator(hs.group(1), "MACD",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"periodfast", "12"}, {"periodslow", "26"},
                {"periodsignal", "9"}, {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "2"},
                {"actiontyp", "idStandard"}});
  addIndicator(hs.group(1), "Stochastik",
               {{"symbol", "Symbol()"}, {"timeframe", "idM15"}, {"st_pk", "5"}, {"st_pd", "3"}, {"st_slow", "3"},
                {"st_trigger", "20"}, {"ma_method", "idExponential"}, {"pricefield", "idclose/close"},
                {"shift", "1"}, {"value", "3"}, {"actiontyp", "idStandard"}});
  setGroup(hs, 2, "100", "50", "100", "30");
  addIndicator(hs.group(2), "RSI Cross",
               {{"symbol", "GBPUSD"}, {"timeframe", "idH4"}, {"period", "14"}, {"actionline", "30"},
                {"pricetype", "idOPEN"}, {"shift", "1"}, {"value", "1"}, {"actiontyp", "idReverse"}});
  setGroup(hs, 3, "75");
  addIndicator(hs.group(3), "Parabolic SAR",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"pa_step", "0.02"}, {"pa_maximum", "0.2"},
                {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "2"}, {"actiontyp", "idStandard"}});
  addIndicator(hs.group(3), "Parabolic SAR",
               {{"symbol", "Symbol()"}, {"timeframe", "idD1"}, {"pa_step", "0.01"}, {"pa_maximum", "0.1"},
                {"pricetype", "idCLOSE"}, {"shift", "2"}, {"value", "2"}, {"actiontyp", "idReverse"}});
  setGroup(hs, 4, "50", "50", "100", "30");
  addIndicator(hs.group(4), "Bollinger Bands",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "20"}, {"bo_stab", "2"},
                {"bo_shift", "0"}, {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idStandard"}});
  addIndicator(hs.group(4), "Donchian Channel",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "20"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idStandard"}});
}

// Fixed ratio, a stored "#0" hedging, an ADX and a type name in lower case, indicators
// without an action type, and an entry-short group whose points round down to 0.
void averagesFixedRatio(TradingSystem& hs) {
  hs.general.title = "Kreuzungen";
  hs.mm.type = "idFixed Ratio";
  hs.mm.lots = "1";
  hs.mm.maxlots = "0";
  hs.mm.slippage = "2";
  hs.mm.maxtrades = "10";
  hs.mm.hedging = "#0";
  setGroup(hs, 1, "100");
  addIndicator(hs.group(1), "2 Moving Averages Cross",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"ma_method", "idLinear Weighted"},
                {"apricefast", "idWEIGHTEDf"}, {"periodfast", "8"}, {"ma_shiftfast", "0"},
                {"apriceslow", "idLOWs"}, {"periodslow", "34"}, {"ma_shiftslow", "0"}, {"shift", "1"},
                {"value", "2"}, {"actiontyp", "idStandard"}});
  addIndicator(hs.group(1), "ADX",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "14"}, {"pricetype", "idCLOSE"},
                {"shift", "1"}, {"value", "1"}, {"actiontyp", "idStandard"}});
  addIndicator(hs.group(1), "moving average",
               {{"symbol", "USDJPY"}, {"timeframe", "idW1"}, {"period", "100"}, {"ma_method", "idSimple"},
                {"ma_shift", "0"}, {"pricetype", "idHIGH"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idStandard"}});
  setGroup(hs, 2, "50");
  addIndicator(hs.group(2), "Parabolic SAR",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"pa_step", "0.02"}, {"pa_maximum", "0.2"},
                {"shift", "1"}, {"value", "1"}, {"actiontyp", ""}});
  addIndicator(hs.group(2), "RSI",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "14"}, {"actionline", "50"},
                {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "1"}});
  setGroup(hs, 3, "50");
  addIndicator(hs.group(3), "Moving Average Cross",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "55"}, {"ma_method", "idSimple"},
                {"ma_shift", "0"}, {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idStandard"}});
  setGroup(hs, 4, "100", "30", "0", "15");
  addIndicator(hs.group(4), "Bollinger Bands",
               {{"symbol", "Symbol()"}, {"timeframe", "idMN1"}, {"period", "20"}, {"bo_stab", "2"},
                {"bo_shift", "0"}, {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idReverse"}});
}

// A money-management id the generator does not know (no lot lines), decimal signal values and
// threshold, an unknown indicator type, and only two groups in use.
void unknownMoneyManagement(TradingSystem& hs) {
  hs.general.title = "Sonderfall";
  hs.mm.type = "idMartingale";
  hs.mm.hedging = "idno Hedging";
  setGroup(hs, 1, "33.5");
  addIndicator(hs.group(1), "Ichimoku", {{"symbol", "Symbol()"}, {"shift", "1"}, {"value", "1.5"}});
  addIndicator(hs.group(1), "RSI",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "9"}, {"actionline", "25"},
                {"pricetype", "WEIGHTED"}, {"shift", "1"}, {"value", "1"}, {"actiontyp", "idStandard"}});
  setGroup(hs, 2, "100");
  setGroup(hs, 3, "100");
  setGroup(hs, 4, "100", "20", "40", "10");
  addIndicator(hs.group(4), "Moving Average",
               {{"symbol", "Symbol()"}, {"timeframe", "idChart"}, {"period", "55"}, {"ma_method", "idSimple"},
                {"ma_shift", "0"}, {"pricetype", "idCLOSE"}, {"shift", "1"}, {"value", "1"},
                {"actiontyp", "idReverse"}});
}

// Line 1 carries the time of generation; it is the only part allowed to differ.
std::string maskGenerationTime(const std::string& bytes) {
  static const std::regex stamp("\\d{2}-\\d{2}-\\d{4}/\\d{2}:\\d{2}:\\d{2}\"\r\n");
  return std::regex_replace(bytes, stamp, "MM-DD-YYYY/hh:mm:ss\"\r\n", std::regex_constants::format_first_only);
}

struct Golden {
  const char* name;
  void (*build)(TradingSystem&);
  const char* magic;
  friend void PrintTo(const Golden& g, std::ostream* os) { *os << g.name; }
};

class GoldenSource : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenSource, WholeFileEqualsTheReviewedListing) {
  const Golden& g = GetParam();
  TestWorkspace t;
  TradingSystem& hs = t.ws->system();
  hs.resetAll(systemDefaults(*t.ws));
  g.build(hs);

  ASSERT_TRUE(writeExpertSource(*t.ws, hs, g.magic));
  EXPECT_TRUE(t.host.messages.empty());
  const std::string written = testing::readBytes(t.ws->userFile("_Zorvik.mq4"));
  EXPECT_TRUE(std::regex_search(written, std::regex("^#property copyright \"Copyright \xA9 2026, Zorvik "
                                                    "\\d{2}-\\d{2}-\\d{4}/\\d{2}:\\d{2}:\\d{2}\"\r\n")));
  const std::string actual = maskGenerationTime(written);

  const fs::path expectedFile = testing::sourceDir() / "tests" / "fixtures" / "golden" / (std::string(g.name) + ".mq4");
  const std::string expected = testing::readBytes(expectedFile);
  if (actual != expected) {
    // Left beside the build for a line-by-line diff; never copied over the reviewed file.
    const fs::path dump = fs::path(ZORVIK_BINARY_DIR) / (std::string(g.name) + ".actual.mq4");
    testing::writeBytes(dump, actual);
    ADD_FAILURE() << "generated source differs from " << expectedFile << "; see " << dump;
  }

  // The lines API gives the same file as the one written.
  const auto lines = expertSourceLines(*t.ws, hs, g.magic, DateTime{2026, 3, 7, 9, 5, 1});
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(lines->front(), "#property copyright \"Copyright © 2026, Zorvik 03-07-2026/09:05:01\"");
  EXPECT_EQ(maskGenerationTime(toFileText(*lines)), actual);
}

INSTANTIATE_TEST_SUITE_P(Systems, GoldenSource,
                         ::testing::Values(Golden{"trend_fixed_lots", trendFixedLots, "100123"},
                                           Golden{"oscillators_fixed_fractional", oscillatorsFixedFractional, "100456"},
                                           Golden{"averages_fixed_ratio", averagesFixedRatio, "100789"},
                                           Golden{"unknown_money_management", unknownMoneyManagement, "100999"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExpertGenerator, ThresholdPoints) {
  struct Case {
    std::vector<const char*> values;
    const char* threshold;
    std::int32_t points;
  };
  const Case cases[] = {
      {{}, "100", 0},                  // empty group
      {{"1"}, "50", 0},                // rounds down to nothing: the group never signals
      {{"1"}, "100", 1},
      {{"1", "2"}, "50", 1},           // floor(50 * 3 / 100)
      {{"1000", "1000"}, "100", 2000},
      {{"2.5"}, "100", 2},             // the sum is rounded half to even after each addition
      {{"0.5", "0.5", "0.5"}, "100", 0},  // 0.5 -> 0, 0.5 -> 0, 0.5 -> 0
      {{"1.5", "1"}, "33.5", 1},       // 1.5 -> 2, +1 -> 3; 33.5 -> 34; floor(102 / 100)
      {{"3"}, "66.5abc", 1},           // the leading number of the threshold: 66
      {{"3"}, "", 0},                  // no number: 0 %
      {{" 7 "}, "100", 7},
      {{"-3"}, "50", -2},              // floor, not truncation
      {{"1000", "1000"}, "2147483647", 2147483647 / 100},  // the product saturates at 32 bits
  };
  for (const Case& c : cases) {
    SignalGroup g("L");
    for (const char* v : c.values) {
      Indicator ind("RSI");
      ind.setRaw("value", v);
      g.addIndicator(ind);
    }
    const auto sum = signalSum(g);
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(thresholdPoints(c.threshold, *sum), c.points) << c.threshold << " / " << *sum;
  }

  for (const char* bad : {"", "abc", "5abc", "1,5", ".", "e3", "1e", "--1"}) {
    EXPECT_FALSE(isSignalNumber(bad)) << bad;
  }
  for (const char* good : {"1", " 12 ", "+3", "-4", ".5", "5.", "1e3", "2.5E-1"}) {
    EXPECT_TRUE(isSignalNumber(good)) << good;
  }
}

TEST(ExpertGenerator, SideCodesAndLots) {
  const std::tuple<const char*, const char*, const char*> sides[] = {
      {"idStandard", "L", "L"},  {"idStandard", "XS", "XS"}, {"idReverse", "L", "S"},  {"idReverse", "S", "L"},
      {"idReverse", "XL", "XS"}, {"idReverse", "XS", "XL"},  {"", "L", ""},             {"idreverse", "L", ""},
      {"Standard", "XL", ""},
  };
  for (const auto& [action, group, side] : sides) EXPECT_EQ(sideCodeFor(action, group), side) << action << group;
  EXPECT_EQ(lotsText(".5"), "0.5");
  EXPECT_EQ(lotsText("1.5"), "1.5");
  EXPECT_EQ(lotsText(""), "");
}

TEST(ExpertGenerator, ASignalValueThatIsNoNumberWritesNothing) {
  TestWorkspace t;
  TradingSystem& hs = t.ws->system();
  hs.resetAll(systemDefaults(*t.ws));
  trendFixedLots(hs);
  hs.group(3).indicator(1).setRaw("value", "drei");

  std::string fault;
  EXPECT_FALSE(expertSourceLines(*t.ws, hs, "1", DateTime{}, &fault).has_value());
  EXPECT_EQ(fault, "SHORT 1 (2 Moving Averages): \"drei\"");

  // An earlier source stays as it was, and nothing is compiled.
  testing::writeBytes(t.ws->userFile("_Zorvik.mq4"), "earlier");
  int compiled = 0;
  EXPECT_EQ(generateExpertSource(*t.ws, hs, "1", "Trend", [&](Workspace&, std::string_view) { return ++compiled; }), 0);
  EXPECT_EQ(compiled, 0);
  EXPECT_EQ(testing::readBytes(t.ws->userFile("_Zorvik.mq4")), "earlier");
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0],
            "Der Expert Advisor wurde nicht erzeugt - dieser Signalwert ist keine Zahl: SHORT 1 (2 Moving Averages): "
            "\"drei\"");

  // An indicator without a value at all is refused the same way, in English too.
  hs.group(3).indicator(1).setRaw("value", "3");
  Indicator bare("ADX");
  hs.group(2).addIndicator(bare);
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  EXPECT_EQ(generateExpertSource(*t.ws, hs, "1", "Trend", {}), 0);
  ASSERT_EQ(t.host.messages.size(), 2u);
  EXPECT_EQ(t.host.messages[1], "The Expert Advisor was not generated - this signal value is not a number: EXIT LONG 2 (ADX): \"\"");
}

TEST(ExpertGenerator, GenerationRefusesAnEmptyNameAndReportsAFailedWrite) {
  TestWorkspace t;
  TradingSystem& hs = t.ws->system();
  hs.resetAll(systemDefaults(*t.ws));
  trendFixedLots(hs);
  std::vector<std::string> compiled;
  auto compile = [&](Workspace&, std::string_view name) {
    compiled.emplace_back(name);
    return 1;
  };

  EXPECT_EQ(generateExpertSource(*t.ws, hs, "1", "", compile), 0);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Diese Aktion kann derzeit nicht ausgeführt werden - leeres System ..."});
  EXPECT_FALSE(fs::exists(t.ws->userFile("_Zorvik.mq4")));

  setWriteFaultHook([](std::string_view step) { return step != "rename"; });
  EXPECT_EQ(generateExpertSource(*t.ws, hs, "1", "Trend", compile), 0);
  setWriteFaultHook({});
  ASSERT_EQ(t.host.messages.size(), 2u);
  EXPECT_TRUE(t.host.messages[1].starts_with("Der Quelltext des Expert Advisors konnte nicht geschrieben werden: "))
      << t.host.messages[1];
  EXPECT_FALSE(fs::exists(t.ws->userFile("_Zorvik.mq4")));
  EXPECT_TRUE(compiled.empty());

  EXPECT_EQ(generateExpertSource(*t.ws, hs, "1", "Trend", compile), 1);
  EXPECT_EQ(compiled, std::vector<std::string>{"Trend"});
  EXPECT_TRUE(fs::exists(t.ws->userFile("_Zorvik.mq4")));
  EXPECT_EQ(t.host.messages.size(), 2u);
}

}  // namespace
}  // namespace zorvik
