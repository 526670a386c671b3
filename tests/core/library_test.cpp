// The component library: listing the folder, item numbers, trash and restore, delete, rename,
// save under a new name, clicks, drags and the drop rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "library/library.hpp"
#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "window/command_table.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/current_system.hpp"

namespace zorvik {
namespace {

using testing::crlf;
using testing::TestWorkspace;

class LibraryTest : public ::testing::Test {
 protected:
  TestWorkspace t;
  Workspace& ws = *t.ws;
  Library lib{ws};

  fs::path user(const std::string& onDisk) const { return t.dir.path() / "user" / onDisk; }
  void put(const std::string& onDisk, const std::string& text = "x") {
    testing::writeBytes(user(onDisk), utf8ToCp1252(crlf(text)));
  }
  void putSystem(const std::string& onDisk, const std::string& title, const std::string& magic = "100001") {
    put(onDisk, "START general\nbezeichnung=\"" + title + "\"\nmagic=\"" + magic + "\"\nENDE general\n");
  }
  // A real system file written from the sample system, for opening and dropping.
  void putSampleSystem(const std::string& fileName) {
    TradingSystem system;
    testing::fillSampleSystem(ws, system, fileName);
    ASSERT_TRUE(writeSystemFile(system, componentPath(ws.userFolder(), fileName)));
  }
  std::vector<std::string> displays(int groupId) const {
    std::vector<std::string> out;
    for (const auto& i : lib.group(groupId)->items) out.push_back(i.display);
    return out;
  }
  const LibraryItem& item(int groupId, const std::string& display) const {
    for (const auto& i : lib.group(groupId)->items)
      if (i.display == display) return i;
    ADD_FAILURE() << "no item " << display;
    static LibraryItem none;
    return none;
  }
  // Presses an item, as the mouse does before a context-menu command.
  void pressItem(int groupId, const std::string& display) { lib.press(item(groupId, display)); }
};

TEST_F(LibraryTest, ListsEveryGroupWithItsDisplayTexts) {
  putSystem("Trend.hsy.txt", "Trend");
  putSystem("Range.hsy.txt", "Seitwärts");
  putSystem("Leer.hsy.txt", "");
  putSystem("a%2Fb.hsy.txt", "a/b");
  put("EUR%2BUSD.sgr.txt");
  put("Cross.igr.txt");
  put("rsi.ind.txt");
  put("RSI 2.ind.txt");
  put("Fix.mm.txt");
  put("Eng.stp.txt");
  put("Trend 1.5.ex4");
  put("Alt.hsy.txt.del");
  put("Kurz.stp.txt.del");
  put("Rest.txt.del");
  put("notes.txt");
  fs::create_directory(user("Ordner.hsy.txt"));  // not a file: skipped

  lib.relistLibrary();
  std::vector<std::string> captions;
  for (const auto& g : lib.groups()) captions.push_back(g.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Neues Handelssystem", "Handelssysteme", "Signalgruppen",
                                                "Indikatorgruppen", "Indikatoren", "MM-Einstellungen",
                                                "STOP-Einstellungen", "Expert Advisors", "Ablage", "Powerswitch"}));
  // Sorted without regard to case; a title unlike the name is shown beside it, an empty one too.
  EXPECT_EQ(displays(libgroup::TradingSystems),
            (std::vector<std::string>{"a/b", "Leer \"\"", "Range \"Seitwärts\"", "Trend"}));
  EXPECT_EQ(displays(libgroup::SignalGroups), std::vector<std::string>{"EUR+USD"});
  EXPECT_EQ(displays(libgroup::Indicators), (std::vector<std::string>{"rsi", "RSI 2"}));
  EXPECT_EQ(displays(libgroup::ExpertAdvisors), std::vector<std::string>{"Trend 1.5"});
  EXPECT_EQ(displays(libgroup::Trash),
            (std::vector<std::string>{"Handelssysteme:Alt", "Rest", "STOP-Einstellungen:Kurz"}));
  EXPECT_EQ(displays(libgroup::Powerswitch),
            (std::vector<std::string>{"L=XS S=XL", "L=XS S=XL Systemspiegelung", "Alles dasselbe Instrument",
                                      "Alles dasselbe Intervall"}));
  EXPECT_TRUE(lib.group(libgroup::NewSystem)->items.empty());

