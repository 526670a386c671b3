// Settings file, language table, definition table and catalogue.
#include <gtest/gtest.h>

#include "model/catalogue_rows.hpp"
#include "test_support.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

using testing::readBytes;
using testing::TestWorkspace;
using testing::writeBytes;

TEST(Settings, KeysAndLanguageNameIgnoreCase) {
  TestWorkspace t(false, false);
  writeBytes(t.ws->resFile("Zorvik.ini"),
             "language=englisch\r\nMODUS=0\r\nmagic=123456x\r\n'LASTHSID=9\r\nLASTHSID=7,SLIDERMITBUTTONS=1\r\n"
             "UNKNOWN=1\r\nTABCOL3=255\r\nMETATRADERPFAD=C:\\MT4,cut\r\n");
  t.ws->startUp();
  const Settings& s = t.ws->settings;
  EXPECT_TRUE(t.ws->language.english());
  EXPECT_EQ(s.displayMode, -1);
  EXPECT_EQ(s.magic, 123456);
  EXPECT_EQ(s.lastSystemId, 7);
  EXPECT_EQ(s.sliderWithButtons, 1);
  EXPECT_EQ(s.tabColours[3], 255);
  EXPECT_EQ(s.metatraderFolder, "C:\\MT4");
  EXPECT_TRUE(t.host.messages.empty());
}

TEST(Settings, RoundTripAndMagicFloor) {
  TestWorkspace t;
  EXPECT_EQ(t.ws->settings.magic, 100000);  // no settings file: the counter starts at 100000
  t.ws->settings.displayMode = 0;
  t.ws->settings.metatraderFolder = "/home/trader/.wine/drive_c/MT4, Demo";
  t.ws->settings.lastSystemId = 12;
  t.ws->settings.updateUrl = "https://zorvik.example/update.txt?a=1,b=2";
  t.ws->language.switchLanguage("DEUTSCH", t.ws->resFolder());
  ASSERT_TRUE(t.ws->saveSettings());
  EXPECT_EQ(readBytes(t.ws->resFile("Zorvik.ini")),
            "LANGUAGE=DEUTSCH\r\nMODUS=0\r\nLASTHSID=12\r\nMAGIC=100000\r\n"
            "\"METATRADERPFAD=/home/trader/.wine/drive_c/MT4, Demo\"\r\nSLIDERMITBUTTONS=0\r\nSTOPLOSSIMCHART=0\r\n"
            "\"UPDATEURL=https://zorvik.example/update.txt?a=1,b=2\"\r\n");

  Workspace again(t.dir.path(), t.host);
  again.startUp();
  EXPECT_EQ(again.settings.metatraderFolder, "/home/trader/.wine/drive_c/MT4, Demo");  // a comma survives
  EXPECT_EQ(again.settings.lastSystemId, 12);
  EXPECT_EQ(again.settings.updateUrl, "https://zorvik.example/update.txt?a=1,b=2");
  EXPECT_EQ(again.settings.displayMode, -1);  // read back as the start mode
  EXPECT_EQ(again.language.name(), "DEUTSCH");
}

TEST(Settings, BadFilesFallBackToDefaults) {
  for (const std::string& bytes : {std::string("\0\0\0", 3), std::string("\"LANGUAGE=ENGLISCH"), std::string(100000, ','),
                                   std::string("MAGIC=") + std::string(5000, '9'), std::string("=\r\n==\r\n\"")}) {
    TestWorkspace t(false, false);
    writeBytes(t.ws->resFile("Zorvik.ini"), bytes);
    t.ws->startUp();
    EXPECT_GE(t.ws->settings.magic, 100000);
    EXPECT_EQ(t.ws->catalogue.parameters().size(), 48u);
  }
}

