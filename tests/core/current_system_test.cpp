// Opening, creating and saving the current system; magic numbers; file names.
#include <gtest/gtest.h>

#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "text/text_files.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"

namespace zorvik {
namespace {

using testing::crlf;
using testing::TestWorkspace;

fs::path userFile(const TestWorkspace& t, const std::string& name) { return t.dir.path() / "user" / name; }

void writeUser(const TestWorkspace& t, const std::string& name, const std::string& text) {
  testing::writeBytes(userFile(t, name), utf8ToCp1252(crlf(text)));
}

std::vector<std::string> leftovers(const TestWorkspace& t) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(t.dir.path() / "user"))
    if (e.path().filename().string().find(".tmp") != std::string::npos) out.push_back(e.path().filename());
  return out;
}

const std::string kNote =
    "Habe automatisch eine eindeutige Magicnummer zugewiesen.\r\n\r\n Diese kann manuell geändert werden.\r\n"
    "Das sollte jedoch mit aller Vorsicht geschehen,\r\n"
    "da sich bei gleicher Magicnummer gleichzeitig laufende EAs gegenseitig beeinflussen !";

TEST(CurrentSystem, OpeningSavesThePreviousSystemAndReadsTheFile) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  TradingSystem stored;
  testing::fillSampleSystem(ws, stored);
  ASSERT_TRUE(writeSystemFile(stored, userFile(t, "Trend.hsy.txt")));

  ASSERT_TRUE(openSystem(ws, "Alt.hsy.txt"));  // not there yet: a new system
  TradingSystem& system = ws.system();
  EXPECT_EQ(system.general.title, "Alt");
  EXPECT_EQ(system.group(4).tp, "6");
  EXPECT_FALSE(fs::exists(userFile(t, "Alt.hsy.txt")));  // opening alone writes nothing
  system.setParameter("mm_lots", "3");
  const std::string altMagic = system.general.magic;

  t.host.statuses.clear();
  ASSERT_TRUE(openSystem(ws, "Trend.hsy.txt"));
  EXPECT_EQ(system.systemFileName, "Trend.hsy.txt");
  EXPECT_EQ(system.general.magic, "100042");
  EXPECT_EQ(system.group(1).count(), 2);
  EXPECT_EQ(system.mm, stored.mm);
  EXPECT_FALSE(system.changed);
  EXPECT_EQ(system.changedKeys, "");
  EXPECT_EQ(t.host.statuses, (std::vector<std::string>{"Lade Handelssystem", "Lade Handelssystem ok"}));
  EXPECT_TRUE(t.host.messages.empty());

  // The previous system went to its file, changes included.
  ASSERT_TRUE(openSystem(ws, "Alt.hsy.txt"));
  EXPECT_EQ(system.mm.lots, "3");
  EXPECT_EQ(system.general.magic, altMagic);

  // A file without a title takes it from its name; its magic number is kept.
  writeUser(t, "Ohne Titel.hsy.txt", "START general\nbezeichnung=\"\"\nmagic=\"100500\"\nENDE general\n");
  ASSERT_TRUE(openSystem(ws, "Ohne Titel.hsy.txt"));
  EXPECT_EQ(system.general.title, "Ohne Titel");
  EXPECT_EQ(system.general.magic, "100500");
  EXPECT_TRUE(t.host.messages.empty());
}