  const LibraryItem& ab = item(libgroup::TradingSystems, "a/b");
  EXPECT_EQ(ab.fileName, "a/b.hsy.txt");
  EXPECT_EQ(ab.nameHead, "a/b");
  EXPECT_EQ(ab.group, "Handelssysteme");
  EXPECT_EQ(item(libgroup::Trash, "Handelssysteme:Alt").nameHead, "Alt");
  EXPECT_EQ(item(libgroup::Powerswitch, "L=XS S=XL").group, "Powerswitch");
  EXPECT_EQ(lib.group(libgroup::TradingSystems)->toolTip, "durch Anklicken öffnen");
  EXPECT_EQ(lib.group(libgroup::Powerswitch)->toolTip, "");
  EXPECT_TRUE(lib.hasGroupCaption("Ablage"));
  EXPECT_FALSE(lib.hasGroupCaption("Papierkorb"));

  // The records lead to the context-menu entries of their groups.
  using V = std::vector<std::int32_t>;
  EXPECT_EQ(offeredContextCommands(ab.group, ws.language), (V{11001, 11002, 11003, 11004, 11005, 11008}));
  EXPECT_EQ(offeredContextCommands(item(libgroup::Trash, "Rest").group, ws.language), (V{11002, 11005, 11007}));
  EXPECT_EQ(offeredContextCommands(item(libgroup::Powerswitch, "L=XS S=XL").group, ws.language), V{11005});
}

TEST_F(LibraryTest, EnglishCaptionsAndTrashLabels) {
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  put("Alt.hsy.txt.del");
  lib.relistLibrary();
  const std::string systems = ws.tr("Handelssysteme@3");
  EXPECT_NE(systems, "Handelssysteme");
  EXPECT_EQ(lib.group(libgroup::TradingSystems)->caption, systems);
  EXPECT_EQ(displays(libgroup::Trash), std::vector<std::string>{systems + ":Alt"});
  EXPECT_EQ(displays(libgroup::Powerswitch)[1], "L=XS S=XL mirror system");
}

TEST_F(LibraryTest, ListingRaisesTheMagicCounter) {
  ws.settings.magic = 100000;
  putSystem("A.hsy.txt", "A", "100005");
  putSystem("B.hsy.txt", "B", "123456");
  putSystem("C.hsy.txt", "C", "110000");
  lib.relistLibrary();
  EXPECT_EQ(ws.settings.magic, 100005);
}

