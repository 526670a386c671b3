// Help texts, the help registry with F1 and menu help, the manual's section for a topic, and
// the parameter help window's text and place.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "help/help_registry.hpp"
#include "help/help_texts.hpp"
#include "help/manual_sections.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;
using testing::writeBytes;

TEST(HelpTexts, FileRulesAndLookup) {
  TestWorkspace t(false, false);
  writeBytes(t.ws->resFile("CodeHelp.txt"),
             "remark before the first key\r\n"
             "#period\r\n"
             "Erste Zeile\r\n"
             "zweite Zeile \r\n"
             "#Period\r\n"
             "Gross geschrieben\r\n"
             "#period\r\n"
             "Zweiter Eintrag\r\n"
             "#leer\r\n"
             "#Gr\xF6\xDF" "e mit # darin\r\n"
             "\r\n"
             "Umlaut \xFC\r\n");
  t.ws->startUp();
  const HelpTextTable& h = t.ws->helpTexts;
  ASSERT_EQ(h.entries().size(), 5u);
  // Lines are joined by one blank and the text ends in exactly one blank.
  EXPECT_EQ(h.text("period"), "Erste Zeile zweite Zeile ");  // the first of two entries wins
  EXPECT_EQ(h.text("Period"), "Gross geschrieben ");         // keys keep their letter case
  EXPECT_EQ(h.text("PERIOD"), "");
  EXPECT_EQ(h.text("leer"), "");
  EXPECT_EQ(h.text("Größe mit # darin"), " Umlaut ü ");  // the rest of the key line, unchanged
  EXPECT_EQ(h.text("remark before the first key"), "");
  EXPECT_EQ(h.text(""), "");

  // A missing file empties the table instead of keeping old texts.
  std::filesystem::remove(t.ws->resFile("CodeHelp.txt"));
  t.ws->loadHelpTexts();
  EXPECT_TRUE(h.entries().empty());
}

TEST(HelpTexts, ParameterHelpTextTranslatesCaptionAndText) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  ASSERT_FALSE(ws.helpTexts.text("period").empty());  // the shipped file was loaded at start-up
  const std::string german = parameterHelpText(ws.catalogue, ws.helpTexts, ws.language, "period");
  EXPECT_EQ(german, ws.catalogue.parameterCaption("period", ws.language) + "\n" + ws.helpTexts.text("period") + "    ");

  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  const std::string english = parameterHelpText(ws.catalogue, ws.helpTexts, ws.language, "period");
  EXPECT_NE(english.find("\n"), std::string::npos);
  EXPECT_EQ(english.find(ws.helpTexts.text("period")), std::string::npos);
  EXPECT_TRUE(ws.language.missingTexts().empty());

  // Without a help text: the caption, a line break and four blanks, nothing recorded missing.
  EXPECT_EQ(helpWindowText("Titel", ws.helpTexts, ws.language, "no such key"), "Titel\n    ");
  EXPECT_TRUE(ws.language.missingTexts().empty());
}

TEST(HelpRegistry, RegisteringAgainReplacesTheRecord) {
  HelpRegistry r;
  r.registerTopic("ZorvikForm", "TP", 7, "Handelssysteme", "Trend");
  r.registerTopic("ZorvikForm", "c_Startseite", 8, "Startseite");
  r.registerTopic("ZorvikForm", "TP", 7, "Indikatoren", "");
  ASSERT_EQ(r.records().size(), 2u);
  const HelpRecord* rec = r.find(7);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->topic, "Indikatoren");
  EXPECT_EQ(rec->subtopic, "");
  EXPECT_EQ(rec->source, "ZorvikForm;TP");
  EXPECT_EQ(r.find(0), nullptr);
}

TEST(HelpRegistry, F1ShowsTheTopicOfTheWindowOrItsParent) {
  HelpRegistry r;
  LanguageTable german;
  r.registerTopic("IForm", "cmdOK", 10, "IndEditÜbernehmen");
  r.registerTopic("ZorvikForm", "TP", 20, "Handelssysteme", "Trend");

  struct Case {
    int key;
    WindowHandle window, parent;
    std::string message;  // empty: the request does nothing
  };
  const Case cases[] = {
      {112, 10, 20, "Quelle(Alternativ):IForm;cmdOK:\nHilfethema: IndEditÜbernehmen "},
      {112, 99, 20, "Quelle(Alternativ):ZorvikForm;TP:\nHilfethema: Handelssysteme\nUnterthema:Trend"},
      {112, 99, 98, "Quelle:Hilfe noch nicht spezifiziert. h=99"},
      {112, 0, 0, "Quelle:Hilfe noch nicht spezifiziert. h=0"},
      {113, 10, 20, ""},
      {13, 10, 20, ""},
  };
  for (const Case& c : cases) {
    auto result = helpTopicRequest(r, german, "ZorvikForm", c.key, c.window, c.parent);
    if (c.message.empty()) {
      EXPECT_FALSE(result) << c.key;
      continue;
    }
    ASSERT_TRUE(result) << c.window;
    EXPECT_EQ(result->message, c.message);
    EXPECT_NE(result->protocolLine.find("ZorvikForm"), std::string::npos);
  }

  TestWorkspace t;
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  auto english = helpTopicRequest(r, t.ws->language, "ZorvikForm", 112, 99, 98);
  ASSERT_TRUE(english);
  EXPECT_EQ(english->message.rfind("h=99"), english->message.size() - 4);
  EXPECT_EQ(english->message.find("Quelle"), std::string::npos);
  EXPECT_TRUE(t.ws->language.missingTexts().empty());
}