TEST(CurrentSystem, TwelveCharacterMagicGetsAFreshNumberAndANoteFourTimes) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  struct Case {
    const char* magic;
    bool fresh;
  };
  const Case cases[] = {{"202401011230", true}, {"ABCDEFGHIJKL", true}, {"12345678901", false},
                        {"1234567890123", false}, {"100777", false}};
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.magic);
    const std::string name = "M" + std::to_string(++n) + ".hsy.txt";
    writeUser(t, name, std::string("START general\nmagic=\"") + c.magic + "\"\nENDE general\n");
    t.host.messages.clear();
    ASSERT_TRUE(openSystem(ws, name));
    if (c.fresh) {
      EXPECT_EQ(ws.system().general.magic, std::to_string(ws.settings.magic));
      EXPECT_EQ(t.host.messages, std::vector<std::string>{kNote});
    } else {
      EXPECT_EQ(ws.system().general.magic, c.magic);
      EXPECT_TRUE(t.host.messages.empty());
    }
  }
  t.host.messages.clear();
  ASSERT_TRUE(openSystem(ws, "M1.hsy.txt"));  // saved with its fresh number: no note now
  EXPECT_TRUE(t.host.messages.empty());

  // Third and fourth note; the fourth says it is the last one today; the fifth is not shown.
  for (int i = 3; i <= 5; ++i) {
    const std::string name = "Z" + std::to_string(i) + ".hsy.txt";
    writeUser(t, name, "START general\nmagic=\"999999999999\"\nENDE general\n");
    t.host.messages.clear();
    ASSERT_TRUE(openSystem(ws, name));
    EXPECT_EQ(ws.system().general.magic.size(), 6u);
    std::vector<std::string> expected;
    if (i <= 4) expected.push_back(kNote);
    if (i == 4) expected.push_back("Dieser Hinweis erscheint heute nicht mehr ...");
    EXPECT_EQ(t.host.messages, expected);
  }
  EXPECT_EQ(ws.magicRun.notesConsidered, 5);

  // "-" is the reader's affair: its own message, no note.
  writeUser(t, "Strich.hsy.txt", "START general\nmagic=\"-\"\nENDE general\n");
  t.host.messages.clear();
  ASSERT_TRUE(openSystem(ws, "Strich.hsy.txt"));
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0], "Es wurde eine eindeutige Magicnummer generiert:" + ws.system().general.magic);
}

TEST(CurrentSystem, NewMagicNumbersLieAboveEveryLibraryNumber) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  ASSERT_EQ(ws.settings.magic, 100000);
  writeUser(t, "Fuenf.hsy.txt", "START general\nmagic=\"100005\"\n");
  writeUser(t, "Alt.hsy.txt", "START general\nMAGIC=\"123456\"\n");
  writeUser(t, "Gross.hsy.txt", "START general\nmagic=\"110000\"\n");
  writeUser(t, "Teil.sgr.txt", "magic=\"109000\"\n");  // not a system
  raiseMagicCounterFromLibrary(ws);
  EXPECT_EQ(ws.settings.magic, 100005);

  const auto name = createSystem(ws, "Neu");
  ASSERT_TRUE(name);
  EXPECT_GT(std::stoi(ws.system().general.magic), 100005);
  EXPECT_EQ(readMagic(ws.userFolder(), *name), ws.system().general.magic);

  for (const char* magic : {"100001", "100004", "109999.9", "x", ""}) raiseMagicCounter(ws.settings, magic);
  EXPECT_EQ(ws.settings.magic, 109999);
}

TEST(CurrentSystem, FirstFreeName) {
  TestWorkspace t;
  EXPECT_EQ(firstFreeSystemName(t.ws->userFolder()), "Hsys1.hsy.txt");
  writeUser(t, "Hsys2.hsy.txt", "");
  EXPECT_EQ(firstFreeSystemName(t.ws->userFolder()), "Hsys1.hsy.txt");
  writeUser(t, "Hsys1.hsy.txt", "");
  EXPECT_EQ(firstFreeSystemName(t.ws->userFolder()), "Hsys3.hsy.txt");
}

