// The trading-system model: indicators, signal groups, the system's keys and resets.
#include <gtest/gtest.h>

#include "model/trading_system.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

TEST(Indikator, SetParameterAppendsThenReplacesInPlace) {
  TestWorkspace t;
  clsIndikator ind("RSI");
  ind.sp(*t.ws, "period", "14");
  ind.sp(*t.ws, "comment", "");
  ind.sp(*t.ws, "timeframe", "#2");  // index into the definition table's timeframe entries
  ind.sp(*t.ws, "period", "21");
  ind.sp(*t.ws, "symbol", "Aktuelles Symbol");
  ind.sp(*t.ws, "lastedittime", "46000.5");
  ind.sp(*t.ws, "pricetype", "#99");  // beyond the list: kept as written
  EXPECT_EQ(ind.toString(), "period=21;comment=;timeframe=idM5;symbol=Symbol();lastedittime=46000.5;pricetype=#99");
  EXPECT_EQ(ind.toStringKurz(), "/21/idM5/Symbol()/#99");
  EXPECT_EQ(ind.getParameterzahl(), 6);
  EXPECT_EQ(ind.getParameterName(1), "period");
  EXPECT_EQ(ind.getParameterWert(7), "");
  EXPECT_EQ(ind.getParameterName(0), "");
  EXPECT_EQ(ind.gp("nothing"), "");
  ind.sp(*t.ws, "comment", "RSI kurz");
  EXPECT_EQ(ind.toStringKurz(), "RSI kurz/21/idM5/Symbol()/#99");

  clsIndikator copy = ind.clone();
  copy.sp(*t.ws, "period", "5");
  EXPECT_EQ(ind.gp("period"), "21");  // a clone shares nothing
  clsIndikator other;
  other.copyfrom(ind);
  EXPECT_EQ(other, ind);
  other.redimParameter(2);
  EXPECT_EQ(other.toString(), "period=21;comment=RSI kurz");
}

TEST(Indikator, EnglishCurrentSymbolIsStoredAsSymbolFunction) {
  TestWorkspace t;
  t.ws->language.SwitchLanguage("ENGLISCH", t.ws->resFolder());
  clsIndikator ind("MACD");
  ind.sp(*t.ws, "symbol", "Current symbol");
  ind.sp(*t.ws, "comment", "Current symbol");
  EXPECT_EQ(ind.gp("symbol"), "Symbol()");
  EXPECT_EQ(ind.gp("comment"), "Current symbol");
}

TEST(SignalGroup, RemoveAndResize) {
  clsEntryexittyp g("L");
  for (const char* type : {"A", "B", "C"}) g.addIndikator(clsIndikator(type));
  g.removeIndikator(1);
  ASSERT_EQ(g.count(), 2);
  EXPECT_EQ(g.indikator(1).getTyp(), "B");
  EXPECT_EQ(g.indikator(2).getTyp(), "C");
  g.removeIndikator(2);
  EXPECT_EQ(g.count(), 1);
  g.removeIndikator(5);
  EXPECT_EQ(g.count(), 1);
  g.neudimIndikator(3);
  EXPECT_EQ(g.count(), 3);
  EXPECT_EQ(g.indikator(1).getTyp(), "B");
  EXPECT_EQ(g.indikator(3).getParameterzahl(), 0);

  clsUngleich u;
  u.add("x");
  EXPECT_EQ(u.count(), 1);
  EXPECT_EQ(u.getT(1), "x");
  EXPECT_EQ(u.getT(2), "");
}

