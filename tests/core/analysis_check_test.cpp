// The consistency check: group matching, indicator and stop comparison, symbol and timeframe
// uniformity, the difference list and the six information rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/consistency_check.hpp"
#include "analysis_fixtures.hpp"

namespace zorvik {
namespace {

using testing::makeIndicator;
using testing::TestWorkspace;

std::vector<std::string> rowTexts(const CheckResult& r) {
  std::vector<std::string> out;
  for (const auto& row : r.rows) out.push_back(row.text + (row.green ? " green" : " red"));
  return out;
}

struct CheckTest : ::testing::Test {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  TradingSystem& system = ws.system();
  void SetUp() override { system.systemFileName = "Demo.hsy.txt"; }
  Indicator ind(const std::string& type, std::initializer_list<std::pair<const char*, const char*>> v = {}) {
    return makeIndicator(ws, type, v);
  }
};

TEST_F(CheckTest, GroupsMatchOneToOneInAnyOrder) {
  system.group(1).addIndicator(ind("RSI", {{"period", "14"}}));
  system.group(1).addIndicator(ind("MACD"));
  system.group(4).addIndicator(ind("MACD"));
  system.group(4).addIndicator(ind("RSI", {{"period", "14"}}));
  CheckResult r = evaluateSystem(ws, system, true);
  EXPECT_TRUE(r.flags.longEqualsXShort);
  EXPECT_EQ(r.rows[0], (InfoRow{"L=XS", true, "SysInfo_LXS"}));

  // The same indicator twice does not match it once plus another one: each partner is used once.
  SignalGroup a("L"), b("XS");
  a.addIndicator(ind("RSI"));
  a.addIndicator(ind("RSI"));
  b.addIndicator(ind("RSI"));
  b.addIndicator(ind("ADX"));
  DifferenceList list;
  EXPECT_FALSE(compareGroups(a, b, &list, ws.language));
  EXPECT_EQ(list.texts(), (std::vector<std::string>{"Check:L/XS", "L I:RSI keine Übereinstimmung", "---------------"}));
  EXPECT_FALSE(compareGroups(a, b, nullptr, ws.language));

  // A successful match keeps the findings of the pairs tried before the partner was found.
  SignalGroup c("XL"), d("S");
  c.addIndicator(ind("RSI", {{"period", "20"}}));
  c.addIndicator(ind("RSI", {{"period", "10"}}));
  d.addIndicator(ind("RSI", {{"period", "10"}}));
  d.addIndicator(ind("RSI", {{"period", "20"}}));
  list = {};
  EXPECT_TRUE(compareGroups(c, d, &list, ws.language));
  EXPECT_EQ(list.texts(), (std::vector<std::string>{"Check:XL/S", "I:period 20<>10", "Übereinstimmung", "---------------"}));

  list = {};
  d.removeIndicator(1);
  EXPECT_FALSE(compareGroups(c, d, &list, ws.language));
  EXPECT_EQ(list.text(2), "ungleiche Indikatorenzahl XL: 2 S: 1");
}

TEST_F(CheckTest, IndicatorComparison) {
  const Indicator base = ind("RSI");
  Indicator otherTime = base;
  otherTime.setRaw("lastedittime", "46001.25");
  Indicator reversed = base;
  reversed.setRaw("actiontyp", "idReverse");
  Indicator numberForm = base;
  numberForm.setRaw("period", "55.0");
  Indicator shorter = base;
  shorter.resizeParameters(base.parameterCount() - 1);
  Indicator reordered = ind("RSI");
  reordered.resizeParameters(0);
  for (auto it = base.parameters().rbegin(); it != base.parameters().rend(); ++it) reordered.setRaw(it->name, it->value);
  Indicator otherType = base;
  otherType.setType("RSI Cross");

  const struct {
    const char* what;
    const Indicator& other;
    bool equal;
    std::vector<std::string> findings;
  } cases[] = {
      {"same", base, true, {}},
      {"lastedittime", otherTime, true, {"ungleiche lastEditTime toleriert"}},
      {"actiontyp", reversed, false, {"I:actiontyp idStandard<>idReverse"}},
      {"numbers as text", numberForm, false, {"I:period 55<>55.0"}},
      {"count", shorter, false, {"Ungleiche Parameterzahl kann nicht sein !"}},
      {"type", otherType, false, {}},
  };
  for (const auto& c : cases) {
    DifferenceList list;
    EXPECT_EQ(compareIndicators(base, c.other, &list, ws.language), c.equal) << c.what;
    EXPECT_EQ(list.texts(), c.findings) << c.what;
    EXPECT_EQ(compareIndicators(base, c.other, nullptr, ws.language), c.equal) << c.what;
  }
  // Every position is visited: a different order reports each misplaced name.
  DifferenceList list;
  EXPECT_FALSE(compareIndicators(base, reordered, &list, ws.language));
  EXPECT_GE(list.count(), base.parameterCount() - 1);
  EXPECT_EQ(list.text(1), "I:ungleiche Parameterfolge ???");
}

TEST_F(CheckTest, EmptySystemHasUniformSymbolButNoTimeframe) {
  system.group(2).sl = "30";
  CheckResult r = evaluateSystem(ws, system, true);
  EXPECT_EQ(rowTexts(r), (std::vector<std::string>{"l=xs green", "s=xl green", "==== green", "STOP<> red",
                                                   "S:Symbol() green", "T: red"}));
  EXPECT_EQ(r.differences.texts(),
            (std::vector<std::string>{"HS:Demo.hsy.txt", "---------------", "Check:L/XS", "Übereinstimmung",
                                      "---------------", "Check:XL/S", "Übereinstimmung", "---------------",
                                      "Check:L/XL", "Übereinstimmung", "---------------", "Check Stops:XL/XS",
                                      "Stoploss ungleich: 30<>", "---------------",
                                      "überall gleiches Instrument Symbol()", "gar kein TimeFrame"}));
  EXPECT_EQ(r.rows[5].helpKey, "SysInfo_TIME");
}

TEST_F(CheckTest, DifferenceListFollowsTheLanguage) {
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  system.group(1).addIndicator(ind("RSI"));
  system.group(2).addIndicator(ind("RSI"));
  system.group(3).addIndicator(ind("RSI"));
  system.group(4).addIndicator(ind("MACD"));
  system.group(1).addIndicator(ind("RSI", {{"symbol", "EURUSD"}}));
  system.group(4).addIndicator(ind("RSI", {{"symbol", "EURUSD"}}));
  const std::vector<std::string> texts = evaluateSystem(ws, system, true).differences.texts();
  for (const char* expected : {"TS:Demo.hsy.txt", "L I:RSI no match", "Match", "More than one symbol:"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  for (const std::string& text : texts)
    for (const char* german : {"Übereinstimmung", "Instrument", "HS:", "ungleich"})
      EXPECT_EQ(text.find(german), std::string::npos) << text;

  for (int g = 1; g <= 4; ++g) system.group(g).indicators().clear();
  system.group(1).addIndicator(ind("RSI", {{"symbol", "EURUSD"}}));
  const std::vector<std::string> one = evaluateSystem(ws, system, true).differences.texts();
  EXPECT_NE(std::find(one.begin(), one.end(), "Traded:Symbol()"), one.end());
  EXPECT_NE(std::find(one.begin(), one.end(), "Indicators:EURUSD"), one.end());
}

TEST_F(CheckTest, SymbolsAndTimeframes) {
  system.group(1).addIndicator(ind("RSI", {{"timeframe", "idH1"}}));
  system.group(2).addIndicator(ind("ADX", {{"timeframe", "#0"}}));
  system.group(3).addIndicator(ind("ADX", {{"timeframe", "?"}}));
  system.group(4).addIndicator(ind("MACD", {{"timeframe", "idH1 (alt)"}}));
  CheckResult r = evaluateSystem(ws, system, true);
  EXPECT_EQ(r.rows[5], (InfoRow{"T:idH1/Chart", false, "SysInfo_TIME"}));
  EXPECT_EQ(r.rows[4], (InfoRow{"S:Symbol()", true, "SysInfo_SYMBOL"}));

  for (int g = 1; g <= 4; ++g)
    for (auto& i : system.group(g).indicators()) i.setRaw("timeframe", "idH1");
  system.group(3).indicator(1).setRaw("symbol", "EURUSD");
  r = evaluateSystem(ws, system, true);
  EXPECT_EQ(r.rows[5], (InfoRow{"T:1 Stunde", true, "SysInfo_TIME"}));
  EXPECT_EQ(r.rows[4], (InfoRow{"Sym<>", false, "SysInfo_SYMBOL"}));
  EXPECT_EQ(r.texts.symbol, "Symbol() EURUSD ");
  const auto& d = r.differences.texts();
  EXPECT_NE(std::find(d.begin(), d.end(), "2.EURUSD"), d.end());
  EXPECT_NE(std::find(d.begin(), d.end(), "überall gleicher TimeFrame 1 Stunde"), d.end());

  // One symbol, but not the traded one.
  for (int g = 1; g <= 4; ++g)
    for (auto& i : system.group(g).indicators()) i.setRaw("symbol", "EURUSD");
  r = evaluateSystem(ws, system, true);
  EXPECT_FALSE(r.flags.symbolUniform);
  EXPECT_NE(std::find(r.differences.texts().begin(), r.differences.texts().end(), "Indikatoren:EURUSD"),
            r.differences.texts().end());
  system.setParameter("mm_symbol", "EURUSD");
  r = evaluateSystem(ws, system, true);
  EXPECT_EQ(r.rows[4], (InfoRow{"S:EURUSD", true, "SysInfo_SYMBOL"}));
}

TEST_F(CheckTest, CollectionsStopAtOneHundred) {
  for (int i = 0; i < 130; ++i) {
    const std::string n = std::to_string(i);
    system.group(1).addIndicator(ind("ADX", {{"symbol", ("S" + n).c_str()}, {"timeframe", ("T" + n).c_str()}}));
  }
  CheckResult r = evaluateSystem(ws, system, true);
  const auto& d = r.differences.texts();
  EXPECT_NE(std::find(d.begin(), d.end(), "100.S99"), d.end());
  EXPECT_EQ(std::find(d.begin(), d.end(), "101.S100"), d.end());
  EXPECT_EQ(std::count(d.begin(), d.end(), "... und weitere, nur die ersten 100 sind aufgeführt"), 2);
  EXPECT_TRUE(r.texts.timeframe.ends_with("/T99/..."));
  EXPECT_FALSE(r.flags.symbolUniform);
  EXPECT_FALSE(r.flags.timeframeUniform);
}

TEST_F(CheckTest, ModesDecideWhatIsShown) {
  system.group(1).addIndicator(ind("RSI"));
  system.group(4).addIndicator(ind("RSI"));
  system.group(2).addIndicator(ind("ADX"));
  system.group(3).addIndicator(ind("ADX"));

  checkSystem(ws, system, CheckMode::Silent);
  EXPECT_TRUE(t.host.messages.empty());

  CheckResult r = checkSystem(ws, system, CheckMode::List);
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_TRUE(t.host.messages[0].starts_with("HS:Demo.hsy.txt\r\n---------------\r\nCheck:L/XS\r\n"));
  // The difference list ends with the timeframe finding; the strategy lint follows it.
  const std::string listEnd = "überall gleicher TimeFrame Chart\r\n";
  const std::size_t at = t.host.messages[0].find(listEnd);
  ASSERT_NE(at, std::string::npos);
  std::string lintBlock = r.lint.empty() ? "" : "---------------\r\n";
  for (const auto& f : r.lint)
    lintBlock += (f.level == LintLevel::Error ? "Fehler: " : f.level == LintLevel::Warn ? "Warnung: " : "Hinweis: ") +
                 f.text + "\r\n";
  EXPECT_EQ(t.host.messages[0].substr(at + listEnd.size()), lintBlock);
  EXPECT_EQ(r.rows[5].text, "T:Chart");

  t.host.messages.clear();
  checkSystem(ws, system, CheckMode::Messages);
  ASSERT_EQ(t.host.messages.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(t.host.messages.begin(), t.host.messages.end() - 1),
            (std::vector<std::string>{"LONG = XSHORT", "SHORT = XLONG", "STOPS gleich", "Symbol überall gleich",
                                      "Timeframe überall gleich"}));

  // Without a file name no system is open: the panel keeps what it showed.
  system.systemFileName.clear();
  EXPECT_FALSE(evaluateSystem(ws, system, false).drawRows);
}

TEST_F(CheckTest, SilentRunGivesTheSameFlags) {
  // The silent run may stop comparing at the first difference; it must still agree.
  system.group(1).addIndicator(ind("RSI", {{"period", "20"}}));
  system.group(1).addIndicator(ind("RSI", {{"period", "10"}}));
  system.group(4).addIndicator(ind("RSI", {{"period", "10"}}));
  system.group(4).addIndicator(ind("RSI", {{"period", "20"}}));
  system.group(2).addIndicator(ind("ADX", {{"lastedittime", "1"}}));
  system.group(3).addIndicator(ind("ADX", {{"lastedittime", "2"}}));
  system.group(3).tp = "5";
  for (int variant = 0; variant < 3; ++variant) {
    if (variant == 1) system.group(4).indicator(2).setRaw("actiontyp", "idReverse");
    if (variant == 2) system.group(2).indicator(1).setRaw("timeframe", "idM5");
    const CheckResult loud = evaluateSystem(ws, system, true);
    const CheckResult silent = evaluateSystem(ws, system, false);
    EXPECT_EQ(loud.flags, silent.flags) << variant;
    EXPECT_EQ(loud.rows, silent.rows) << variant;
    EXPECT_EQ(silent.differences.count(), 0);
  }
}

TEST_F(CheckTest, SilentAndLoudAgreeOnRandomSystems) {
  // Counterparts are mostly shuffled copies with one small change, often one the comparison
  // tolerates, so that both matching and near misses are common.
  std::mt19937 rng(4711);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const Indicator rsi = ind("RSI"), adx = ind("ADX");
  auto randomGroup = [&](SignalGroup& g) {
    g.resizeIndicators(0);
    for (int i = pick(5); i > 0; --i) {
      Indicator x = pick(2) ? rsi : adx;
      x.setRaw("period", pick(2) ? "10" : "20");
      g.addIndicator(x);
    }
  };
  auto counterpart = [&](const SignalGroup& from, SignalGroup& to) {
    if (pick(4) == 0) return randomGroup(to);
    auto list = from.indicators();
    std::shuffle(list.begin(), list.end(), rng);
    if (!list.empty()) {
      Indicator& x = list[static_cast<std::size_t>(pick(static_cast<int>(list.size())))];
      const char* changes[][2] = {{"lastedittime", "1"}, {"period", "30"}, {"actiontyp", "idReverse"}, {"comment", ""}};
      const auto& c = changes[pick(4)];
      x.setRaw(c[0], c[1]);
    }
    to.resizeIndicators(0);
    for (auto& x : list) to.addIndicator(x);
  };
  int matched = 0, missed = 0;
  for (int run = 0; run < 300; ++run) {
    randomGroup(system.group(1));
    randomGroup(system.group(2));
    counterpart(system.group(1), system.group(4));
    counterpart(system.group(2), system.group(3));
    const CheckResult loud = evaluateSystem(ws, system, true);
    const CheckResult silent = evaluateSystem(ws, system, false);
    ASSERT_EQ(loud.flags, silent.flags) << run;
    if (system.group(1).count() > 1 && system.group(1).count() == system.group(4).count())
      ++(loud.flags.longEqualsXShort ? matched : missed);
  }
  EXPECT_GT(matched, 30);
  EXPECT_GT(missed, 30);
}

TEST(InfoPanel, RowUnderTheMouse) {
  const struct {
    int y, height, row;
  } cases[] = {{0, 120, 1}, {19, 120, 1}, {20, 120, 2}, {119, 120, 6}, {120, 120, 6}, {-3, 120, 1}, {5, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(infoRowAt(c.y, c.height), c.row) << c.y << "/" << c.height;
  EXPECT_EQ(infoRowHeight(100), 17);
  EXPECT_EQ(infoRowHeight(123), 20);  // 20.5 rounds to even
}

}  // namespace
}  // namespace zorvik