TEST(CurrentSystem, NewSystemThroughTheInputBox) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  writeUser(t, "Trend.hsy.txt", "START general\nmagic=\"100003\"\n");
  t.host.inputs = {std::string("Trend"), std::string("a/b")};
  const auto name = newSystemFromCommand(ws);
  ASSERT_TRUE(name);
  EXPECT_EQ(*name, "a/b.hsy.txt");
  EXPECT_TRUE(fs::exists(userFile(t, "a%2Fb.hsy.txt")));
  EXPECT_EQ(ws.system().systemFileName, "a/b.hsy.txt");
  EXPECT_EQ(readTitle(ws.userFolder(), "a/b.hsy.txt"), "a/b");
  EXPECT_EQ(t.host.messages,
            std::vector<std::string>{"Dieser Name wird bereits verwendet.Bitte einen neuen wählen oder abbrechen..."});
  EXPECT_EQ(t.host.prompts, (std::vector<std::string>(2, "Name des neuen Handelssystems:")));
  EXPECT_EQ(t.host.sounds, std::vector<Sound>{Sound::NewSystem});
  EXPECT_EQ(t.host.libraryRefreshes, 1);

  // The box offers the first free name; taking it creates Hsys1.
  ws.system().setParameter("mm_lots", "7");
  const auto offered = newSystemFromCommand(ws);
  ASSERT_TRUE(offered);
  EXPECT_EQ(*offered, "Hsys1.hsy.txt");
  EXPECT_NE(testing::readBytes(userFile(t, "a%2Fb.hsy.txt")).find("lots=\"7\""), std::string::npos);

  // Cancel and an empty answer create nothing.
  t.host.inputs = {std::nullopt, std::string()};
  EXPECT_FALSE(newSystemFromCommand(ws));
  EXPECT_FALSE(newSystemFromCommand(ws));
  EXPECT_EQ(ws.system().systemFileName, "Hsys1.hsy.txt");
}

TEST(CurrentSystem, StartingStopsArePipsInPointsOfTheQuote) {
  const struct {
    double pips;
    int digits;
    const char* points;
  } cases[] = {{30, 5, "300"}, {30, 3, "300"}, {30, 4, "30"}, {30, 2, "30"}, {2.5, 5, "25"}, {0, 5, "0"}, {-3, 4, "0"}};
  for (const auto& c : cases) EXPECT_EQ(stopPointsOfPips(c.pips, c.digits), c.points) << c.pips << " at " << c.digits;
}

TEST(CurrentSystem, NewSystemThroughTheDialog) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  writeUser(t, "Trend.hsy.txt", "");
  t.host.chosenNames = {"Trend", "Mein Test/Sys?tem.2"};
  const auto name = newSystemFromDialog(ws);
  ASSERT_TRUE(name);
  // The "/" stays in the name and is encoded in the file name only.
  EXPECT_EQ(*name, "Mein Test/System2.hsy.txt");
  EXPECT_EQ(t.host.nameDialogs, (std::vector<std::string>(2, "Name Handelssystem")));
  EXPECT_EQ(t.host.messages.size(), 1u);
  const std::string file = testing::readBytes(userFile(t, "Mein Test%2FSystem2.hsy.txt"));
  EXPECT_NE(file.find("bezeichnung=\"Mein Test/System2\""), std::string::npos);
  EXPECT_NE(file.find("magic=\"100002\""), std::string::npos);
  // The dialog's starting stops, 30 and 60 pips on five-digit quotes, stand in both exit
  // groups: the catalogue's 5, 6 and 7 points would be half a pip, inside the spread.
  for (int g : {2, 4}) {
    EXPECT_EQ(ws.system().group(g).sl, "300");
    EXPECT_EQ(ws.system().group(g).tp, "600");
    EXPECT_EQ(ws.system().group(g).ts, "0");
  }
  EXPECT_NE(file.find("sl=\"300\""), std::string::npos);

  EXPECT_FALSE(newSystemFromDialog(ws));  // the dialog is cancelled
  EXPECT_FALSE(createSystem(ws, ""));
}

