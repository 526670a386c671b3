// The main window's rules that need no window: command table, check marks, the library
// context menu, the help panel's share arithmetic, the caption and the event sounds.
#include <gtest/gtest.h>

#include <set>

#include "model/language.hpp"
#include "test_support.hpp"
#include "window/command_table.hpp"
#include "window/display_modes.hpp"
#include "window/event_sounds.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

TEST(CommandTable, IdsAreUniqueAndEveryCaptionHasAnEnglishLine) {
  TestWorkspace t;
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  ASSERT_TRUE(t.ws->language.english());
  std::set<std::int32_t> ids;
  std::vector<std::string_view> captions;
  for (const auto& menu : commandMenus()) {
    captions.push_back(menu.caption);
    for (const auto& e : menu.entries) {
      captions.push_back(e.caption);
      if (e.id != 0) {
        EXPECT_TRUE(ids.insert(e.id).second) << e.id;
      }
    }
  }
  for (const auto& e : libraryContextEntries()) {
    captions.push_back(e.caption);
    EXPECT_TRUE(ids.insert(e.id).second) << e.id;
  }
  EXPECT_EQ(ids.size(), 18u + 8u);
  for (std::string_view c : captions) t.ws->tr(c);
  EXPECT_EQ(t.ws->language.missingTexts(), std::vector<std::string>{});
  EXPECT_EQ(t.ws->tr("&Über...@2"), "&About...");
  EXPECT_EQ(t.ws->tr("Status Bar"), "Status Bar");
}

TEST(CommandTable, GermanModeShowsEveryCaptionInGerman) {
  // A few captions were written in English in the source; German mode must not show them so.
  LanguageTable german;
  const std::pair<const char*, const char*> cases[] = {{"&Toolbars@2", "&Symbolleisten"},
                                                       {"Status Bar", "Status&leiste"},
                                                       {"&Reset@2", "&Zurücksetzen"},
                                                       {"&Editiermodus@2", "&Editiermodus"},
                                                       {"Nach &Updates suchen@2", "Nach &Updates suchen"}};
  for (const auto& [source, shown] : cases) EXPECT_EQ(german.translate(source), shown) << source;
}

TEST(CommandTable, DispatchedIdsAndCheckMarks) {
  for (std::int32_t id : {100, 103, 104, 110, 98, 200, 201, 202, 96, 141, 142, 97, 99, 94, 95, 112, 11001, 11008})
    EXPECT_TRUE(isDispatchedCommand(id)) << id;
  for (std::int32_t id : {0, 101, 113, 10000, 10100, 10200, 11000, 11009, -1}) EXPECT_FALSE(isDispatchedCommand(id)) << id;

  const std::vector<std::pair<std::string, std::int32_t>> languages{
      {"", 94}, {"DEUTSCH", 94}, {"deutsch", 94}, {"ENGLISCH", 95}, {"Englisch", 95}, {"FRANZ", 0}};
  for (const auto& [name, id] : languages) EXPECT_EQ(checkedLanguageCommand(name), id) << name;

  EXPECT_EQ(checkedModeCommand(mode::Start), 202);
  EXPECT_EQ(checkedModeCommand(mode::Edit), 200);
  EXPECT_EQ(checkedModeCommand(mode::Help), 201);
  EXPECT_EQ(checkedModeCommand(mode::Transitional), 0);
}

TEST(CommandTable, ContextMenuOffersEntriesByGroupInBothLanguages) {
  TestWorkspace t;
  using V = std::vector<std::int32_t>;
  const V all{11001, 11002, 11003, 11004, 11005, 11006, 11007, 11008};
  const std::vector<std::pair<std::string, V>> german{
      {"Handelssysteme", {11001, 11002, 11003, 11004, 11005, 11008}},
      {"Indikatoren", {11001, 11002, 11004, 11005}},
      {"STOP-Einstellungen", {11001, 11002, 11004, 11005}},
      {"Expert Advisors", {11002, 11004, 11005, 11006}},
      {"Ablage", {11002, 11005, 11007}},
      {"Powerswitch", {11005}},
      {"", all},
      {"Neues Handelssystem", all},
      {"handelssysteme", all},  // the library shows its captions exactly; another spelling is no group
  };
  for (const auto& [group, offered] : german) EXPECT_EQ(offeredContextCommands(group, t.ws->language), offered) << group;

  // In English the library shows translated captions; the fixed entries and moved trash
  // items keep their German group names.
  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  const std::string systems = t.ws->tr("Handelssysteme@3");
  EXPECT_EQ(offeredContextCommands(systems, t.ws->language), (V{11001, 11002, 11003, 11004, 11005, 11008}));
  EXPECT_EQ(offeredContextCommands("Ablage", t.ws->language), (V{11002, 11005, 11007}));
  EXPECT_EQ(offeredContextCommands("Powerswitch", t.ws->language), V{11005});
}

