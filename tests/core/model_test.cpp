// The trading-system model: indicators, signal groups, the system's keys and resets.
#include <gtest/gtest.h>

#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

TEST(Indikator, SetParameterAppendsThenReplacesInPlace) {
  TestWorkspace t;
  Indicator ind("RSI");
  ind.setParameter(t.ws->definitions, t.ws->language, "period", "14");
  ind.setParameter(t.ws->definitions, t.ws->language, "comment", "");
  ind.setParameter(t.ws->definitions, t.ws->language, "timeframe", "#2");  // index into the definition table's timeframe entries
  ind.setParameter(t.ws->definitions, t.ws->language, "period", "21");
  ind.setParameter(t.ws->definitions, t.ws->language, "symbol", "Aktuelles Symbol");
  ind.setParameter(t.ws->definitions, t.ws->language, "lastedittime", "46000.5");
  ind.setParameter(t.ws->definitions, t.ws->language, "pricetype", "#99");  // beyond the list: kept as written
  EXPECT_EQ(ind.toString(), "period=21;comment=;timeframe=idM5;symbol=Symbol();lastedittime=46000.5;pricetype=#99");
  EXPECT_EQ(ind.toShortString(), "/21/idM5/Symbol()/#99");
  EXPECT_EQ(ind.parameterCount(), 6);
  EXPECT_EQ(ind.parameterName(1), "period");
  EXPECT_EQ(ind.parameterValue(7), "");
  EXPECT_EQ(ind.parameterName(0), "");
  EXPECT_EQ(ind.parameter("nothing"), "");
  ind.setParameter(t.ws->definitions, t.ws->language, "comment", "RSI kurz");
  EXPECT_EQ(ind.toShortString(), "RSI kurz/21/idM5/Symbol()/#99");

  Indicator copy = ind.clone();
  copy.setParameter(t.ws->definitions, t.ws->language, "period", "5");
  EXPECT_EQ(ind.parameter("period"), "21");  // a clone shares nothing
  Indicator other;
  other = ind;
  EXPECT_EQ(other, ind);
  other.resizeParameters(2);
  EXPECT_EQ(other.toString(), "period=21;comment=RSI kurz");
}

TEST(Indikator, EnglishCurrentSymbolIsStoredAsSymbolFunction) {
  TestWorkspace t;
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  Indicator ind("MACD");
  ind.setParameter(t.ws->definitions, t.ws->language, "symbol", "Current symbol");
  ind.setParameter(t.ws->definitions, t.ws->language, "comment", "Current symbol");
  EXPECT_EQ(ind.parameter("symbol"), "Symbol()");
  EXPECT_EQ(ind.parameter("comment"), "Current symbol");
}

TEST(SignalGroup, RemoveAndResize) {
  SignalGroup g("L");
  for (const char* type : {"A", "B", "C"}) g.addIndicator(Indicator(type));
  g.removeIndicator(1);
  ASSERT_EQ(g.count(), 2);
  EXPECT_EQ(g.indicator(1).type(), "B");
  EXPECT_EQ(g.indicator(2).type(), "C");
  g.removeIndicator(2);
  EXPECT_EQ(g.count(), 1);
  g.removeIndicator(5);
  EXPECT_EQ(g.count(), 1);
  g.resizeIndicators(3);
  EXPECT_EQ(g.count(), 3);
  EXPECT_EQ(g.indicator(1).type(), "B");
  EXPECT_EQ(g.indicator(3).parameterCount(), 0);

  DifferenceList u;
  u.add("x");
  EXPECT_EQ(u.count(), 1);
  EXPECT_EQ(u.text(1), "x");
  EXPECT_EQ(u.text(2), "");
}

TEST(TradingSystem, ResetsGiveTheDocumentedDefaults) {
  TestWorkspace t;
  TradingSystem& system = t.ws->system();
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(system.group(i).name, kGroupRoles[static_cast<std::size_t>(i - 1)].name);
  system.group(2).addIndicator(Indicator("RSI"));
  system.group(2).sl = "40";
  system.systemFileName = "abc.hsy.txt";
  system.resetAll(systemDefaults(*t.ws));
  EXPECT_EQ(system.group(2).count(), 0);
  EXPECT_EQ(system.group(2).sl, "");
  EXPECT_EQ(system.group(2).name, "XL");
  EXPECT_EQ(system.general.filename, "abc.hsy.txt");
  EXPECT_EQ(system.general.title, "abc");
  EXPECT_EQ(system.general.account, t.ws->knownAccounts.front().number);
  EXPECT_EQ(system.general.accountType, "idKontotyp");
  EXPECT_EQ(system.general.broker, "#0");
  EXPECT_EQ(system.general.magic, "100001");
  EXPECT_EQ(system.mm.hedging, "idno Hedging");
  EXPECT_EQ(system.mm.delta, "5000");
  EXPECT_EQ(system.parameter("mm_editok"), "1");

  system.systemFileName = "ohne Endung";
  system.resetGeneral(systemDefaults(*t.ws));
  EXPECT_EQ(system.general.title, "abc");  // no ".hsy": title unchanged
  EXPECT_EQ(system.general.magic, "100002");
}

