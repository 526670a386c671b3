// The strategy lint: values that can never be valid, groups that can never fire, exits left
// empty, a trailing stop that eats the stop loss, stops within the spread, another symbol or
// timeframe than the chart's, a daily limit without hedging; shown by the check and put to the
// trader before generating.
#include <gtest/gtest.h>

#include "analysis/consistency_check.hpp"
#include "analysis/strategy_lint.hpp"
#include "analysis_fixtures.hpp"
#include "generator/expert_generator.hpp"
#include "model/catalogue.hpp"
#include "rules/system_rules.hpp"
#include "terminal/generate_expert.hpp"

namespace zorvik {
namespace {

using testing::makeIndicator;
using testing::TestWorkspace;

struct IndicatorSpec {
  const char* type;
  const char* value = "1";
  const char* action = "idStandard";
};

// A system that trades as it reads: every group one Moving Average worth one point, threshold
// 100 %, stops 50/100 without trailing, the chart's symbol and timeframe, no daily limit.
struct LintTest : ::testing::Test {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  TradingSystem& system = ws.system();

  void SetUp() override {
    system.systemFileName = "Demo.hsy.txt";
    system.general.magic = "100001";  // generation refuses a system without one
    system.mm.symbol = "Symbol()";
    system.mm.maxtrades = "0";
    system.mm.hedging = "idno Hedging";
    for (int g = 1; g <= 4; ++g) fill(g, {{"Moving Average"}});
    for (int g : {2, 4}) {
      system.group(g).sl = "50";
      system.group(g).tp = "100";
      system.group(g).ts = "0";
    }
  }
  void fill(int g, std::vector<IndicatorSpec> specs, const char* threshold = "100") {
    SignalGroup& group = system.group(g);
    group.resizeIndicators(0);
    group.threshold = threshold;
    for (const auto& s : specs)
      group.addIndicator(makeIndicator(ws, s.type, {{"value", s.value}, {"actiontyp", s.action},
                                                    {"symbol", "Symbol()"}, {"timeframe", "idChart"}}));
  }
  // The warnings and notes; the errors of invalid values have a test of their own.
  std::vector<LintFinding> lint() {
    std::vector<LintFinding> findings = lintSystem(ws, system);
    std::erase_if(findings, [](const LintFinding& f) { return f.level == LintLevel::Error; });
    return findings;
  }
};

constexpr LintLevel E = LintLevel::Error;
constexpr LintLevel W = LintLevel::Warn;
constexpr LintLevel I = LintLevel::Info;

TEST_F(LintTest, SoundSystemHasNoFindings) { EXPECT_EQ(lint(), std::vector<LintFinding>{}); }

// The EA needs floor(threshold % x sum of all values / 100) points; only indicators that write
// a signal line for their side can add theirs.
TEST_F(LintTest, GroupThatCanNeverReachItsThresholdIsWarnedAbout) {
  const char* never = "LONG: die Schwelle verlangt 3 Punkte, die Indikatoren, die ein Signal geben können, "
                      "bringen zusammen nur 1, die Gruppe löst nie aus.";
  const struct {
    const char* name;
    std::vector<IndicatorSpec> indicators;
    const char* threshold;
    std::vector<LintFinding> expected;
  } cases[] = {
      // ADX and Donchian Channel signal on every side: a group of them fires.
      {"ADX only", {{"ADX"}}, "100", {}},
      {"ADX reversed", {{"ADX", "1", "idReverse"}}, "100", {}},
      {"Donchian and ADX", {{"Donchian Channel", "2"}, {"ADX", "3"}}, "100", {}},
      {"unknown type", {{"Fractals"}}, "100",
       {{W, "LONG: keiner ihrer Indikatoren kann ein Signal geben (Fractals), die Gruppe löst nie aus."}}},
      // Without a known action type only the cross types still compare.
      {"silent average outweighs the cross", {{"Moving Average", "2", "idOther"}, {"Moving Average Cross"}}, "100",
       {{W, never}}},
      {"lower threshold within reach", {{"Moving Average", "2", "idOther"}, {"Moving Average Cross"}}, "50", {}},
      {"all silent", {{"RSI", "1", ""}, {"MACD", "2", ""}, {"RSI", "1", ""}}, "100",
       {{W, "LONG: keiner ihrer Indikatoren kann ein Signal geben (RSI, MACD), die Gruppe löst nie aus."}}},
      // The EA reads a threshold of 0 points as switched off.
      {"threshold 0", {{"Moving Average"}}, "0",
       {{W, "LONG: die Schwelle ergibt 0 Punkte, damit löst die Gruppe nie aus."}}},
      {"threshold rounds down to 0", {{"Moving Average"}, {"RSI"}}, "40",
       {{W, "LONG: die Schwelle ergibt 0 Punkte, damit löst die Gruppe nie aus."}}},
      // Generation refuses such a value anyway; the lint does not guess.
      {"value not a number", {{"Fractals", "abc"}}, "100", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fill(1, c.indicators, c.threshold);
    EXPECT_EQ(lint(), c.expected);
  }
}

// Parameters that rule an indicator's own test out: the OsMA of a one-bar signal is always 0,
// an RSI is never below 0 nor a %K above 100. Such an indicator is named, and counts as silent.
TEST_F(LintTest, IndicatorWhoseParametersRuleOutItsTestIsNamed) {
  const char* osma = "LONG 1 (MACD): mit der Signalperiode 1 ist der OsMA immer 0, der Indikator gibt nie ein Signal.";
  const char* silentGroup = "LONG: keiner ihrer Indikatoren kann ein Signal geben (MACD), die Gruppe löst nie aus.";
  const struct {
    const char* name;
    const char* type;
    std::vector<std::pair<const char*, const char*>> values;
    int group;
    std::vector<LintFinding> expected;
  } cases[] = {
      {"MACD with a one-bar signal", "MACD", {{"periodsignal", "1"}}, 1, {{W, osma}, {W, silentGroup}}},
      {"MACD with a signal of nine", "MACD", {{"periodsignal", "9"}}, 1, {}},
      // The Stochastic's default trigger of 100: %K below it on the long side, never above it.
      {"Stochastic 100 long", "Stochastik", {{"st_trigger", "100"}}, 1, {}},
      {"Stochastic 100 short", "Stochastik", {{"st_trigger", "100"}}, 3,
       {{W, "SHORT 1 (Stochastik): die Marke 100 liegt am Rand der Skala von 0 bis 100, auf dieser Seite gibt der "
            "Indikator nie ein Signal."},
        {W, "SHORT: keiner ihrer Indikatoren kann ein Signal geben (Stochastik), die Gruppe löst nie aus."}}},
      {"RSI below 0 long", "RSI", {{"actionline", "0"}}, 1,
       {{W, "LONG 1 (RSI): die Marke 0 liegt am Rand der Skala von 0 bis 100, auf dieser Seite gibt der Indikator "
            "nie ein Signal."},
        {W, "LONG: keiner ihrer Indikatoren kann ein Signal geben (RSI), die Gruppe löst nie aus."}}},
      {"RSI cross at 100 long", "RSI Cross", {{"actionline", "100"}}, 1, {}},
      {"RSI cross at 100 short", "RSI Cross", {{"actionline", "100"}}, 3,
       {{W, "SHORT 1 (RSI Cross): die Marke 100 liegt am Rand der Skala von 0 bis 100, auf dieser Seite gibt der "
            "Indikator nie ein Signal."},
        {W, "SHORT: keiner ihrer Indikatoren kann ein Signal geben (RSI Cross), die Gruppe löst nie aus."}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    SignalGroup& group = system.group(c.group);
    group.resizeIndicators(0);
    Indicator ind = makeIndicator(ws, c.type, {{"value", "1"}, {"actiontyp", "idStandard"}, {"symbol", "Symbol()"},
                                               {"timeframe", "idChart"}});
    for (const auto& [key, value] : c.values) ind.setRaw(key, value);
    group.addIndicator(std::move(ind));
    EXPECT_EQ(lint(), c.expected);
  }
}

TEST_F(LintTest, EmptyExitGroupBesideAnEntryGroupIsReported) {
  fill(2, {});
  system.group(2).sl = "0";
  system.group(2).tp = "0";
  fill(4, {});
  const std::string xl = "EXIT LONG ist leer, obwohl LONG Positionen eröffnet: sie schließen nur über Stop Loss, "
                         "Take Profit oder ein Gegensignal ohne Hedging.";
  const std::string xs = "EXIT SHORT ist leer, obwohl SHORT Positionen eröffnet: sie schließen nur über Stop Loss, "
                         "Take Profit oder ein Gegensignal ohne Hedging.";
  // Without stops nothing ever closes the long side but an opposite signal: a warning. With
  // stops it may be meant so: a note.
  EXPECT_EQ(lint(), (std::vector<LintFinding>{{W, xl}, {I, xs}}));

  fill(1, {});
  fill(3, {});
  EXPECT_EQ(lint(), std::vector<LintFinding>{});
}

TEST_F(LintTest, TrailingStopBelowTheStopLossIsWarnedAbout) {
  const struct {
    const char* sl;
    const char* ts;
    bool warned;
  } cases[] = {{"50", "30", true}, {"50", "50", false}, {"50", "80", false}, {"0", "30", false}, {"50", "0", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.sl) + "/" + c.ts);
    system.group(4).sl = c.sl;
    system.group(4).ts = c.ts;
    const std::vector<LintFinding> expected =
        c.warned ? std::vector<LintFinding>{{W, std::string("EXIT SHORT: der Trailing Stop (") + c.ts +
                                                   ") ist kleiner als der Stop Loss (" + c.sl +
                                                   ") und ersetzt ihn schon beim ersten Tick."}}
                 : std::vector<LintFinding>{};
    EXPECT_EQ(lint(), expected);
  }
}

TEST_F(LintTest, OtherSymbolsTimeframesAndADailyLimitWithoutHedgingAreNamed) {
  system.mm.symbol = "EURUSD";
  system.group(1).indicator(1).setRaw("symbol", "GBPUSD");
  system.group(3).indicator(1).setRaw("symbol", "GBPUSD");
  system.group(2).indicator(1).setRaw("timeframe", "idH1");
  system.group(4).indicator(1).setRaw("timeframe", "idM5");
  system.mm.maxtrades = "2";
  EXPECT_EQ(lint(), (std::vector<LintFinding>{
                        {W, "Das System handelt EURUSD, nicht das Symbol des Charts: der EA handelt nur auf einem "
                            "Chart dieses Symbols."},
                        {I, "Indikatoren lesen die Kurse von GBPUSD, nicht die des Charts."},
                        {I, "Indikatoren rechnen im Zeitrahmen 1 Stunde, 5 Minuten, gleich in welchem Zeitrahmen "
                            "der Chart steht."},
                        {I, "Max Trades ist gesetzt und Hedging aus: ist das Tageslimit erreicht, schließt ein "
                            "Gegensignal die Position, ohne eine neue zu eröffnen."},
                    }));

  system.mm.hedging = "idHedging";
  const auto findings = lint();
  EXPECT_EQ(findings.size(), 3u);
  EXPECT_FALSE(findings.back().text.starts_with("Max Trades"));

  // Many distinct symbols: twenty are listed, then "..." stands for the rest.
  std::string listed;
  for (int k = 0; k < 30; ++k) {
    const std::string symbol = "S" + std::to_string(k);
    system.group(1).addIndicator(makeIndicator(ws, "Moving Average", {{"symbol", symbol.c_str()}, {"value", "1"},
                                                                  {"actiontyp", "idStandard"}, {"timeframe", "idChart"}}));
    if (k < 19) listed += symbol + ", ";
  }
  EXPECT_EQ(lint()[1].text, "Indikatoren lesen die Kurse von GBPUSD, " + listed + "..., nicht die des Charts.");
}

TEST_F(LintTest, FindingsAreTranslated) {
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  fill(1, {{"Moving Average", "2", "idOther"}, {"Moving Average Cross"}});
  system.group(2).ts = "30";
  system.mm.maxtrades = "1";
  EXPECT_EQ(lint(), (std::vector<LintFinding>{
                        {W, "LONG: the threshold needs 3 points, the indicators that can give a signal bring only 1, "
                            "the group never fires."},
                        {W, "EXIT LONG: the trailing stop (30) is smaller than the stop loss (50) and replaces it at "
                            "the very first tick."},
                        {I, "Max Trades is set and hedging is off: once the daily limit is reached, an opposite "
                            "signal closes the position without opening a new one."},
                    }));
}

TEST_F(LintTest, CheckShowsTheFindingsAfterTheDifferencesButTheSilentRunSkipsThem) {
  system.group(2).ts = "30";
  EXPECT_TRUE(evaluateSystem(ws, system, false).lint.empty());

  const CheckResult r = checkSystem(ws, system, CheckMode::List);
  ASSERT_EQ(r.lint.size(), 1u);
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_TRUE(t.host.messages[0].ends_with("---------------\r\nWarnung: " + r.lint[0].text + "\r\n"))
      << t.host.messages[0];
}

TEST_F(LintTest, GeneratingAsksFirstWhenThereAreWarningsAndNoStopsIt) {
  EXPECT_EQ(lintQuestion(ws, system), "");
  system.group(2).ts = "30";
  system.mm.maxtrades = "1";  // a note only: not put to the trader
  const std::string question = lintQuestion(ws, system);
  EXPECT_EQ(question, "Das System hat Schwächen:\n- EXIT LONG: der Trailing Stop (30) ist kleiner als der Stop Loss "
                      "(50) und ersetzt ihn schon beim ersten Tick.\n\nDen Expert Advisor trotzdem erzeugen?");

  t.host.answers = {false};
  GenerateOutcome out = generateExpertOfOpenSystem(ws, false);
  EXPECT_TRUE(out.declined);
  EXPECT_FALSE(out.sourceWritten);
  EXPECT_FALSE(fs::exists(ws.userFile("_Zorvik.mq4")));
  EXPECT_EQ(t.host.questions, std::vector<std::string>{question});

  t.host.answers = {true};
  out = generateExpertOfOpenSystem(ws, false);
  EXPECT_FALSE(out.declined);
  EXPECT_TRUE(out.sourceWritten);
  EXPECT_TRUE(fs::exists(ws.userFile("_Zorvik.mq4")));

  // The command line prints the warnings itself and is never asked.
  t.host.questions.clear();
  EXPECT_TRUE(generateExpertOfOpenSystem(ws, false, false).sourceWritten);
  EXPECT_TRUE(t.host.questions.empty());
}

// A value no Expert Advisor could take, or outside the catalogue's range, is an error named as
// the editors show it; what a file may hold beyond the slider's reach is not.
TEST_F(LintTest, InvalidValuesAreErrorsNamedAsTheTraderSeesThem) {
  system.general.title = "Demo";
  system.group(3).resizeIndicators(0);
  system.group(3).addIndicator(makeIndicator(ws, "Stochastik", {{"value", "1"}, {"actiontyp", "idStandard"},
                                                                 {"symbol", "Symbol()"}, {"timeframe", "idChart"}}));
  const struct {
    int group;
    const char* key;
    const char* value;
    const char* error;  // nullptr: no error
  } cases[] = {
      {1, "period", "abc", "Demo: LONG 1 (Moving Average), Periode \"abc\": ist keine Zahl"},
      {1, "period", "500", "Demo: LONG 1 (Moving Average), Periode \"500\": liegt außerhalb des erlaubten Bereichs: 1 \u2013 200"},
      {1, "period", "0", "Demo: LONG 1 (Moving Average), Periode \"0\": liegt außerhalb des erlaubten Bereichs: 1 \u2013 200"},
      {1, "period", "200", nullptr},
      {2, "sl", "-50", "Demo: EXIT LONG, Stoploss \"-50\": darf nicht negativ sein"},
      {2, "sl", "800", nullptr},  // 80 pips: the slider's 300 points are no bound
      {3, "st_trigger", "0", nullptr},  // the reflection of the catalogue's 100
      {3, "st_trigger", "101", "Demo: SHORT 1 (Stochastik), Schwellwert \"101\": liegt außerhalb des erlaubten Bereichs: 0 \u2013 100"},
      {0, "mm_base", "1", nullptr},  // the catalogue's own default lies below its 100
      {0, "mm_lots", "abc", "Demo: Lots/Trade \"abc\": ist keine Zahl"},
  };
  const TradingSystem original = system.clone();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    system = original.clone();
    if (c.group == 0 && std::string_view(c.key) == "mm_base") system.mm.base = c.value;
    else if (c.group == 0) system.mm.lots = c.value;
    else if (std::string_view(c.key) == "sl") system.group(c.group).sl = c.value;
    else system.group(c.group).indicator(1).setRaw(c.key, c.value);
    std::vector<LintFinding> errors;
    for (const LintFinding& f : lintSystem(ws, system))
      if (f.level == E) errors.push_back(f);
    EXPECT_EQ(errors, (c.error ? std::vector<LintFinding>{{E, c.error}} : std::vector<LintFinding>{}));
  }

  // English names the parameter by its English caption and keeps the trader's value.
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  system = original.clone();
  system.group(4).tp = "-5";
  ASSERT_FALSE(lintSystem(ws, system).empty());
  EXPECT_EQ(lintSystem(ws, system).front(), (LintFinding{E, "Demo: EXIT SHORT, Take Profit \"-5\": must not be negative"}));
}

// A stop within a typical spread closes the trade at a loss before the market moves: warned
// about in pips, on the traded symbol when the system names one.
TEST_F(LintTest, StopsWithinTheSpreadAreWarnedAboutInPips) {
  const std::string ending =
      ", nicht mehr als ein üblicher Spread (20 Punkte bei 5 Nachkommastellen, 2 bei 4): schon der Spread löst ihn "
      "aus, der Trade endet mit Verlust.";
  const struct {
    const char* sl;
    const char* tp;
    const char* ts;
    std::vector<std::string> warned;
  } cases[] = {
      {"5", "100", "0", {"EXIT SHORT: Stop Loss 5 Punkte = 0,5 Pips auf einem Kurs mit 5 Nachkommastellen" + ending}},
      {"50", "20", "0", {"EXIT SHORT: Take Profit 20 Punkte = 2 Pips auf einem Kurs mit 5 Nachkommastellen" + ending}},
      {"50", "21", "60", {}},
      {"0", "0", "7",
       {"EXIT SHORT: Trailing Stop 7 Punkte = 0,7 Pips auf einem Kurs mit 5 Nachkommastellen" + ending}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.sl) + "/" + c.tp + "/" + c.ts);
    system.group(4).sl = c.sl;
    system.group(4).tp = c.tp;
    system.group(4).ts = c.ts;
    std::vector<std::string> warned;
    for (const LintFinding& f : lint())
      if (f.text.find("Spread") != std::string::npos) warned.push_back(f.text);
    EXPECT_EQ(warned, c.warned);
  }

  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  system.mm.symbol = "EURUSD";
  system.group(4).sl = "5";
  system.group(4).ts = "0";
  bool found = false;
  for (const LintFinding& f : lint())
    if (f.text.starts_with("EXIT SHORT: Stop Loss")) {
      found = true;
      EXPECT_EQ(f.text, "EXIT SHORT: Stop Loss 5 points = 0.5 pips on EURUSD, no more than a typical spread (20 points "
                        "on 5-digit quotes, 2 on 4-digit): the spread alone triggers it and the trade ends at a loss.");
    }
  EXPECT_TRUE(found);
}

// What counts as the chart's symbol is one test: the lint is silent exactly where the Expert
// Advisor trades the chart's symbol, in either language's spelling of the choice.
TEST_F(LintTest, TheLintAndTheExpertAgreeOnTheChartSymbol) {
  for (const bool english : {false, true}) {
    if (english) ws.language.switchLanguage("ENGLISCH", ws.resFolder());
    ws.catalogue.setSymbols(ws.language, {"EURUSD"});
    const std::string offered = ws.catalogue.symbols.ids.front();  // "Symbol()", or "Current symbol" in English
    for (const std::string& stored : {std::string("Symbol()"), offered, std::string("EURUSD")}) {
      SCOPED_TRACE(stored);
      system.mm.symbol = stored;
      const bool chart = stored != "EURUSD";
      EXPECT_EQ(readSystemRules(system, ws.catalogue, ws.definitions).symbol.chart, chart);
      bool warned = false;
      for (const LintFinding& f : lint()) warned = warned || f.text.find(stored + ",") != std::string::npos;
      EXPECT_EQ(warned, !chart);
      const ExpertSource source = expertSourceLines(system, ws.catalogue, ws.definitions, {"100001", "", nullptr});
      ASSERT_TRUE(source.ok()) << source.fault;
      const std::string declared = "string tSymbol = \"" + (chart ? std::string("Symbol()") : stored) + "\";";
      EXPECT_NE(std::find(source.lines.begin(), source.lines.end(), declared), source.lines.end()) << declared;
    }
  }
}


}  // namespace
}  // namespace zorvik
