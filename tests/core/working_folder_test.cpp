#include <gtest/gtest.h>

#include "model/working_folder.hpp"
#include "test_support.hpp"

namespace zorvik {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

TEST(WorkingFolder, FirstStartSeedsLaterStartsNeverOverwrite) {
  TempDir dir;
  const fs::path shipped = dir.path() / "share";
  fs::create_directories(shipped / "res" / "manual");
  fs::create_directories(shipped / "demo");
  writeBytes(shipped / "res" / "DVDefTable2.dat", "TYP;ID\r\n");
  writeBytes(shipped / "res" / "manual" / "index.html", "<p>");
  writeBytes(shipped / "demo" / "Trend.hsy.txt", "demo");

  const fs::path home = dir.path() / "home" / "Zorvik";
  const fs::path elsewhere = dir.path() / "elsewhere";
  fs::create_directories(elsewhere);
  EXPECT_EQ(chooseWorkingFolder(elsewhere, home, shipped / "res", shipped / "demo"), home);
  EXPECT_EQ(readBytes(home / "res" / "manual" / "index.html"), "<p>");
  EXPECT_EQ(readBytes(home / "user" / "Trend.hsy.txt"), "demo");

  // The trader's own changes survive the next start; a deleted demo file is not brought back,
  // a data file the new version adds is.
  writeBytes(home / "res" / "DVDefTable2.dat", "mine");
  fs::remove(home / "user" / "Trend.hsy.txt");
  writeBytes(shipped / "res" / "CodeHelp.txt", "neu");
  EXPECT_EQ(chooseWorkingFolder(elsewhere, home, shipped / "res", shipped / "demo"), home);
  EXPECT_EQ(readBytes(home / "res" / "DVDefTable2.dat"), "mine");
  EXPECT_FALSE(fs::exists(home / "user" / "Trend.hsy.txt"));
  EXPECT_EQ(readBytes(home / "res" / "CodeHelp.txt"), "neu");

  // A folder that already is a working folder is used as it is.
  EXPECT_EQ(chooseWorkingFolder(home, dir.path() / "other", shipped / "res", shipped / "demo"), home);
  EXPECT_FALSE(fs::exists(dir.path() / "other"));
}

}  // namespace
}  // namespace zorvik