TEST(Language, TranslationRules) {
  TestWorkspace t(false, false);
  writeBytes(t.ws->resFile("langEng.txt"),
             "\"Kommentar@8\";\"Comment\"\r\n\"Periode@8\";\"\"\r\n\"Nur Deutsch\"\r\n;\r\n"
             "\"Erster Tag; danach\";\"First day; after it\"\r\nx\r\n");
  LanguageTable& lang = t.ws->language;
  EXPECT_EQ(lang.translate("EXIT LONG@1"), "EXIT LONG");
  EXPECT_EQ(lang.translate("ohne Tag"), "ohne Tag");
  lang.switchLanguage("Spanisch", t.ws->resFolder());
  EXPECT_FALSE(lang.english());
  lang.switchLanguage("englisch", t.ws->resFolder());
  ASSERT_TRUE(lang.english());
  EXPECT_EQ(lang.translate("Kommentar@8"), "Comment");
  EXPECT_EQ(lang.translate("Periode@8"), "Periode");
  EXPECT_EQ(lang.translate("Nur Deutsch"), "Nur Deutsch");
  // A ";" inside a text does not split the line there.
  EXPECT_EQ(lang.translate("Erster Tag; danach"), "First day; after it");
  EXPECT_EQ(lang.translate("Neu@5"), "Neu@5");
  EXPECT_EQ(lang.translate("Neu@5"), "Neu@5");
  EXPECT_EQ(lang.missingTexts(), (std::vector<std::string>{"Neu@5"}));

  ASSERT_TRUE(lang.appendMissingTexts(t.ws->resFile("langEng.txt")));
  EXPECT_TRUE(endsWith(readBytes(t.ws->resFile("langEng.txt")), "x\r\n\"Neu@5\"\r\n"));
  LanguageTable reread;
  reread.switchLanguage("ENGLISCH", t.ws->resFolder());
  EXPECT_EQ(reread.translate("Neu@5"), "Neu@5");  // an appended line is its own translation until completed
  EXPECT_TRUE(reread.missingTexts().empty());

  std::filesystem::remove(t.ws->resFile("langEng.txt"));
  LanguageTable none;
  none.switchLanguage("ENGLISCH", t.ws->resFolder());
  EXPECT_FALSE(none.english());
}

TEST(Language, ShippedTableTranslatesTheTabs) {
  TestWorkspace t;
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  for (const char* tab : {"GENERAL@1", "LONG@1", "EXIT LONG@1", "SHORT@1", "EXIT SHORT@1", "MONEYMANAGEMENT@1"})
    EXPECT_EQ(t.ws->tr(tab), withoutTag(tab).substr(0, 6) == "MONEYM" ? "MONEY MANAGEMENT" : withoutTag(tab));
  EXPECT_EQ(t.ws->tr("EINSTELLUNGEN@1"), "SETTINGS");
  for (const auto& p : t.ws->catalogue.parameters()) t.ws->tr(p.caption);
  EXPECT_TRUE(t.ws->language.missingTexts().empty()) << t.ws->language.missingTexts().front();
}

TEST(DefinitionTable, HeaderMappingCommentsAndDuplicates) {
  DefinitionTable table;
  table.parse({"Deutsch; \"id\" ;extra;TYP;meta4;ENGLISH", "'a;b;c;d;e", "", "Eins;idA;x;timeframe;1;One",
               "Zwei;idB;x;timeframe;2;Two", "Drei;idA;x;ma_method;M;Three", "Vier;idA;x;ma_method;M;Four",
               "Fünf;idB"});
  ASSERT_EQ(table.entries().size(), 5u);
  EXPECT_EQ(table.entries()[0].type, "timeframe");
  EXPECT_EQ(table.entries()[0].english, "One");
  EXPECT_EQ(table.entries()[4].type, "");
  EXPECT_EQ(table.duplicateReport(), "idA/idA/idB/idA/");
  EXPECT_EQ(table.indexToId("timeframe", "#1"), "idB");
  EXPECT_EQ(table.indexToId("timeframe", "1"), "idB");
  EXPECT_EQ(table.indexToId("timeframe", "#2"), "#2");
  EXPECT_EQ(table.captionToId("timeframe", "Two", CaptionLanguage::English), "idB");
  EXPECT_EQ(table.captionToId("timeframe", "Two", CaptionLanguage::German), "Two");
  EXPECT_EQ(table.idToCaption("ma_method", "idA", CaptionLanguage::German), "Drei");
  EXPECT_EQ(table.idToCaption("ma_method", "idZ", CaptionLanguage::German), "idZ");
  EXPECT_EQ(table.idToMeta4("idA"), "1");
  EXPECT_EQ(table.idToMeta4("#5"), "5");
  EXPECT_EQ(table.idToMeta4("nix"), "nix");
  EXPECT_TRUE(table.captionsOf("timeframe", CaptionLanguage::None).empty());
  EXPECT_EQ(table.captionsOf("timeframe", CaptionLanguage::German), (std::vector<std::string>{"Eins", "Zwei"}));
}

