// The program settings dialog's rules without a window: colour numbers, defaults, styles and
// the MetaTrader terminals found in a wine prefix.
#include <gtest/gtest.h>

#include "editors/program_settings.hpp"
#include "model/settings.hpp"
#include "terminal/wine_terminals.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

using testing::TempDir;

TEST(ProgramSettings, ColourNumbersDefaultsAndStyles) {
  // Colour numbers hold red in the low byte.
  EXPECT_EQ(colourNumber(221, 0, 0), 221);
  EXPECT_EQ(rgbOfColourNumber(221), (RgbColour{221, 0, 0}));
  EXPECT_EQ(rgbOfColourNumber(0x123456), (RgbColour{0x56, 0x34, 0x12}));
  EXPECT_EQ(rgbOfColourNumber(-1), (RgbColour{255, 255, 255}));
  EXPECT_EQ(colourNumberText(14540253), " 14540253");
  EXPECT_EQ(colourNumberText(0), " 0");

  const std::vector<std::string> styles = tabStyleEntries();
  ASSERT_EQ(styles.size(), 8u);
  EXPECT_EQ(styles.front(), "Stil 0");
  EXPECT_EQ(styles.back(), "Stil 7");

  Settings s;
  s.tabStyle = 6;
  s.tabColours.fill(42);
  s.metatraderFolder = "C:\\MT4";
  applyTabDefaults(s);
  EXPECT_EQ(s.tabStyle, 3);
  EXPECT_EQ(s.tabColours, (std::array<std::int32_t, 8>{0xDDDDDD, 221, 0xEAEAEA, 221, 221, 0xC0C0C0, 0, 0}));
  EXPECT_EQ(s.metatraderFolder, "C:\\MT4");

  EXPECT_EQ(tabStyleLook(0).cornerRadius, 0);
  EXPECT_EQ(tabStyleLook(3).cornerRadius, 6);
  EXPECT_FALSE(tabStyleLook(3).shaded);
  EXPECT_EQ(tabStyleLook(5).cornerRadius, 2);
  EXPECT_TRUE(tabStyleLook(5).shaded);
  EXPECT_EQ(tabStyleLook(8).cornerRadius, 0);
  EXPECT_FALSE(tabStyleLook(-1).shaded);
}

TEST(ProgramSettings, FindsTerminalsInTheWinePrefix) {
  TempDir home;
  const fs::path c = home.path() / ".wine" / "drive_c";
  auto touch = [](const fs::path& file) {
    fs::create_directories(file.parent_path());
    testing::writeBytes(file, "MZ");
  };
  touch(c / "Program Files" / "MetaTrader 4" / "terminal.exe");
  touch(c / "Program Files (x86)" / "Broker" / "MT4 Live" / "Terminal.EXE");
  touch(c / "Program Files" / "Tools" / "other.exe");
  // Too deep to be a terminal installation; the scan does not go there.
  touch(c / "Program Files" / "a" / "b" / "c" / "d" / "e" / "terminal.exe");
  // A folder named terminal.exe is no terminal.
  fs::create_directories(c / "Program Files" / "Odd" / "terminal.exe");
  const fs::path data = c / "users" / "trader" / "AppData" / "Roaming" / "MetaQuotes" / "Terminal";
  fs::create_directories(data / "0123ABCD" / "MQL4" / "Experts");
  fs::create_directories(data / "FEDC9876" / "MQL5");  // MetaTrader 5
  fs::create_directories(data / "Common" / "Files");

  const std::vector<fs::path> expected{
      c / "Program Files" / "MetaTrader 4",
      c / "Program Files (x86)" / "Broker" / "MT4 Live",
      data / "0123ABCD",
  };
  std::vector<fs::path> sortedExpected = expected;
  std::sort(sortedExpected.begin(), sortedExpected.end());
  EXPECT_EQ(findWineTerminalFolders(home.path()), sortedExpected);

  // No prefix at all, or an unreadable part of it, gives what can be found and no failure.
  TempDir empty;
  EXPECT_TRUE(findWineTerminalFolders(empty.path()).empty());
  fs::permissions(c / "Program Files (x86)", fs::perms::none);
  const std::vector<fs::path> partial = findWineTerminalFolders(home.path());
  fs::permissions(c / "Program Files (x86)", fs::perms::owner_all);
  EXPECT_EQ(std::count(partial.begin(), partial.end(), c / "Program Files" / "MetaTrader 4"), 1);
}

}  // namespace
}  // namespace zorvik
