// Saving files safely and handing out magic numbers that no two systems share.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>

#include "model/file_names.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "text/text_files.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

using testing::crlf;
using testing::TestWorkspace;

fs::path userFile(const TestWorkspace& t, const std::string& name) { return t.dir.path() / "user" / name; }

void writeUser(const TestWorkspace& t, const std::string& name, const std::string& text) {
  testing::writeBytes(userFile(t, name), utf8ToCp1252(crlf(text)));
}

unsigned modeOf(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(SafeSave, KeepsModeFollowsLinksAndRefusesReadOnlyFiles) {
  testing::TempDir dir;
  const fs::path file = dir.path() / "a.txt";
  ASSERT_TRUE(writeFileAtomic(file, "eins"));
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(writeFileAtomic(file, "zwei"));
  EXPECT_EQ(modeOf(file), 0640u);
  EXPECT_EQ(testing::readBytes(file), "zwei");

  // Through a link: the target changes, the link stays a link.
  const fs::path link = dir.path() / "link.txt";
  fs::create_symlink("a.txt", link);
  ASSERT_TRUE(writeFileAtomic(link, "drei"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testing::readBytes(file), "drei");

  // A read-only file stays as it is, whoever runs the program.
  ::chmod(file.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(writeFileAtomic(file, "vier", &error));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_EQ(testing::readBytes(file), "drei");
  EXPECT_EQ(modeOf(file), 0444u);

  // Something that is no regular file is never replaced, and no reader opens it.
  const fs::path fifo = dir.path() / "rohr.hsy.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(writeFileAtomic(fifo, "x", &error));
  EXPECT_FALSE(readFileBytes(fifo));
  EXPECT_TRUE(fs::is_fifo(fifo));
  std::vector<fs::path> left;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.path().filename().string().find(".tmp") != std::string::npos) left.push_back(e.path());
  EXPECT_TRUE(left.empty());
}

TEST(SafeSave, LongestNamesSave) {
  testing::TempDir dir;
  for (std::size_t length : {229u, 240u, 247u, 255u}) {
    const fs::path file = dir.path() / std::string(length, 'n');
    std::string error;
    EXPECT_TRUE(writeFileAtomic(file, "x", &error)) << length << ": " << error;
  }
}

TEST(SafeSave, StaleTemporaryFilesOfOursAreRemoved) {
  testing::TempDir dir;
  const std::string self = std::to_string(::getpid());
  struct Case {
    std::string name;
    bool removed;
  };
  const Case cases[] = {
      {".~zorvik999999-0.tmp", true},                // interrupted save of a program gone
      {"Trend.hsy.txt.tmp999999_3_4711", true},      // the form earlier versions wrote
      {".~zorvik" + self + "-0.tmp", false},         // a save running right now
      {"Trend.hsy.txt.tmp" + self + "_0_1", false},  // the same, earlier form
      {"Trend.tmp.hsy.txt", false},                  // a trader's name
      {".~zorvikx-0.tmp", false},
      {"Notiz.tmp", false},
  };
  for (const Case& c : cases) testing::writeBytes(dir.path() / c.name, "x");
  EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 2);
  for (const Case& c : cases) EXPECT_EQ(fs::exists(dir.path() / c.name), !c.removed) << c.name;
}

std::vector<std::string> temporaryFilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().starts_with(".~zorvik")) names.push_back(e.path().filename().string());
  return names;
}

TEST(SafeSave, NoTemporaryFileOutlivesTheProgram) {
  // A program ended by a signal in the middle of a large save takes its temporary file along.
  for (const int signal : {SIGTERM, SIGINT}) {
    testing::TempDir dir;
    const fs::path file = dir.path() / "trades.csv";
    EXPECT_EXIT(
        {
          removeTemporaryFilesOnTermination();
          setWriteFaultHook([signal](std::string_view step) {
            if (step == "flush") ::raise(signal);
            return true;
          });
          writeFileAtomic(file, std::string(1 << 20, 't'));
          std::_Exit(0);
        },
        ::testing::KilledBySignal(signal), "");
    EXPECT_TRUE(temporaryFilesIn(dir.path()).empty()) << signal;
    EXPECT_FALSE(fs::exists(file));
  }
  // One killed outright cannot; the next save into that folder removes what it left.
  testing::TempDir dir;
  testing::writeBytes(dir.path() / ".~zorvik999999-2.tmp", std::string(4096, 'x'));
  ASSERT_TRUE(writeFileAtomic(dir.path() / "report.txt", "x"));
  EXPECT_TRUE(temporaryFilesIn(dir.path()).empty());
}