TEST(TradingSystem, ResetsGiveTheDocumentedDefaults) {
  TestWorkspace t;
  clsHsystem& hs = t.ws->system();
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(hs.group(i).name, Workspace::kRoleNames[static_cast<std::size_t>(i - 1)]);
  hs.group(2).addIndikator(clsIndikator("RSI"));
  hs.group(2).sl = "40";
  hs.systemFileName = "abc.hsy.txt";
  hs.resetAll();
  EXPECT_EQ(hs.group(2).count(), 0);
  EXPECT_EQ(hs.group(2).sl, "");
  EXPECT_EQ(hs.group(2).name, "XL");
  EXPECT_EQ(hs.general.filename, "abc.hsy.txt");
  EXPECT_EQ(hs.general.bezeichnung, "abc");
  EXPECT_EQ(hs.general.account, t.ws->knownAccounts.front().number);
  EXPECT_EQ(hs.general.kontotyp, "idKontotyp");
  EXPECT_EQ(hs.general.broker, "#0");
  EXPECT_EQ(hs.general.magic, "100001");
  EXPECT_EQ(hs.mm.hedging, "idno Hedging");
  EXPECT_EQ(hs.mm.delta, "5000");
  EXPECT_EQ(hs.paraGet("mm_editok"), "1");

  hs.systemFileName = "ohne Endung";
  hs.resetgeneral();
  EXPECT_EQ(hs.general.bezeichnung, "abc");  // no ".hsy": title unchanged
  EXPECT_EQ(hs.general.magic, "100002");
}

TEST(TradingSystem, ParaChangeRules) {
  TestWorkspace t;
  clsHsystem& hs = t.ws->system();
  hs.paraChange("general_filename", "abc.hsy.txt");
  hs.paraChange("general_bezeichnung", "#0");
  EXPECT_EQ(hs.paraGet("general_bezeichnung"), "abc");
  hs.paraChange("general_magic", "-");
  EXPECT_EQ(hs.paraGet("general_magic"), "100001");
  hs.paraChange(" mm_typ ", "#1");
  EXPECT_EQ(hs.mm.typ, "idFixed Fractional");
  hs.paraChange("mm_hedging", "#1");
  EXPECT_EQ(hs.mm.hedging, "idHedging");
  hs.paraChange("general_symbol", "Aktuelles Symbol");
  EXPECT_EQ(hs.paraGet("mm_symbol"), "Symbol()");
  hs.paraChange("mm_symbol", "EURUSD");
  EXPECT_EQ(hs.paraGet("general_symbol"), "EURUSD");
  hs.paraChange("general_editok", "0");
  EXPECT_EQ(hs.paraGet("general_editok"), "0");
  hs.paraChange("mm_typ", "idFixed Lots");
  hs.paraChange("unbekannt", "1");
  EXPECT_EQ(hs.changedKeys,
            "general_filename;general_bezeichnung;general_magic;mm_typ;mm_hedging;general_symbol;mm_symbol;"
            "general_editok;unbekannt;");
  EXPECT_TRUE(hs.changed);
  EXPECT_TRUE(t.host.messages.empty());
  EXPECT_EQ(hs.paraGet("unbekannt"), "");
  EXPECT_EQ(t.host.messages, (std::vector<std::string>{"paraget unbek:unbekannt"}));

  hs.storeChosenCaption("mm_typ", "Fixed Ratio");
  EXPECT_EQ(hs.mm.typ, "idFixed Ratio");
  hs.storeChosenCaption("general_kontotyp", "Minikonto");
  EXPECT_EQ(hs.general.kontotyp, "idMini");
}

TEST(TradingSystem, CloneIsDeep) {
  TestWorkspace t;
  clsHsystem& hs = t.ws->system();
  clsIndikator ind("RSI");
  ind.sp(*t.ws, "period", "14");
  hs.group(1).addIndikator(ind);
  hs.group(1).threshold = "60";
  clsHsystem copy = hs.clone();
  copy.group(1).indikator(1).sp(*t.ws, "period", "3");
  copy.group(1).threshold = "10";
  copy.mm.lots = "9";
  EXPECT_EQ(hs.group(1).indikator(1).gp("period"), "14");
  EXPECT_EQ(hs.group(1).threshold, "60");
  EXPECT_EQ(hs.mm.lots, "1");
  EXPECT_EQ(copy.group(1).name, "L");
}

}  // namespace
}  // namespace zorvik