TEST_F(LibraryTest, ItemIdsKeepGrowingOverRebuilds) {
  putSystem("A.hsy.txt", "A");
  putSystem("B.hsy.txt", "B");
  lib.relistLibrary();
  EXPECT_EQ(item(libgroup::TradingSystems, "A").id, 1);  // the first item of the run
  std::vector<std::int32_t> seen;
  for (int round = 0; round < 3; ++round) {
    lib.relistLibrary();
    for (const auto& g : lib.groups())
      for (const auto& i : g.items) seen.push_back(i.id);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(seen.size(), 18u);  // 2 systems + 4 fixed entries, three times
  // The counter goes on from there.
  EXPECT_EQ(lib.nextId(), seen.back() + 1);

  // The last opened system is kept by the number a fresh listing gives it, so that it still
  // names that system at the next start whatever ids this run has used.
  lib.click(item(libgroup::TradingSystems, "B"), 0);
  EXPECT_EQ(ws.settings.lastSystemId, 2);
  Library nextRun(ws);
  ws.system().systemFileName.clear();
  nextRun.relistLibrary();
  ASSERT_NE(nextRun.lastSystemItem(), nullptr);
  EXPECT_EQ(nextRun.lastSystemItem()->fileName, "B.hsy.txt");
  ws.settings.lastSystemId = 3;  // a Powerswitch entry's number is no system
  EXPECT_EQ(nextRun.lastSystemItem(), nullptr);
}

TEST_F(LibraryTest, ClickOpensTheSystemAndMarksIt) {
  putSampleSystem("Trend.hsy.txt");
  putSampleSystem("Range.hsy.txt");
  lib.relistLibrary();
  const LibraryItem trend = item(libgroup::TradingSystems, "Trend");
  EXPECT_EQ(lib.click(trend, 0), LibraryOutcome::SystemOpened);
  EXPECT_EQ(ws.system().systemFileName, "Trend.hsy.txt");
  EXPECT_EQ(lib.boldId(), trend.id);
  EXPECT_EQ(t.host.sounds.back(), Sound::Open);

  // Opening another saves the first, whose changed title shows at once.
  ws.system().setParameter("general_bezeichnung", "Neu");
  EXPECT_EQ(lib.click(item(libgroup::TradingSystems, "Range"), 0), LibraryOutcome::SystemOpened);
  EXPECT_EQ(lib.findItem(trend.id)->display, "Trend \"Neu\"");
  EXPECT_NE(lib.boldId(), trend.id);

  // A rebuild keeps the open system bold; other groups' clicks do nothing.
  lib.relistLibrary();
  EXPECT_EQ(lib.findItem(lib.boldId())->fileName, "Range.hsy.txt");
  EXPECT_TRUE(lib.markOpenSystem("Trend"));
  EXPECT_EQ(lib.findItem(lib.boldId())->fileName, "Trend.hsy.txt");
  EXPECT_FALSE(lib.markOpenSystem("Tre"));
}

TEST_F(LibraryTest, AFileNamedByAnotherProgramOpensWithItsContent) {
  // "+" in a name on disk is listed as a blank; escaping that name again would point at
  // "EUR USD.hsy.txt", so the file is given that name before it is opened.
  putSampleSystem("EUR USD.hsy.txt");
  fs::rename(user("EUR USD.hsy.txt"), user("EUR+USD.hsy.txt"));
  lib.relistLibrary();
  const LibraryItem& eur = item(libgroup::TradingSystems, "EUR USD");
  ASSERT_EQ(lib.click(eur, 0), LibraryOutcome::SystemOpened);
  EXPECT_EQ(ws.system().group(1).count(), 2);
  EXPECT_TRUE(fs::exists(user("EUR USD.hsy.txt")));
  EXPECT_FALSE(fs::exists(user("EUR+USD.hsy.txt")));
}

TEST_F(LibraryTest, TrashAndRestoreGiveBackTheSameFile) {
  putSystem("Trend.hsy.txt", "Trend Folger");
  put("RSI.ind.txt", "START indikator\nindikatortyp=\"RSI\"\nSTOP indikator\n");
  const std::string before = testing::readBytes(user("RSI.ind.txt"));
  lib.relistLibrary();

  pressItem(libgroup::Indicators, "RSI");
  EXPECT_EQ(lib.moveToTrash(), LibraryOutcome::Changed);
  EXPECT_FALSE(fs::exists(user("RSI.ind.txt")));
  EXPECT_TRUE(fs::exists(user("RSI.ind.txt.del")));
  EXPECT_TRUE(lib.group(libgroup::Indicators)->items.empty());
  // Shown as the next listing will show it.
  EXPECT_EQ(displays(libgroup::Trash), std::vector<std::string>{"Indikatoren:RSI"});

  pressItem(libgroup::Trash, "Indikatoren:RSI");
  EXPECT_EQ(lib.restore(), LibraryOutcome::Changed);
  EXPECT_EQ(testing::readBytes(user("RSI.ind.txt")), before);
  EXPECT_EQ(displays(libgroup::Indicators), std::vector<std::string>{"RSI"});
  EXPECT_TRUE(lib.group(libgroup::Trash)->items.empty());

  // A system goes the same way and comes back with its title.
  pressItem(libgroup::TradingSystems, "Trend \"Trend Folger\"");
  lib.moveToTrash();
  lib.relistLibrary();
  EXPECT_EQ(displays(libgroup::Trash), std::vector<std::string>{"Handelssysteme:Trend"});
  pressItem(libgroup::Trash, "Handelssysteme:Trend");
  lib.restore();
  EXPECT_EQ(displays(libgroup::TradingSystems), std::vector<std::string>{"Trend \"Trend Folger\""});
  EXPECT_TRUE(t.host.messages.empty());
}

TEST_F(LibraryTest, TrashRefusals) {
  put("RSI.ind.txt", "neu");
  put("RSI.ind.txt.del", "alt");
  put("Trend.ex4");
  lib.relistLibrary();
  struct Case {
    int group;
    std::string display;
    std::string message;
  };
  const std::vector<Case> cases{
      {libgroup::Powerswitch, "L=XS S=XL", "Das kann nicht entfernt werden!"},
      {libgroup::Trash, "Indikatoren:RSI", "Das kann nicht entfernt werden!"},
      {libgroup::ExpertAdvisors, "Trend", "Das kann nicht entfernt werden!"},
      // An older trashed copy is not overwritten.
      {libgroup::Indicators, "RSI", "Dieses Bauteil liegt bereits in der Ablage: RSI"},
  };
  for (const Case& c : cases) {
    t.host.messages.clear();
    pressItem(c.group, c.display);
    EXPECT_EQ(lib.moveToTrash(), LibraryOutcome::Nothing) << c.display;
    EXPECT_EQ(t.host.messages, std::vector<std::string>{c.message}) << c.display;
  }
  // A group header has no record worth trashing.
  t.host.messages.clear();
  lib.press(LibraryItem{});
  EXPECT_EQ(lib.moveToTrash(), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Das kann nicht entfernt werden!"});
  EXPECT_EQ(testing::readBytes(user("RSI.ind.txt.del")), "alt");

  // Restoring over a file made since keeps the newer file.
  t.host.messages.clear();
  pressItem(libgroup::Trash, "Indikatoren:RSI");
  EXPECT_EQ(lib.restore(), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Dieser Dateiname existiert bereits !"});
  EXPECT_EQ(testing::readBytes(user("RSI.ind.txt")), "neu");
}

TEST_F(LibraryTest, TrashingTheOpenSystemSavesAndClosesIt) {
  putSampleSystem("Trend.hsy.txt");
  lib.relistLibrary();
  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  ws.system().setParameter("general_bezeichnung", "Zuletzt");
  pressItem(libgroup::TradingSystems, "Trend");
  EXPECT_EQ(lib.moveToTrash(), LibraryOutcome::SystemClosed);
  EXPECT_EQ(ws.system().systemFileName, "");
  EXPECT_EQ(lib.boldId(), 0);
  EXPECT_EQ(readTitle(ws.userFolder(), "Trend.hsy.txt.del"), "Zuletzt");
  EXPECT_TRUE(saveCurrentSystem(ws));  // nothing is open: the system does not come back
  EXPECT_FALSE(fs::exists(user("Trend.hsy.txt")));
}

TEST_F(LibraryTest, Delete) {
  putSampleSystem("Trend.hsy.txt");
  put("RSI.ind.txt");
  put("Alt.sgr.txt.del");
  lib.relistLibrary();

  // No keeps everything.
  t.host.answers = {false};
  pressItem(libgroup::Indicators, "RSI");
  EXPECT_EQ(lib.remove(), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.questions.back(), "Wollen Sie wirklich das Bauteil RSI löschen ?");
  EXPECT_TRUE(fs::exists(user("RSI.ind.txt")));

  EXPECT_EQ(lib.remove(), LibraryOutcome::Changed);
  EXPECT_FALSE(fs::exists(user("RSI.ind.txt")));
  EXPECT_TRUE(lib.group(libgroup::Indicators)->items.empty());

  // The trash can be emptied item by item.
  pressItem(libgroup::Trash, "Signalgruppen:Alt");
  EXPECT_EQ(lib.remove(), LibraryOutcome::Changed);
  EXPECT_EQ(t.host.questions.back(), "Wollen Sie wirklich das Bauteil Alt löschen ?");
  EXPECT_FALSE(fs::exists(user("Alt.sgr.txt.del")));

  // Deleting the open system closes it: a later save writes nothing.
  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  pressItem(libgroup::TradingSystems, "Trend");
  EXPECT_EQ(lib.remove(), LibraryOutcome::SystemClosed);
  EXPECT_EQ(t.host.questions.back(), "Wollen Sie wirklich das Handelssystem Trend löschen ?");
  EXPECT_EQ(ws.system().systemFileName, "");
  EXPECT_EQ(ws.settings.lastSystemId, 0);
  EXPECT_TRUE(saveCurrentSystem(ws));
  EXPECT_FALSE(fs::exists(user("Trend.hsy.txt")));

  t.host.messages.clear();
  pressItem(libgroup::Powerswitch, "L=XS S=XL");
  EXPECT_EQ(lib.remove(), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Das kann nicht entfernt werden!"});
}

TEST_F(LibraryTest, Rename) {
  putSampleSystem("Trend.hsy.txt");
  put("RSI.ind.txt");
  put("MACD.ind.txt");
  put("EA.ex4");
  lib.relistLibrary();

  struct Case {
    std::optional<std::string> answer;
    std::vector<std::string> messages;
  };
  const std::vector<Case> refused{
      {std::nullopt, {}},  // cancelled
      {"", {}},
      {"RSI", {"Der Name bleibt gleich..."}},
      {"MACD", {"Dieser Dateiname existiert bereits !"}},
  };
  for (const Case& c : refused) {
    t.host.messages.clear();
    t.host.inputs = {c.answer};
    pressItem(libgroup::Indicators, "RSI");
    EXPECT_EQ(lib.rename(), LibraryOutcome::Nothing);
    EXPECT_EQ(t.host.messages, c.messages);
    EXPECT_TRUE(fs::exists(user("RSI.ind.txt")));
  }
  EXPECT_EQ(t.host.prompts.back(), "Umbenennen");

  t.host.inputs = {std::string("a/b")};
  EXPECT_EQ(lib.rename(), LibraryOutcome::Changed);
  EXPECT_TRUE(fs::exists(user("a%2Fb.ind.txt")));
  EXPECT_EQ(displays(libgroup::Indicators), (std::vector<std::string>{"a/b", "MACD"}));
  EXPECT_EQ(lib.currentItem().fileName, "a/b.ind.txt");

  t.host.inputs = {std::string("EA 2")};
  pressItem(libgroup::ExpertAdvisors, "EA");
  lib.rename();
  EXPECT_TRUE(fs::exists(user("EA 2.ex4")));

  // The open system follows its file and keeps its mark; the title shows beside the new name.
  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  const std::int32_t bold = lib.boldId();
  t.host.inputs = {std::string("Trend2")};
  pressItem(libgroup::TradingSystems, "Trend");
  lib.rename();
  EXPECT_EQ(ws.system().systemFileName, "Trend2.hsy.txt");
  EXPECT_EQ(lib.boldId(), bold);
  EXPECT_EQ(lib.findItem(bold)->display, "Trend2 \"Trend\"");
}

TEST_F(LibraryTest, SaveUnderANewNameActsOnTheOpenSystem) {
  putSampleSystem("Trend.hsy.txt");
  putSampleSystem("Range.hsy.txt");
  lib.relistLibrary();
  t.host.messages.clear();
  EXPECT_EQ(lib.saveAs(), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Zuerst ein System laden"});

  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  ws.system().setParameter("general_comment", "geändert");
  pressItem(libgroup::TradingSystems, "Range");  // another system is pressed

  // The pressed item's name is offered; taking it as it stands names an existing file.
  EXPECT_EQ(lib.saveAsProposal(), "Range");
  t.host.messages.clear();
  t.host.inputs.clear();
  EXPECT_EQ(lib.saveAs(), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Der Name bleibt gleich..."});
  t.host.inputs = {std::string("Trend")};
  lib.saveAs();
  EXPECT_EQ(t.host.messages.back(), "Dieser Dateiname existiert bereits !");
  EXPECT_EQ(ws.system().systemFileName, "Trend.hsy.txt");

  t.host.sounds.clear();
  t.host.messages.clear();
  t.host.inputs = {std::string("Kopie")};
  const std::string originalMagic = ws.system().general.magic;
  EXPECT_EQ(lib.saveAs(), LibraryOutcome::SystemOpened);
  // The copy trades under a number of its own, and the trader is told which.
  const std::string copyMagic = readMagic(ws.userFolder(), "Kopie.hsy.txt");
  EXPECT_EQ(readMagic(ws.userFolder(), "Trend.hsy.txt"), originalMagic);
  EXPECT_NE(copyMagic, originalMagic);
  EXPECT_EQ(readMagic(ws.userFolder(), "Range.hsy.txt") == copyMagic, false);
  EXPECT_EQ(ws.system().general.magic, copyMagic);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Die Kopie hat eine eigene Magicnummer erhalten: " + copyMagic});
  EXPECT_EQ(t.host.prompts.back(), "Speichern unter");
  EXPECT_EQ(ws.system().systemFileName, "Kopie.hsy.txt");
  EXPECT_EQ(t.host.sounds, (std::vector<Sound>{Sound::Save, Sound::Save}));
  // Both files hold the change; the new one is listed and marked.
  for (const char* f : {"Trend.hsy.txt", "Kopie.hsy.txt"}) {
    TradingSystem back;
    ASSERT_TRUE(readComponent(ws, back, user(f), "", 0));
    EXPECT_EQ(back.general.comment, "geändert") << f;
  }
  EXPECT_EQ(lib.findItem(lib.boldId())->fileName, "Kopie.hsy.txt");
}

TEST_F(LibraryTest, DragNeedsAnOpenSystemAndADraggableKind) {
  EXPECT_FALSE(dragDistancePassed(10, 0));
  EXPECT_FALSE(dragDistancePassed(4, -6));
  EXPECT_TRUE(dragDistancePassed(11, 0));
  EXPECT_TRUE(dragDistancePassed(-5, 6));

  putSampleSystem("Trend.hsy.txt");
  put("RSI.ind.txt");
  put("EA.ex4");
  lib.relistLibrary();
  EXPECT_FALSE(lib.mayDrag(item(libgroup::Indicators, "RSI")));
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Bitte zuerst ein Handelssystem öffnen"});

  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  t.host.messages.clear();
  EXPECT_TRUE(lib.mayDrag(item(libgroup::Indicators, "RSI")));
  EXPECT_FALSE(lib.mayDrag(item(libgroup::TradingSystems, "Trend")));
  EXPECT_FALSE(lib.mayDrag(item(libgroup::ExpertAdvisors, "EA")));
  EXPECT_FALSE(lib.mayDrag(item(libgroup::Powerswitch, "L=XS S=XL")));
  EXPECT_TRUE(t.host.messages.empty());
}

TEST_F(LibraryTest, DropRules) {
  putSampleSystem("Trend.hsy.txt");
  put("RSI.ind.txt", "START indikator\nindikatortyp=\"RSI\"\nSTOP indikator\n");
  put("Zwei.igr.txt",
      "START signalgruppe\nSTART indikator\nindikatortyp=\"RSI\"\nSTOP indikator\nSTART indikator\n"
      "indikatortyp=\"MACD\"\nSTOP indikator\nENDE signalgruppe\n");
  put("Fix.mm.txt", "START moneymanagement\nlots=\"7\"\nENDE moneymanagement\n");
  put("Eng.stp.txt", "START STOPS\nsl=\"11\"\nts=\"12\"\ntp=\"13\"\nSTOP STOPS\n");
  put("Alt.ind.txt.del");
  lib.relistLibrary();
  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  TradingSystem& system = ws.system();
  ws.system().group(3).indicators().clear();

  const std::string onlySignal = "Es kann nur auf L / XL / S / XS gedroppt werden !";
  const std::string onlyExit = "Es kann nur auf XL oder XS gedroppt werden !";
  struct Case {
    int group;
    std::string display;
    int tab;
    LibraryOutcome outcome;
    std::string message;  // empty: none
  };
  const std::vector<Case> cases{
      {libgroup::TradingSystems, "Trend", 1, LibraryOutcome::Nothing, "Bitte System durch Anklicken öffnen statt Drag&Drop !"},
      {libgroup::Indicators, "RSI", 0, LibraryOutcome::Nothing, onlySignal},
      {libgroup::Indicators, "RSI", 5, LibraryOutcome::Nothing, onlySignal},
      {libgroup::Indicators, "RSI", 3, LibraryOutcome::PageChanged, ""},
      {libgroup::IndicatorGroups, "Zwei", 6, LibraryOutcome::Nothing, onlySignal},
      {libgroup::IndicatorGroups, "Zwei", 3, LibraryOutcome::PageChanged, ""},
      {libgroup::MoneyManagement, "Fix", 6, LibraryOutcome::PageChanged, ""},
      {libgroup::Stops, "Eng", 1, LibraryOutcome::Nothing, onlyExit},
      {libgroup::Stops, "Eng", 3, LibraryOutcome::Nothing, onlyExit},
      {libgroup::Stops, "Eng", 4, LibraryOutcome::PageChanged, ""},
      {libgroup::Trash, "Indikatoren:Alt", 1, LibraryOutcome::Nothing, "Das Bauteil muß zuerst wiederhergestellt werden !"},
      {libgroup::Powerswitch, "L=XS S=XL", 1, LibraryOutcome::Nothing, ""},
  };
  for (const Case& c : cases) {
    t.host.messages.clear();
    t.host.sounds.clear();
    EXPECT_EQ(lib.drop(item(c.group, c.display), c.tab), c.outcome) << c.display << " on " << c.tab;
    EXPECT_EQ(t.host.messages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message})
        << c.display << " on " << c.tab;
    EXPECT_EQ(t.host.sounds.front(), Sound::Drop);
  }
  // Entry short got the indicator and then the indicator group appended; only exit short
  // took the stops; the money management came in from the settings tab.
  ASSERT_EQ(system.group(3).count(), 3);
  EXPECT_EQ(system.group(3).indicator(1).type(), "RSI");
  EXPECT_EQ(system.group(3).indicator(3).type(), "MACD");
  EXPECT_EQ(system.group(4).sl, "11");
  EXPECT_EQ(system.group(4).tp, "13");
  EXPECT_NE(system.group(2).sl, "11");
  EXPECT_EQ(system.mm.lots, "7");

  // Without an open system nothing is read.
  system.systemFileName.clear();
  t.host.messages.clear();
  EXPECT_EQ(lib.drop(item(libgroup::Indicators, "RSI"), 1), LibraryOutcome::Nothing);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Bitte zuerst ein Handelssystem öffnen"});
}

TEST_F(LibraryTest, ExpertAdvisorsListSourcesCompiledOrNot) {
  put("Trend.ex4");
  put("Trend.mq4");      // compiled: listed once, by its .ex4, and its source found beside it
  put("Range.mq4");      // no compiler was found: the source alone
  put("Mein%2FEA.MQ4");  // any letter case, names encoded as always
  put("_Zorvik.mq4");    // the generator's working copy, not an Expert Advisor
  put("Alt.ex4");        // compiled elsewhere: nothing to show
  lib.relistLibrary();
  EXPECT_EQ(displays(libgroup::ExpertAdvisors),
            (std::vector<std::string>{"Alt", "Mein/EA (nicht kompiliert)", "Range (nicht kompiliert)", "Trend"}));
  EXPECT_EQ(lib.expertSource(item(libgroup::ExpertAdvisors, "Trend")), user("Trend.mq4"));
  EXPECT_EQ(lib.expertSource(item(libgroup::ExpertAdvisors, "Range (nicht kompiliert)")), user("Range.mq4"));
  EXPECT_EQ(lib.expertSource(item(libgroup::ExpertAdvisors, "Alt")), fs::path());
  // The hint of the empty group says where Expert Advisors come from, in the shown language.
  put("x.hsy.txt.del");
  fs::remove(user("Trend.ex4"));
  for (const char* f : {"Trend.mq4", "Range.mq4", "Mein%2FEA.MQ4", "Alt.ex4"}) fs::remove(user(f));
  lib.relistLibrary();
  EXPECT_TRUE(
      lib.emptyGroupMessage(libgroup::ExpertAdvisors).starts_with("Es sind noch keine Expert Advisors vorhanden."));
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  lib.relistLibrary();
  EXPECT_TRUE(lib.emptyGroupMessage(libgroup::ExpertAdvisors).starts_with("There are no Expert Advisors yet."));
  EXPECT_EQ(lib.emptyGroupMessage(libgroup::Indicators),
            "There are no Indicators in the toolbox yet\r\nThe toolbox is filled by clicking the\r\n"
            "->Toolbox button in the trading system and making a choice ...");
  EXPECT_EQ(ws.language.missingTexts(), std::vector<std::string>{});
}

TEST_F(LibraryTest, EmptyGroupsAndPowerswitchClicks) {
  putSampleSystem("Trend.hsy.txt");
  lib.relistLibrary();
  EXPECT_EQ(lib.emptyGroupMessage(libgroup::Indicators),
            "Es sind noch keine Indikatoren in der Toolbox vorhanden\r\n"
            "Die Toolbox wird gefüllt, indem man im Handelssystem auf\r\n"
            "den ->Toolbox Button klickt und eine Auswahl trifft ...");
  EXPECT_TRUE(lib.emptyGroupMessage(libgroup::Trash).starts_with("Es sind noch keine Ablagen in der Toolbox vorhanden\r\n"));
  EXPECT_EQ(lib.emptyGroupMessage(libgroup::TradingSystems), "");
  EXPECT_EQ(lib.emptyGroupMessage(libgroup::NewSystem), "");
  EXPECT_EQ(lib.emptyGroupMessage(libgroup::Powerswitch), "");

  lib.click(item(libgroup::TradingSystems, "Trend"), 0);
  // The copy entry runs for the selected tab: on the general tab it refuses, on L it copies.
  EXPECT_EQ(lib.click(item(libgroup::Powerswitch, "L=XS S=XL"), 0), LibraryOutcome::Nothing);
  t.host.answers = {true};
  EXPECT_EQ(lib.click(item(libgroup::Powerswitch, "L=XS S=XL"), 1), LibraryOutcome::PageChanged);
  EXPECT_EQ(ws.system().group(4).count(), ws.system().group(1).count());
}

}  // namespace
}  // namespace zorvik