TEST(QuickReaders, TakeKeysOnlyWhereTheReaderDoes) {
  TestWorkspace t;
  struct Case {
    const char* file;
    std::string text;
    const char* magic;
    const char* title;
  };
  const Case cases[] = {
      // A line of a multi-line comment is part of the comment, not a key.
      {"Mehrzeilig.hsy.txt", "START general\ncomment=\"erste Zeile\nmagic=999\nbezeichnung=falsch\"\nbezeichnung=\"Echt\"\nmagic=\"100007\"\nENDE general\n",
       "100007", "Echt"},
      // A long comment before the key does not hide it.
      {"Lang.hsy.txt", "START general\ncomment=\"" + std::string(70000, 'k') + "\"\nmagic=\"100008\"\nENDE general\n",
       "100008", ""},
      // Only the general section counts.
      {"Spaeter.hsy.txt", "START general\nmagic=\"100009\"\nENDE general\nSTART moneymanagement\nmagic=\"1\"\nENDE moneymanagement\n",
       "100009", ""},
  };
  for (const Case& c : cases) {
    writeUser(t, c.file, c.text);
    EXPECT_EQ(readMagic(t.ws->userFolder(), c.file), c.magic) << c.file;
    EXPECT_EQ(readTitle(t.ws->userFolder(), c.file), c.title) << c.file;
  }
}

TEST(MagicNumbers, NeverTwiceNotEvenBetweenPrograms) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  // Numbers outside the range that raises the counter, and a trashed system's, are taken too.
  writeUser(t, "Hoch.hsy.txt", "START general\nmagic=\"100001\"\nENDE general\n");
  writeUser(t, "Weg.hsy.txt.del", "START general\nmagic=\"100002\"\nENDE general\n");
  ws.settings.magic = 100000;
  EXPECT_EQ(handOutMagicNumber(ws), "100003");

  // A second program on the same folder: it sees the numbers handed out but not yet saved.
  RecordingHost otherHost;
  Workspace other(t.dir.path(), otherHost);
  other.startUp();
  std::set<std::string> seen{"100001", "100002", "100003"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(seen.insert(*handOutMagicNumber(other)).second);
    EXPECT_TRUE(seen.insert(*handOutMagicNumber(ws)).second);
  }

  // At the end of the counter nothing is handed out, and the trader is told.
  ws.settings.magic = std::numeric_limits<std::int32_t>::max();
  t.host.messages.clear();
  EXPECT_FALSE(handOutMagicNumber(ws));
  EXPECT_EQ(ws.settings.magic, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(t.host.messages,
            std::vector<std::string>{"Es kann keine neue Magicnummer vergeben werden, der Zähler steht bereits bei 2147483647"});
  EXPECT_FALSE(createSystem(ws, "Neu"));
  EXPECT_FALSE(fs::exists(userFile(t, "Neu.hsy.txt")));
}

TEST(MagicNumbers, ANewSystemSkipsNumbersTheLibraryUses) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  ws.settings.magic = 2000000;  // beyond the range listing raises the counter from
  writeUser(t, "Belegt.hsy.txt", "START general\nmagic=\"2000001\"\nENDE general\n");
  writeUser(t, "AuchBelegt.hsy.txt", "START general\ncomment=\"" + std::string(1200, 'c') + "\"\nmagic=\"2000002\"\nENDE general\n");
  const auto name = createSystem(ws, "Neu");
  ASSERT_TRUE(name);
  const std::string magic = readMagic(ws.userFolder(), *name);
  EXPECT_GT(std::stol(magic), 2000002) << magic;
}

TEST(Names, ControlCharactersAreRefusedAtCreation) {
  TestWorkspace t;
  for (const char* name : {"Null%00", "Zeile%0Aneu", "Tab\tName", "Entf%7F"}) {
    t.host.messages.clear();
    EXPECT_FALSE(createSystem(*t.ws, name)) << name;
    ASSERT_EQ(t.host.messages.size(), 1u) << name;
    EXPECT_NE(t.host.messages[0].find("Steuerzeichen"), std::string::npos);
  }
  EXPECT_TRUE(createSystem(*t.ws, "Prozent%41 bleibt"));  // an ordinary escape is a character
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(t.dir.path() / "user"))
    if (e.path().filename() != kMagicLockFile) files.push_back(e.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"Prozent%41 bleibt.hsy.txt"});
}

TEST(Language, NamesInAnyCaseKeepTheChoiceLists) {
  for (const char* name : {"englisch", "Englisch", "deutsch", "Deutsch"}) {
    testing::FolderSeed seed;
    seed.settings = std::string("LANGUAGE=") + name + "\r\n";
    TestWorkspace t(seed, true);
    const bool english = name[0] == 'e' || name[0] == 'E';
    EXPECT_EQ(t.ws->language.name(), english ? "ENGLISCH" : "DEUTSCH") << name;
    EXPECT_EQ(t.ws->captionLanguage(), english ? CaptionLanguage::English : CaptionLanguage::German) << name;
    EXPECT_FALSE(t.ws->definitions.captionsOf("timeframe", t.ws->captionLanguage()).empty()) << name;
  }
}

}  // namespace
}  // namespace zorvik