TEST(HelpRegistry, MenuHelpNamesTheMenu) {
  LanguageTable german;
  const MenuHelp m = menuHelp(german, "&Datei");
  EXPECT_EQ(m.topic, "MENU_&Datei");
  EXPECT_EQ(m.message, "Quelle: MENÜ \nHilfethema: MENU_&Datei");
}

TEST(ManualSections, EveryTopicOpensASectionThatExistsInBothManuals) {
  TestWorkspace t;
  const auto manual = [&t](bool english) {
    std::ifstream in(t.ws->resFolder() / "manual" / (english ? "index_en.html" : "index.html"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  struct Case {
    std::string topic;
    std::vector<std::string> enclosing;  // object names, innermost first
    std::string german, english;         // the anchors
  };
  const Case cases[] = {
      {"IndikatorEdit", {}, "indikatoren", "indicators"},
      {"IndEditÜbernehmen", {}, "indikatoren", "indicators"},
      {"Reiter LONG", {}, "gruppen", "groups"},
      {"Reiter MONEY MANAGEMENT", {}, "mm", "mm"},
      {"Reiter BACKTEST", {}, "backtest", "backtest"},
      {"Backtest Kapitalkurve", {}, "backtest", "backtest"},
      {"Backtest equity curve", {}, "backtest", "backtest"},
      {"Expert Advisors", {}, "ea", "ea"},
      {"Indicators", {}, "indikatoren", "indicators"},
      {"Handelssysteme", {}, "bibliothek", "library"},
      {"Powerswitch", {}, "spiegeln", "mirror"},
      {"Neues Handelssystem", {}, "start", "start"},
      {"MENU_Datei", {}, "fenster", "window"},
      // A parameter row's topic is its caption: the editor around it decides.
      {"Periode", {"Text1_2", "Picture1", "IForm", "ixiForm"}, "indikatoren", "indicators"},
      {"Stoploss", {"Text1_1", "Picture1", "XIForm", "ixiForm"}, "gruppen", "groups"},
      {"Lots", {"Text1_0", "Picture1", "MMForm"}, "mm", "mm"},
      {"Symbol", {"ComboBox1_0", "GForm"}, "general", "general"},
      {"Gibt es nicht", {"irgendwas"}, "", ""},
  };
  const std::string german = manual(false), english = manual(true);
  for (const Case& c : cases) {
    EXPECT_EQ(manualAnchorOfTopic(c.topic, c.enclosing, false), c.german) << c.topic;
    EXPECT_EQ(manualAnchorOfTopic(c.topic, c.enclosing, true), c.english) << c.topic;
    if (c.german.empty()) continue;
    EXPECT_NE(german.find("<a name=\"" + c.german + "\">"), std::string::npos) << c.german;
    EXPECT_NE(english.find("<a name=\"" + c.english + "\">"), std::string::npos) << c.english;
  }
}

TEST(HelpPopup, PlacedBelowRightOfThePointerAndKeptOffTheScreenBottom) {
  struct Case {
    int cx, cy, height, bottom, x, y;
  };
  const Case cases[] = {
      {100, 100, 200, 1080, 120, 120},   // fits
      {100, 900, 200, 1080, 120, 860},   // lower edge exactly 20 above the bottom
      {100, 841, 200, 1080, 120, 860},   // one pixel too low
      {100, 840, 200, 1080, 120, 860},   // just fits
      {1900, 50, 100, 1080, 1920, 70},   // no correction to the right
  };
  for (const Case& c : cases) {
    const PopupPlacement p = placeHelpPopup(c.cx, c.cy, c.height, c.bottom);
    EXPECT_EQ(p.x, c.x) << c.cy;
    EXPECT_EQ(p.y, c.y) << c.cy;
  }
}

}  // namespace
}  // namespace zorvik