TEST(TradingSystem, ParaChangeRules) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  TradingSystem& system = ws.system();
  storeSystemParameter(ws, system, "general_filename", "abc.hsy.txt");
  storeSystemParameter(ws, system, "general_bezeichnung", "#0");
  EXPECT_EQ(system.parameter("general_bezeichnung"), "abc");
  storeSystemParameter(ws, system, "general_magic", "-");
  EXPECT_EQ(system.parameter("general_magic"), "100001");
  storeSystemParameter(ws, system, " mm_typ ", "#1");
  EXPECT_EQ(system.mm.type, "idFixed Fractional");
  storeSystemParameter(ws, system, "mm_hedging", "#1");
  EXPECT_EQ(system.mm.hedging, "idHedging");
  storeSystemParameter(ws, system, "general_symbol", "Aktuelles Symbol");
  EXPECT_EQ(system.parameter("mm_symbol"), "Symbol()");
  storeSystemParameter(ws, system, "mm_symbol", "EURUSD");
  EXPECT_EQ(system.parameter("general_symbol"), "EURUSD");
  storeSystemParameter(ws, system, "general_editok", "0");
  EXPECT_EQ(system.parameter("general_editok"), "0");
  storeSystemParameter(ws, system, "mm_typ", "idFixed Lots");
  storeSystemParameter(ws, system, "unbekannt", "1");
  EXPECT_EQ(system.changedKeys,
            "general_filename;general_bezeichnung;general_magic;mm_typ;mm_hedging;general_symbol;mm_symbol;"
            "general_editok;unbekannt;");
  EXPECT_TRUE(system.changed);
  EXPECT_TRUE(t.host.messages.empty());
  EXPECT_EQ(system.parameter("unbekannt"), std::nullopt);
  EXPECT_TRUE(t.host.messages.empty());  // the model itself tells nobody
  EXPECT_EQ(shownSystemParameter(ws, system, "unbekannt"), "");
  EXPECT_EQ(t.host.messages, (std::vector<std::string>{"paraget unbek:unbekannt"}));

  storeChosenCaption(ws, system, "mm_typ", "Fixed Ratio");
  EXPECT_EQ(system.mm.type, "idFixed Ratio");
  storeChosenCaption(ws, system, "general_kontotyp", "Minikonto");
  EXPECT_EQ(system.general.accountType, "idMini");

  // The system alone stores what it is given: resolving "#n", "-" and the current symbol
  // belongs to storeSystemParameter, and a bare system has no counter to draw from.
  TradingSystem bare;
  bare.setParameter("general_magic", "-");
  bare.setParameter("mm_hedging", "#1");
  bare.setParameter("mm_symbol", "Aktuelles Symbol");
  EXPECT_EQ(bare.general.magic, "-");
  EXPECT_EQ(bare.mm.hedging, "#1");
  EXPECT_EQ(bare.mm.symbol, "Aktuelles Symbol");
  EXPECT_EQ(ws.settings.magic, 100001);
}

TEST(TradingSystem, CloneIsDeep) {
  TestWorkspace t;
  TradingSystem& system = t.ws->system();
  Indicator ind("RSI");
  ind.setParameter(t.ws->definitions, t.ws->language, "period", "14");
  system.group(1).addIndicator(ind);
  system.group(1).threshold = "60";
  TradingSystem copy = system.clone();
  copy.group(1).indicator(1).setParameter(t.ws->definitions, t.ws->language, "period", "3");
  copy.group(1).threshold = "10";
  copy.mm.lots = "9";
  EXPECT_EQ(system.group(1).indicator(1).parameter("period"), "14");
  EXPECT_EQ(system.group(1).threshold, "60");
  EXPECT_EQ(system.mm.lots, "1");
  EXPECT_EQ(copy.group(1).name, "L");
}

}  // namespace
}  // namespace zorvik