TEST(CurrentSystem, QuickReadersReadTheWholeGeneralSection) {
  TestWorkspace t;
  writeUser(t, "A.hsy.txt", "START general\nBezeichnung=\"Groß & klein\"\nmAgIc=\"100009\"\n");
  writeUser(t, "B.hsy.txt", "START general\ncomment=\"setze magic=5 später\"\nbezeichnung=\"" + std::string(980, 'x') +
                                "\"\nmagic=\"100010\"\n");
  writeUser(t, "C.hsy.txt", "START general\nbezeichnung=\"Ohne Ende");
  EXPECT_EQ(readTitle(t.ws->userFolder(), "A.hsy.txt"), "Groß & klein");
  EXPECT_EQ(readMagic(t.ws->userFolder(), "A.hsy.txt"), "100009");
  // A long title or comment must not hide the magic number: a new system would get it again.
  EXPECT_EQ(readTitle(t.ws->userFolder(), "B.hsy.txt"), std::string(980, 'x'));
  EXPECT_EQ(readMagic(t.ws->userFolder(), "B.hsy.txt"), "100010");
  EXPECT_EQ(readTitle(t.ws->userFolder(), "C.hsy.txt"), "Ohne Ende");
  EXPECT_EQ(readTitle(t.ws->userFolder(), "fehlt.hsy.txt"), "");
}

TEST(CurrentSystem, AFailedSaveKeepsThePreviousFileAndTheOpenSystem) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  ASSERT_TRUE(createSystem(ws, "Trend"));
  const std::string before = testing::readBytes(userFile(t, "Trend.hsy.txt"));
  ws.system().setParameter("mm_lots", "5");
  t.host.messages.clear();

  for (const char* step : {"open", "write", "flush", "rename"}) {
    SCOPED_TRACE(step);
    setWriteFaultHook([step](std::string_view s) { return s != step; });
    EXPECT_FALSE(saveCurrentSystem(ws, true));
    t.host.answers.push_back(false);  // keep the changes rather than discard them
    EXPECT_FALSE(openSystem(ws, "Anderes.hsy.txt"));  // would lose the change
    setWriteFaultHook(nullptr);
    EXPECT_EQ(testing::readBytes(userFile(t, "Trend.hsy.txt")), before);
    EXPECT_TRUE(leftovers(t).empty());
    EXPECT_EQ(ws.system().systemFileName, "Trend.hsy.txt");
    EXPECT_EQ(ws.system().mm.lots, "5");
  }
  ASSERT_EQ(t.host.messages.size(), 8u);
  EXPECT_EQ(t.host.messages[0].rfind("Das Handelssystem konnte nicht gespeichert werden: ", 0), 0u);
  EXPECT_TRUE(std::find(t.host.sounds.begin(), t.host.sounds.end(), Sound::Save) == t.host.sounds.end());

  EXPECT_TRUE(saveCurrentSystem(ws, true));
  EXPECT_EQ(t.host.sounds.back(), Sound::Save);
  EXPECT_NE(testing::readBytes(userFile(t, "Trend.hsy.txt")).find("lots=\"5\""), std::string::npos);

  // A system file that is there but cannot be read is not opened (and so never overwritten).
  fs::create_directory(userFile(t, "Ordner.hsy.txt"));
  EXPECT_FALSE(openSystem(ws, "Ordner.hsy.txt"));
  EXPECT_EQ(ws.system().systemFileName, "Trend.hsy.txt");
  EXPECT_EQ(t.host.messages.back(), "Die Datei konnte nicht gelesen werden: Ordner.hsy.txt");

  ws.system().systemFileName.clear();
  EXPECT_TRUE(saveCurrentSystem(ws));  // nothing open: nothing to do
}

TEST(CurrentSystem, ANewSystemThatCannotBeWrittenLeavesThePreviousOneOpen) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  ASSERT_TRUE(createSystem(ws, "Trend"));
  ws.system().setParameter("mm_lots", "5");
  ASSERT_TRUE(saveCurrentSystem(ws));
  t.host.messages.clear();

  // A name longer than any file system allows: the new system's first save fails.
  EXPECT_FALSE(createSystem(ws, std::string(300, 'n')));
  EXPECT_EQ(ws.system().systemFileName, "Trend.hsy.txt");
  EXPECT_EQ(ws.system().mm.lots, "5");
  ASSERT_FALSE(t.host.messages.empty());
  EXPECT_EQ(t.host.messages.back(), "Das neue Handelssystem wurde nicht angelegt, das bisherige bleibt geöffnet.");

  // Nothing is stuck: the next open and the next new system work without a question.
  t.host.questions.clear();
  ASSERT_TRUE(createSystem(ws, "Zweites"));
  EXPECT_TRUE(openSystem(ws, "Trend.hsy.txt"));
  EXPECT_TRUE(t.host.questions.empty());
}