TEST(DefinitionTable, MissingAndDuplicateTablesAreReported) {
  TestWorkspace t(false, false);
  std::filesystem::remove(t.ws->resFile("DVDefTable2.dat"));
  t.ws->startUp();
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_TRUE(startsWith(t.host.messages[0], "Die Definitionstabelle fehlt"));
  EXPECT_EQ(t.ws->catalogue.parameters().size(), 48u);

  TestWorkspace d(false, false);
  writeBytes(d.ws->resFile("DVDefTable2.dat"), "TYP;ID\r\nx;idQ\r\ny;idQ\r\n");
  d.ws->startUp();
  EXPECT_EQ(d.host.messages, (std::vector<std::string>{"Doppelte ID in Tabelle ! idQ/"}));
}

TEST(DefinitionTable, ShippedTableHoldsEveryIdTheProgramNames) {
  TestWorkspace t;
  const DefinitionTable& table = t.ws->definitions;
  EXPECT_TRUE(table.duplicateReport().empty());
  struct Want { const char* type; std::vector<std::string> ids; };
  for (const Want& w : {Want{"actiontyp", {"idStandard", "idReverse"}},
                        Want{"mm_hedging", {"idno Hedging", "idHedging"}},
                        Want{"mm_typ", {"idFixed Lots", "idFixed Fractional", "idFixed Ratio"}},
                        Want{"general_broker", {"idActiveTrades", "idLCG"}},
                        Want{"timeframe", t.ws->catalogue.timeframes.ids},
                        Want{"ma_method", t.ws->catalogue.maMethods.ids},
                        Want{"pricetype", t.ws->catalogue.pricetypes.ids},
                        Want{"pricefield", t.ws->catalogue.pricefields.ids}}) {
    std::vector<std::string> ids;
    for (const auto* e : table.entriesOf(w.type)) ids.push_back(e->id);
    EXPECT_EQ(ids, w.ids) << w.type;
  }
  for (const char* id : {"idCLOSEf", "idCLOSEs", "idKontotyp"}) EXPECT_NE(table.findId(id), nullptr) << id;
  EXPECT_EQ(table.idToMeta4("idHedging"), "true");
  EXPECT_EQ(table.idToMeta4("idOPENs"), "PRICE_OPEN");
  // Every choice parameter's "#0" default names an entry.
  for (const auto& p : t.ws->catalogue.parameters()) {
    if (p.defaultValue == "#0" && p.kind != "!" && p.kind != "Symbols") {
      EXPECT_NE(table.indexToId(p.key, "#0"), "#0") << p.key;
    }
  }
  ASSERT_FALSE(t.ws->knownAccounts.empty());
  EXPECT_LE(t.ws->knownAccounts.size(), 10u);
  EXPECT_EQ(t.ws->knownAccounts[0].brokerId, "idActiveTrades");
}

TEST(Catalogue, RowsAreParsedExactly) {
  TestWorkspace t;
  const Catalogue& c = t.ws->catalogue;
  ASSERT_EQ(c.parameterRows().size(), 48u);
  ASSERT_EQ(c.indicatorRows().size(), 18u);
  EXPECT_EQ(c.parameterRows()[4], "shift,Verzögerung@8,Shift,verzögerung,Verzögerung,1,100,1,-,1");
  EXPECT_EQ(c.indicatorTypeCount(), 12u);
  EXPECT_EQ(c.indicatorTypes().ids.front(), "MACD");
  EXPECT_EQ(c.indicatorTypes().ids.back(), "ADX");

  const ParameterCoding* sl = c.parameter("stop_sl");
  ASSERT_NE(sl, nullptr);
  EXPECT_EQ(sl->defaultValue, "5");
  EXPECT_EQ(sl->scale, 0);
  EXPECT_EQ(sl->zeroText, "n.V");
  const ParameterCoding* shift = c.parameter("shift");  // ten columns: scale 1, no zero text
  EXPECT_EQ(shift->scale, 1);
  EXPECT_EQ(shift->zeroText, "");
  EXPECT_EQ(shift->alias, "verzögerung");
  const ParameterCoding* step = c.parameter("pa_step");
  EXPECT_FLOAT_EQ(step->minimum, 0.01f);
  EXPECT_FLOAT_EQ(step->step, 0.01f);
  EXPECT_EQ(step->scale, 100);
  EXPECT_EQ(c.parameter("pricetype")->caption, "Anwenden auf @8");
  EXPECT_EQ(c.parameter("general_account")->caption, "Account");
  EXPECT_EQ(c.parameter("general_magic")->englishCaption, "Magicnumbe");
  EXPECT_FLOAT_EQ(c.parameter("ma_shift")->minimum, -50.f);
  EXPECT_EQ(c.parameter("threshold")->alias, "st_threshold");
}

