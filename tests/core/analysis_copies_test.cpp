// Copying signal groups between the sides: counterpart copy, copy to all groups, stop copy, the
// Powerswitch entries that start them and the sound they make.
#include <gtest/gtest.h>

#include "analysis/consistency_check.hpp"
#include "analysis/group_copies.hpp"
#include "analysis/powerswitch.hpp"
#include "analysis_fixtures.hpp"
#include "workspace/current_system.hpp"

namespace zorvik {
namespace {

using testing::makeIndicator;
using testing::TestWorkspace;

struct CopyTest : ::testing::Test {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  TradingSystem& system = ws.system();

  // Every group distinct: its own indicator, threshold and stops ("sl1", "ts1", "tp1", ...).
  void SetUp() override {
    system.systemFileName = "Demo.hsy.txt";
    const char* types[] = {"RSI", "ADX", "MACD", "Donchian Channel"};
    for (int g = 1; g <= 4; ++g) {
      auto& grp = system.group(g);
      const std::string n = std::to_string(g);
      grp.addIndicator(makeIndicator(ws, types[g - 1]));
      grp.threshold = "1" + n;
      grp.sl = "sl" + n;
      grp.ts = "ts" + n;
      grp.tp = "tp" + n;
    }
  }
  std::string stopsOf(int g) const { return system.group(g).sl + "/" + system.group(g).ts + "/" + system.group(g).tp; }
  std::string typeOf(int g) const { return system.group(g).count() ? system.group(g).indicator(1).type() : "-"; }
};

TEST_F(CopyTest, CopiesTakeTheSourceAndKeepStopsWhereEntryMeetsExit) {
  // For each operation and tab: the indicator type and the stops every group ends with.
  const struct {
    bool mirror;
    int tab;
    const char* types[4];
    const char* stops[4];
  } cases[] = {
      {false, 1, {"RSI", "ADX", "MACD", "RSI"}, {"sl1/ts1/tp1", "sl2/ts2/tp2", "sl3/ts3/tp3", "sl4/ts4/tp4"}},
      {false, 2, {"RSI", "ADX", "ADX", "Donchian Channel"}, {"sl1/ts1/tp1", "sl2/ts2/tp2", "sl2/ts2/tp2", "sl4/ts4/tp4"}},
      {false, 3, {"RSI", "MACD", "MACD", "Donchian Channel"}, {"sl1/ts1/tp1", "sl2/ts2/tp2", "sl3/ts3/tp3", "sl4/ts4/tp4"}},
      {false, 4, {"Donchian Channel", "ADX", "MACD", "Donchian Channel"}, {"sl4/ts4/tp4", "sl2/ts2/tp2", "sl3/ts3/tp3", "sl4/ts4/tp4"}},
      {true, 1, {"RSI", "RSI", "RSI", "RSI"}, {"sl1/ts1/tp1", "sl2/ts2/tp2", "sl1/ts1/tp1", "sl4/ts4/tp4"}},
      {true, 2, {"ADX", "ADX", "ADX", "ADX"}, {"sl2/ts2/tp2", "sl2/ts2/tp2", "sl2/ts2/tp2", "sl2/ts2/tp2"}},
      {true, 3, {"MACD", "MACD", "MACD", "MACD"}, {"sl3/ts3/tp3", "sl2/ts2/tp2", "sl3/ts3/tp3", "sl4/ts4/tp4"}},
      {true, 4, {"Donchian Channel", "Donchian Channel", "Donchian Channel", "Donchian Channel"},
       {"sl4/ts4/tp4", "sl4/ts4/tp4", "sl4/ts4/tp4", "sl4/ts4/tp4"}},
  };
  const TradingSystem original = system.clone();
  for (const auto& c : cases) {
    const std::string what = std::string(c.mirror ? "mirror " : "counterpart ") + std::to_string(c.tab);
    system = original.clone();
    ASSERT_TRUE(c.mirror ? copyToAllGroups(system, c.tab) : copyToCounterpart(system, c.tab)) << what;
    for (int g = 1; g <= 4; ++g) {
      EXPECT_EQ(typeOf(g), c.types[g - 1]) << what << " group " << g;
      EXPECT_EQ(stopsOf(g), c.stops[g - 1]) << what << " group " << g;
      EXPECT_EQ(system.group(g).name, kGroupRoles[static_cast<std::size_t>(g - 1)].name) << what;
    }
  }
  EXPECT_TRUE(t.host.sounds.empty());  // the copies are silent; their callers sound
}

TEST_F(CopyTest, CheckAgreesAfterCopies) {
  ASSERT_TRUE(copyToCounterpart(system, 1));
  EXPECT_EQ(system.group(4).threshold, "11");
  CheckResult r = evaluateSystem(ws, system, false);
  EXPECT_TRUE(r.flags.longEqualsXShort);
  EXPECT_FALSE(r.flags.shortEqualsXLong);

  ASSERT_TRUE(copyToAllGroups(system, 1));
  r = evaluateSystem(ws, system, false);
  EXPECT_TRUE(r.flags.longEqualsXShort && r.flags.shortEqualsXLong && r.flags.allEqual);
  EXPECT_FALSE(r.flags.stops);  // groups 2 and 4 kept their own stops

  ASSERT_TRUE(copyToAllGroups(system, 2));
  EXPECT_TRUE(evaluateSystem(ws, system, false).flags.stops);

  // A copy shares nothing with its source.
  system.group(3).indicator(1).setRaw("period", "99");
  system.group(3).indicator(1).setRaw("symbol", "EURUSD");
  EXPECT_NE(system.group(2).indicator(1).parameter("period"), "99");
  r = evaluateSystem(ws, system, true);
  EXPECT_FALSE(r.flags.shortEqualsXLong);
  EXPECT_EQ(r.differences.text(3), "Check:L/XS");
}

// Onto the other side of the market a copy fires on the mirror image: the levels of RSI, RSI
// Cross and Stochastic become 100 - x, everything else (and a copy onto the same side) stays.
TEST_F(CopyTest, CopiesReflectOscillatorLevelsOntoTheOtherSide) {
  SignalGroup& source = system.group(1);
  source.resizeIndicators(0);
  source.addIndicator(makeIndicator(ws, "RSI", {{"actionline", "30"}}));
  source.addIndicator(makeIndicator(ws, "RSI Cross", {{"actionline", "12.5"}}));
  source.addIndicator(makeIndicator(ws, "Stochastik", {{"st_trigger", "100"}, {"period", "7"}}));
  source.addIndicator(makeIndicator(ws, "MACD", {{"periodfast", "30"}}));
  source.addIndicator(makeIndicator(ws, "RSI", {{"actionline", "abc"}}));  // wrong on both sides alike
  const TradingSystem original = system.clone();
  const char* reflected[] = {"70", "87.5", "0", "30", "abc"};
  const char* kept[] = {"30", "12.5", "100", "30", "abc"};
  auto levels = [&](int g) {
    std::vector<std::string> out;
    for (const Indicator& ind : system.group(g).indicators())
      out.push_back(ind.parameter(ind.type() == "Stochastik" ? "st_trigger"
                                  : ind.type() == "MACD"     ? "periodfast"
                                                             : "actionline"));
    return out;
  };
  const std::vector<std::string> mirror(std::begin(reflected), std::end(reflected)), same(std::begin(kept), std::end(kept));

  ASSERT_TRUE(copyToAllGroups(system, 1));
  EXPECT_EQ(levels(1), same);
  EXPECT_EQ(levels(2), mirror);  // XL sells where L buys
  EXPECT_EQ(levels(3), mirror);
  EXPECT_EQ(levels(4), same);    // XS closes shorts where L opens longs
  EXPECT_EQ(system.group(3).indicator(3).parameter("period"), "7");
  CheckResult r = evaluateSystem(ws, system, true);
  EXPECT_TRUE(r.flags.longEqualsXShort && r.flags.shortEqualsXLong && r.flags.allEqual);

  // The mirror of the mirror is the source again; XL onto S stays on the selling side.
  ASSERT_TRUE(copyToAllGroups(system, 2));
  EXPECT_EQ(levels(1), same);
  EXPECT_EQ(levels(3), mirror);
  system = original.clone();
  ASSERT_TRUE(copyToCounterpart(system, 1));
  EXPECT_EQ(levels(4), same);

  // The same levels everywhere, as the old mirror left them, are flagged; the list says why.
  system = original.clone();
  for (int g = 2; g <= 4; ++g) {
    system.group(g) = system.group(1).clone();
    system.group(g).name = std::string(kGroupRoles[static_cast<std::size_t>(g - 1)].name);
  }
  r = evaluateSystem(ws, system, true);
  EXPECT_TRUE(r.flags.longEqualsXShort && r.flags.shortEqualsXLong);
  EXPECT_FALSE(r.flags.allEqual);
  EXPECT_EQ(r.rows[2].text, "L<>S");
  EXPECT_NE(std::find(r.differences.texts().begin(), r.differences.texts().end(), "I:actionline 30<>30 (gespiegelt 70)"),
            r.differences.texts().end());
  EXPECT_EQ(evaluateSystem(ws, system, false).flags, r.flags);
}

// The RSI demo buys below 30 and sells above 70: all four lights green, before and after a
// mirror from its long entry, and the command line's copy gives the same levels.
TEST(DemoMirror, RsiReversalStaysCorrectAfterAMirror) {
  TestWorkspace t(true);
  Workspace& ws = *t.ws;
  ASSERT_TRUE(openSystem(ws, "RSI Umkehr.hsy.txt"));
  TradingSystem& system = ws.system();
  auto actionlines = [&] {
    std::string out;
    for (int g = 1; g <= 4; ++g) out += system.group(g).indicator(1).parameter("actionline") + " ";
    return out;
  };
  EXPECT_EQ(actionlines(), "30 70 70 30 ");
  EXPECT_TRUE(evaluateSystem(ws, system, false).flags.allEqual);
  t.host.answers = {true};
  runPowerswitchEntry(ws, ws.tr("L=XS S=XL Systemspiegelung@3"), 1);
  EXPECT_EQ(actionlines(), "30 70 70 30 ");
  EXPECT_TRUE(evaluateSystem(ws, system, false).flags.allEqual);
}

TEST_F(CopyTest, OtherTabsChangeNothing) {
  const TradingSystem before = system.clone();
  for (int tab : {0, 5, 6, -1}) {
    EXPECT_FALSE(copyToCounterpart(system, tab));
    EXPECT_FALSE(copyToAllGroups(system, tab));
  }
  EXPECT_FALSE(copyStopsToPartner(system, 1));
  EXPECT_FALSE(copyStopsToPartner(system, 3));
  EXPECT_EQ(system.group(1), before.group(1));
  for (int g = 1; g <= 4; ++g) EXPECT_EQ(system.group(g), before.group(g));

  EXPECT_TRUE(copyStopsToPartner(system, 2));
  EXPECT_EQ(stopsOf(4), "sl2/ts2/tp2");
  EXPECT_EQ(typeOf(4), "Donchian Channel");
  system.group(4).sl = "99";
  EXPECT_TRUE(copyStopsToPartner(system, 4));
  EXPECT_EQ(stopsOf(2), "99/ts2/tp2");
}

TEST_F(CopyTest, PowerswitchEntries) {
  const TradingSystem before = system.clone();
  EXPECT_EQ(runPowerswitchEntry(ws, "L=XS S=XL", 0), PowerswitchOutcome::WrongSelection);
  EXPECT_EQ(runPowerswitchEntry(ws, "L=XS S=XL Systemspiegelung", 5), PowerswitchOutcome::WrongSelection);
  EXPECT_EQ(t.host.messages, (std::vector<std::string>{"nicht passende Auswahl", "nicht passende Auswahl"}));
  EXPECT_TRUE(t.host.questions.empty());

  t.host.answers = {false};
  EXPECT_EQ(runPowerswitchEntry(ws, "L=XS S=XL", 1), PowerswitchOutcome::Declined);
  for (int g = 1; g <= 4; ++g) EXPECT_EQ(system.group(g), before.group(g));
  EXPECT_TRUE(t.host.sounds.empty());  // only a copy sounds

  t.host.answers = {true, true};
  EXPECT_EQ(runPowerswitchEntry(ws, "L=XS S=XL Systemspiegelung", 3), PowerswitchOutcome::Copied);
  EXPECT_EQ(typeOf(1), "MACD");
  EXPECT_EQ(runPowerswitchEntry(ws, "L=XS S=XL", 2), PowerswitchOutcome::Copied);
  EXPECT_EQ(t.host.questions,
            (std::vector<std::string>{"Wollen Sie wirklich die Einstellungen von L nach XS kopieren ?",
                                      "Wollen Sie wirklich die Einstellungen von S nach XL+L+XS kopieren ?",
                                      "Wollen Sie wirklich die Einstellungen von XL nach S kopieren ?"}));
  EXPECT_EQ(t.host.sounds, std::vector<Sound>(2, Sound::Clone));
  EXPECT_EQ(runPowerswitchEntry(ws, "Systemspiegelung", 1), PowerswitchOutcome::Unknown);
}

TEST_F(CopyTest, PowerswitchRecognisesTranslatedCaptions) {
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  ASSERT_TRUE(ws.language.english());
  const std::string mirror = ws.tr(kPowerswitchCaptions[1]);
  ASSERT_EQ(t.host.answers.size(), 0u);
  EXPECT_EQ(runPowerswitchEntry(ws, mirror, 4), PowerswitchOutcome::Copied);
  EXPECT_EQ(typeOf(2), "Donchian Channel");
  EXPECT_EQ(t.host.questions.back(), powerswitchQuestion(ws, true, 4));
  for (auto caption : kPowerswitchCaptions) ws.tr(caption);
  for (int tab = 1; tab <= 4; ++tab)
    for (bool m : {false, true}) powerswitchQuestion(ws, m, tab);
  EXPECT_EQ(ws.language.missingTexts(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zorvik