TEST(CurrentSystem, OpeningAfterAFailedSaveAsksWhetherToDiscard) {
  struct Case {
    bool discard;
    const char* openAfter;
  };
  for (const Case c : {Case{true, "Anderes.hsy.txt"}, Case{false, "Trend.hsy.txt"}}) {
    SCOPED_TRACE(c.discard);
    TestWorkspace t;
    Workspace& ws = *t.ws;
    ASSERT_TRUE(createSystem(ws, "Trend"));
    ws.system().setParameter("mm_lots", "7");
    t.host.answers.push_back(c.discard);
    setWriteFaultHook([](std::string_view step) { return step != "write"; });
    EXPECT_EQ(openSystem(ws, "Anderes.hsy.txt"), c.discard);
    setWriteFaultHook(nullptr);
    ASSERT_EQ(t.host.questions.size(), 1u);
    EXPECT_NE(t.host.questions[0].find("verworfen"), std::string::npos);
    EXPECT_EQ(ws.system().systemFileName, c.openAfter);
    // Discarded changes never reach the file; kept ones stay in the open system.
    EXPECT_EQ(testing::readBytes(userFile(t, "Trend.hsy.txt")).find("lots=\"7\""), std::string::npos);
    if (!c.discard) {
      EXPECT_EQ(ws.system().mm.lots, "7");
    }
  }
}

TEST(FileNames, EscapingListingAndLookup) {
  struct Case {
    const char* name;
    const char* file;
  };
  const Case cases[] = {{"a/b", "a%2Fb"},         {"a\\b", "a%5C"  "b"},  {"../x", "..%2Fx"},
                        {"EUR+USD", "EUR%2BUSD"}, {"50% Risk", "50%25 Risk"}, {"Trend", "Trend"},
                        {"ä ö", "ä ö"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(encodeFileName(c.name), c.file);
    EXPECT_EQ(encodeFileName(c.file), c.file);  // escaping twice changes nothing
    EXPECT_EQ(decodeFileName(c.file), c.name);
  }
  EXPECT_EQ(decodeFileName("a+b%2f%4"), "a b%2f%4");

  EXPECT_EQ(fileNameHead("abc.hsy.txt"), "abc");
  EXPECT_EQ(fileNameHead("a.b.hsy.txt"), "a.b");
  EXPECT_EQ(fileNameHead("EA.ex4"), "EA");
  EXPECT_EQ(fileNameHead("ohne"), "ohne");

  TestWorkspace t;
  ASSERT_TRUE(createSystem(*t.ws, "a/b"));
  ASSERT_TRUE(createSystem(*t.ws, "Trend"));
  for (const char* given : {"a/b", "a/b.hsy.txt", "a%2Fb.hsy.txt", "a%2Fb"}) {
    SCOPED_TRACE(given);
    const auto found = findSystemFile(t.ws->userFolder(), given);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->fileName, "a/b.hsy.txt");
    EXPECT_EQ(found->path, userFile(t, "a%2Fb.hsy.txt"));
  }
  EXPECT_EQ(findSystemFile(t.ws->userFolder(), "Trend.hsy.txt")->fileName, "Trend.hsy.txt");
  EXPECT_FALSE(findSystemFile(t.ws->userFolder(), "Fehlt"));
  EXPECT_FALSE(findSystemFile(t.ws->userFolder(), ""));
  EXPECT_FALSE(findSystemFile(t.ws->userFolder(), "../res/Zorvik.ini"));
}

}  // namespace
}  // namespace zorvik