TEST(DisplayModes, HelpShareArithmetic) {
  EXPECT_EQ(helpWidthForShare(100, 1000), 985);  // the editor area keeps 15 pixels
  EXPECT_EQ(helpWidthForShare(35, 1000), 350);
  EXPECT_EQ(helpWidthForShare(35, 1010), 354);   // 353.5: half to even
  EXPECT_EQ(helpWidthForShare(35, 1030), 360);   // 360.5
  EXPECT_EQ(helpShareOf(985, 1000), 98);         // 98.5
  EXPECT_EQ(helpShareOf(995, 1000), 100);        // 99.5
  EXPECT_EQ(helpShareOf(10, 0), 0);
  EXPECT_EQ(helpWidthKeepingInnerMinimum(1000), 985);

  struct Case {
    std::int32_t command;
    int share;
    std::optional<int> after;
  };
  for (const Case& c : {Case{200, 51, 35}, Case{200, 50, std::nullopt}, Case{201, 50, 65}, Case{201, 51, std::nullopt},
                        Case{202, 20, 100}, Case{202, 100, 100}})
    EXPECT_EQ(shareAfterModeCommand(c.command, c.share), c.after) << c.command << " " << c.share;
  EXPECT_EQ(modeOfModeCommand(200), mode::Edit);
  EXPECT_EQ(modeOfModeCommand(202), mode::Help);  // the start-mode command enters help mode at 100 percent

  EXPECT_EQ(layoutFileName(mode::Start), "cbLayoutZero.bin");
  EXPECT_EQ(layoutFileName(mode::Edit), "cbLayoutEdit.bin");
  EXPECT_EQ(layoutFileName(mode::Help), "cbLayoutHilfe.bin");
  EXPECT_EQ(layoutFileName(mode::Transitional), "");
}

TEST(DisplayModes, WindowCaption) {
  const ProgramVersion v{1, 1, 146};
  EXPECT_EQ(windowCaption(v, "Trend.hsy.txt"), "Zorvik 1.1.146 >Trend<");
  EXPECT_EQ(windowCaption(v, "Trend"), "Zorvik 1.1.146 >Trend<");
  EXPECT_EQ(windowCaption(v, "a%2Fb.hsy.txt"), "Zorvik 1.1.146 >a%2Fb<");
  EXPECT_EQ(windowCaption(v, ""), "Zorvik 1.1.146");
}

TEST(EventSounds, TableIgnoresCaseAndUnknownEventsAreSilent) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"Lade Handelssystem", "scan_completed.wav"}, {"neues handelssystem", "success.wav"},
      {"GENERIERE EXPERT", "sparcle.wav"},         {"Kill Indikator", "trash.wav"},
      {"Ablagen", "trash.wav"},                    {"Drag&Drop", "dibbldibb.wav"},
      {"Toolbox export", "dibbldibb.wav"},         {"Write System", "dibbldabb.wav"},
      {"Indikator OK", "w1.wav"},                  {"Indikator Abbruch", "XPRecycl.wav"},
      {"Ende", ""},                                {"", ""},
      {"Write System ", ""},
  };
  for (const auto& [event, file] : cases) EXPECT_EQ(soundFileForEvent(event), file) << event;
  // Every sound the program asks for that has an event in the table is heard; a copy between
  // groups and a new system were silent.
  const std::pair<Sound, std::string_view> heard[] = {
      {Sound::Save, "dibbldabb.wav"},  {Sound::Clone, "dibbldibb.wav"}, {Sound::NewSystem, "success.wav"},
      {Sound::Open, "scan_completed.wav"}, {Sound::Trash, "trash.wav"},  {Sound::Error, ""},
  };
  for (const auto& [sound, file] : heard) EXPECT_EQ(soundFileForEvent(eventNameOf(sound)), file) << eventNameOf(sound);
}

}  // namespace
}  // namespace zorvik
