// The toolbox export without a window: preselection, the checks with their messages, the file
// each choice writes and the library refreshes.
#include <gtest/gtest.h>

#include <functional>

#include "editors/toolbox_export.hpp"
#include "model/component_files.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"
#include "text/text_files.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"

namespace zorvik {
namespace {

using testing::readBytes;
using testing::TestWorkspace;

std::vector<std::string> userFiles(const Workspace& ws) {
  std::vector<std::string> out;
  // The magic numbers' lock file is the program's own, not a part of the library.
  for (const auto& entry : fs::directory_iterator(ws.userFolder()))
    if (entry.path().filename() != kMagicLockFile) out.push_back(entry.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(ToolboxExport, KindPreselectsItsChoice) {
  const std::pair<const char*, int> cases[] = {
      {"Handelssystem", 0}, {"Signalgruppe", 1}, {"Indikatorengruppe", 2}, {"MultiIndikator", 3},
      {"Indikator", 4},     {"MM", 5},           {"STOP", 6},              {"", -1},
      {"stop", -1},         {"Parameter", -1},
  };
  for (const auto& [kind, choice] : cases) EXPECT_EQ(preselectedChoice(kind), choice) << kind;
}

TEST(ToolboxExport, FileNameOfTypedName) {
  const std::tuple<const char*, int, const char*> cases[] = {
      {"Trend", 4, "Trend.ind.txt"},
      {"  Trend  ", 5, "Trend.mm.txt"},
      {"Trend.ind.txt", 4, "Trend.ind.txt"},  // typed with its ending: not doubled
      {"Trend.IND.TXT", 4, "Trend.ind.txt"},
      {"Trend.ind.txt", 5, "Trend.ind.txt.mm.txt"},
      {".igr.txt", 2, ".igr.txt.igr.txt"},
      {"Trend", 7, ""},
      {"Trend", -1, ""},
      {"   ", 0, ""},
  };
  for (const auto& [typed, choice, file] : cases) EXPECT_EQ(toolboxFileName(typed, choice), file) << typed;
}

TEST(ToolboxExport, RefusalsTellWhyAndWriteNothing) {
  struct Case {
    const char* what;
    int choice;
    int tab;
    std::vector<int> selected;
    const char* name;
    const char* message;  // "" for a silent no-op
  };
  const Case cases[] = {
      {"empty name", 0, 1, {}, "", "Es muß ein Name angegeben werden (ohne Endung)!"},
      {"blank name", 5, 1, {}, "   ", "Es muß ein Name angegeben werden (ohne Endung)!"},
      {"control character", 5, 1, {}, "a\tb", "Der Name enthält unzulässige Zeichen !"},
      {"stops on entry long", 6, 1, {}, "x", "bitte zuerst die Karte anklicken !"},
      {"stops on money management", 6, 5, {}, "x", "bitte zuerst die Karte anklicken !"},
      {"group on general tab", 2, 0, {}, "x", "bitte zuerst die Karte anklicken !"},
      {"selection on mm tab", 3, 5, {1}, "x", "bitte zuerst die Karte anklicken !"},
      {"indicator on settings tab", 4, 6, {1}, "x", "bitte zuerst die Karte anklicken !"},
      {"empty group", 2, 4, {}, "x", "Es sind noch gar keine Indikatoren angelegt !"},
      {"selection of empty group", 3, 4, {1}, "x", "Es sind noch gar keine Indikatoren angelegt !"},
      {"no indicator selected", 4, 1, {}, "x", "Bitte zuerst einen Indikator in der Liste wählen !"},
      {"selection beyond the group", 4, 2, {2}, "x", "Bitte zuerst einen Indikator in der Liste wählen !"},
      {"empty selection", 3, 1, {}, "x", "Bitte zuerst einen Indikator in der Liste wählen !"},
      {"no choice", -1, 1, {1}, "x", ""},
      {"any parameter", 7, 1, {1}, "x", ""},
  };
  for (const Case& c : cases) {
    TestWorkspace t;
    testing::fillSampleSystem(*t.ws, t.ws->system());
    ToolboxExport dialog(*t.ws, {c.tab, c.selected, c.selected.empty() ? 0 : c.selected.front()});
    const ToolboxResult r = dialog.exportPart(c.choice, c.name, "Kommentar");
    EXPECT_NE(r.outcome, ToolboxOutcome::Written) << c.what;
    if (*c.message) {
      EXPECT_EQ(r.outcome, ToolboxOutcome::Refused) << c.what;
      EXPECT_EQ(t.host.messages, std::vector<std::string>{c.message}) << c.what;
    } else {
      EXPECT_EQ(r.outcome, ToolboxOutcome::NothingToDo) << c.what;
      EXPECT_TRUE(t.host.messages.empty()) << c.what;
    }
    EXPECT_TRUE(userFiles(*t.ws).empty()) << c.what;
    EXPECT_EQ(t.host.libraryRefreshes, 0) << c.what;
    dialog.close();
    EXPECT_EQ(t.host.libraryRefreshes, 0) << c.what;
  }
}

TEST(ToolboxExport, EachChoiceWritesItsPartWithTheComment) {
  struct Case {
    int choice;
    int tab;
    std::vector<int> selected;
    int current;
    const char* file;
    std::function<bool(const TradingSystem&, const fs::path&, const std::string& comment)> reference;
  };
  const Case cases[] = {
      {0, 0, {}, 0, "Alles.hsy.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string&) { return writeSystemFile(system, f); }},
      {1, 5, {}, 0, "Alles.sgr.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) { return writeSignalGroupsFile(system, f, c); }},
      {2, 1, {2}, 2, "Alles.igr.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) {
         return writeIndicatorGroupFile(system.group(1), f, c);
       }},
      {3, 1, {2}, 2, "Alles.igr.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) {
         const std::vector<int> second{2};
         return writeIndicatorGroupFile(system.group(1), f, c, &second);
       }},
      // The indicator under the list's cursor, when it is one of the selected.
      {4, 1, {1, 2}, 2, "Alles.ind.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) {
         return writeIndicatorFile(system.group(1).indicator(2), f, c);
       }},
      {4, 3, {1}, 0, "Alles.ind.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) {
         return writeIndicatorFile(system.group(3).indicator(1), f, c);
       }},
      {5, 2, {}, 0, "Alles.mm.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) {
         return writeMoneyManagementFile(system.mm, f, c);
       }},
      {6, 2, {}, 0, "Alles.stp.txt",
       [](const TradingSystem& system, const fs::path& f, const std::string& c) { return writeStopsFile(system.group(2), f, c); }},
  };
  const std::string comment = "Für \"später\"\r\nzweite Zeile";
  for (const Case& c : cases) {
    TestWorkspace t;
    testing::fillSampleSystem(*t.ws, t.ws->system());
    const std::string openMagic = t.ws->system().general.magic;
    ToolboxExport dialog(*t.ws, {c.tab, c.selected, c.current});
    const ToolboxResult r = dialog.exportPart(c.choice, "Alles", comment);
    ASSERT_EQ(r.outcome, ToolboxOutcome::Written) << c.file;
    EXPECT_EQ(userFiles(*t.ws), std::vector<std::string>{c.file});
    EXPECT_EQ(r.file, t.ws->userFile(c.file));
    // A whole system stored is a second system: the same but for a magic number of its own,
    // which the trader is told; the open system keeps its number.
    TradingSystem reference = t.ws->system();
    std::vector<std::string> messages;
    if (c.choice == 0) {
      const std::string copyMagic = readMagic(t.ws->userFolder(), c.file);
      EXPECT_NE(copyMagic, openMagic);
      reference.setParameter("general_magic", copyMagic);
      messages.push_back("Die Kopie hat eine eigene Magicnummer erhalten: " + copyMagic);
    }
    EXPECT_EQ(t.ws->system().general.magic, openMagic);
    const fs::path expected = t.dir.path() / "expected.txt";
    ASSERT_TRUE(c.reference(reference, expected, comment));
    EXPECT_EQ(readBytes(r.file), readBytes(expected)) << c.file;
    EXPECT_EQ(t.host.messages, messages);
    EXPECT_EQ(t.host.statuses, std::vector<std::string>{"toolbox export"});
    EXPECT_EQ(t.host.eventSounds, std::vector<std::string>{"toolbox export"});
    EXPECT_EQ(t.host.libraryRefreshes, 1);
    EXPECT_EQ(dialog.exports(), 1);
  }
}

TEST(ToolboxExport, NamesStayInsideTheLibraryAndOverwrite) {
  TestWorkspace t;
  testing::fillSampleSystem(*t.ws, t.ws->system());
  ToolboxExport dialog(*t.ws, {2, {1}, 1});

  // Separators are escaped: the file lands in the library, never beside or above it.
  EXPECT_EQ(dialog.exportPart(5, "../../Geld/Plan\\B", "").file, t.ws->userFile("..%2F..%2FGeld%2FPlan%5CB.mm.txt"));
  EXPECT_EQ(userFiles(*t.ws), std::vector<std::string>{"..%2F..%2FGeld%2FPlan%5CB.mm.txt"});

  // An existing name is overwritten without a question.
  ASSERT_EQ(dialog.exportPart(6, "Stopps", "erste").outcome, ToolboxOutcome::Written);
  t.ws->system().group(2).sl = "99";
  ASSERT_EQ(dialog.exportPart(6, "Stopps", "zweite").outcome, ToolboxOutcome::Written);
  const std::string bytes = readBytes(t.ws->userFile("Stopps.stp.txt"));
  EXPECT_NE(bytes.find("99"), std::string::npos);
  EXPECT_NE(bytes.find("zweite"), std::string::npos);
  EXPECT_EQ(bytes.find("erste"), std::string::npos);
  EXPECT_TRUE(t.host.questions.empty());
  EXPECT_TRUE(t.host.messages.empty());

  // Every export refreshes the library, and closing once more.
  EXPECT_EQ(dialog.exports(), 3);
  EXPECT_EQ(t.host.libraryRefreshes, 3);
  dialog.close();
  EXPECT_EQ(t.host.libraryRefreshes, 4);
}

TEST(ToolboxExport, FailedWriteIsReportedNotCounted) {
  TestWorkspace t;
  testing::fillSampleSystem(*t.ws, t.ws->system());
  ToolboxExport dialog(*t.ws, {1, {1}, 1});
  ASSERT_EQ(dialog.exportPart(4, "MA", "alt").outcome, ToolboxOutcome::Written);
  const std::string before = readBytes(t.ws->userFile("MA.ind.txt"));

  setWriteFaultHook([](std::string_view step) { return step != "write"; });
  const ToolboxResult r = dialog.exportPart(4, "MA", "neu");
  setWriteFaultHook({});
  EXPECT_EQ(r.outcome, ToolboxOutcome::WriteFailed);
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0].rfind("Das Bauteil konnte nicht gespeichert werden: ", 0), 0u);
  EXPECT_EQ(readBytes(t.ws->userFile("MA.ind.txt")), before);
  EXPECT_EQ(dialog.exports(), 1);
  EXPECT_EQ(t.host.statuses.size(), 1u);
  EXPECT_EQ(t.host.libraryRefreshes, 1);
}

}  // namespace
}  // namespace zorvik