TEST(Catalogue, Lookups) {
  TestWorkspace t;
  const Catalogue& c = t.ws->catalogue;
  EXPECT_EQ(c.findParameterRow("period"), 6u);
  EXPECT_EQ(c.findParameterRow("periodfast"), 7u);
  EXPECT_EQ(c.findParameterRow("perio"), 0u);
  EXPECT_EQ(c.parameterCaption("nope", t.ws->language), "");
  EXPECT_EQ(c.parameterCaption("period", t.ws->language), "Periode");
  EXPECT_EQ(c.findIndicatorRow("RSI"), "RSI,symbol,timeframe,period,actionline,pricetype,shift,value,actiontyp,comment");
  EXPECT_EQ(c.findIndicatorRow("RSI C"), "");
  EXPECT_EQ(c.parameterKeysOf("!STOP"), (std::vector<std::string>{"stop_sl", "stop_tp", "stop_ts"}));
  EXPECT_EQ(c.timeframes.valueOf("idh4"), "240");
  EXPECT_EQ(c.pricetypes.valueOf("WEIGHTED"), "PRICE_WEIGHTED");
  EXPECT_EQ(c.pricetypes.valueOf("idCLOSEf"), "0");
  EXPECT_EQ(c.maMethods.valueOf("idLinear Weighted"), "MODE_LWMA");
  // "Symbol()", then the first broker's list read at start-up.
  ASSERT_FALSE(t.ws->brokerSymbols.empty());
  EXPECT_EQ(c.symbols.ids.front(), "Symbol()");
  EXPECT_EQ(std::vector<std::string>(c.symbols.ids.begin() + 1, c.symbols.ids.end()), t.ws->brokerSymbols);
  EXPECT_EQ(normalisePriceValue("apricefast", "#0"), "idCLOSEf");
  EXPECT_EQ(normalisePriceValue("apriceslow", "CLOSE"), "idCLOSEs");
  EXPECT_EQ(normalisePriceValue("pricetype", "CLOSE"), "CLOSE");
  EXPECT_EQ(normalisePriceValue("apricefast", "idOPENf"), "idOPENf");
  EXPECT_EQ(leadingZero(".5"), "0.5");
  EXPECT_EQ(leadingZero("-.5"), "-.5");
  EXPECT_EQ(t.ws->definitions.indexToId("timeframe", "#3"), "idM15");
  Settings s;
  s.magic = 100000;
  EXPECT_EQ(nextRunningNumber(s), "100001");
  EXPECT_EQ(s.magic, 100001);
}

TEST(Catalogue, EnglishReplacesTheFirstSymbolAndTimeframe) {
  TestWorkspace t(false, false);
  writeBytes(t.ws->resFile("Zorvik.ini"), "LANGUAGE=ENGLISCH\r\n");
  writeBytes(t.ws->resFile("ATMT4.csv"), "broker;symbol\r\nActiveTrades;EURUSD\r\n");  // first broker's list
  t.ws->startUp();
  EXPECT_EQ(t.ws->catalogue.symbols.ids, (std::vector<std::string>{"Current symbol", "EURUSD"}));
  EXPECT_EQ(t.ws->catalogue.symbols.values.front(), "Symbol()");
  EXPECT_EQ(t.ws->catalogue.timeframes.ids.front(), "Chart");
}

}  // namespace
}  // namespace zorvik
