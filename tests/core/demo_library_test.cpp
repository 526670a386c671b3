// The demo library in examples/user: every file reads back into exactly the file the program's
// own writers produce, and every system opens without a complaint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/trading_system.hpp"
#include "rules/system_rules.hpp"
#include "rules/trade_rules.hpp"
#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "text/text_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/current_system.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

// The comment of a stored part: the "comment=" line of its COMMENT section.
std::string storedComment(const std::vector<std::string>& lines) {
  bool inComment = false;
  for (const auto& l : lines) {
    if (l == "START COMMENT") inComment = true;
    else if (inComment && l.rfind("comment=", 0) == 0) return l.substr(8);
  }
  return {};
}

TEST(DemoLibrary, EveryFileIsWhatTheWritersProduce) {
  testing::TestWorkspace t(true);
  Workspace& ws = *t.ws;
  std::map<std::string, int> kinds;
  for (const auto& entry : fs::directory_iterator(ws.userFolder())) {
    const std::string name = entry.path().filename().string();
    if (name == kMagicLockFile) continue;  // the program's own, made when a number is handed out
    SCOPED_TRACE(name);
    const ComponentKind* kind = componentKindOf(name);
    ASSERT_NE(kind, nullptr);
    ++kinds[std::string(kind->extension)];
    const std::string bytes = testing::readBytes(entry.path());
    const auto lines = splitLines(bytes);
    const std::string comment = cp1252ToUtf8(storedComment(lines));

    TradingSystem system;
    system.resetAll(systemDefaults(ws));
    const int target = 2;
    ASSERT_TRUE(readComponent(ws, system, entry.path(), kind->readerCode, target));
    const fs::path again = t.dir.path() / "again";
    const std::string ext(kind->extension);
    bool written = false;
    if (ext == ".hsy.txt") written = writeSystemFile(system, again);
    if (ext == ".sgr.txt") written = writeSignalGroupsFile(system, again, comment);
    if (ext == ".igr.txt") written = writeIndicatorGroupFile(system.group(target), again, comment);
    if (ext == ".ind.txt") written = writeIndicatorFile(system.group(target).indicator(1), again, comment);
    if (ext == ".mm.txt") written = writeMoneyManagementFile(system.mm, again, comment);
    if (ext == ".stp.txt") written = writeStopsFile(system.group(target), again, comment);
    ASSERT_TRUE(written);
    EXPECT_EQ(testing::readBytes(again), bytes);
  }
  EXPECT_GE(kinds[".hsy.txt"], 3);
  for (const auto& k : kComponentKinds) EXPECT_GE(kinds[std::string(k.extension)], 1) << k.extension;
  EXPECT_TRUE(t.host.messages.empty());

  // Opening and saving each system leaves it as it is: own titles, unique magic numbers.
  raiseMagicCounterFromLibrary(ws);
  for (const auto& entry : fs::directory_iterator(ws.userFolder())) {
    const std::string file = entry.path().filename().string();
    if (file == kMagicLockFile || componentKindOf(file)->readerCode != "") continue;
    const std::string before = testing::readBytes(entry.path());
    ASSERT_TRUE(openSystem(ws, decodeFileName(file)));
    ASSERT_TRUE(saveCurrentSystem(ws));
    EXPECT_EQ(testing::readBytes(entry.path()), before) << file;
  }
  EXPECT_TRUE(t.host.messages.empty());
}

// No demo system risks more than 2 % of the starting 10 000 on a trade, even where a point is a
// pip (four-digit quotes, 10 per point and lot): the lots it opens at the start times its stop
// loss. Each side has a stop loss; without one the risk has no bound.
TEST(DemoLibrary, EverySystemRisksAtMostTwoPercentPerTrade) {
  testing::TestWorkspace t(true);
  Workspace& ws = *t.ws;
  constexpr double kDeposit = 10000, kPerPointAndLot = 10, kMostRisked = 0.02;
  int systems = 0;
  for (const auto& entry : fs::directory_iterator(ws.userFolder())) {
    const std::string file = entry.path().filename().string();
    if (!file.ends_with(".hsy.txt")) continue;
    SCOPED_TRACE(file);
    ++systems;
    ASSERT_TRUE(openSystem(ws, decodeFileName(file)));
    const SystemRules rules = readSystemRules(ws.system(), ws.catalogue, ws.definitions);
    const TradeRules& trade = rules.trade;
    double lots = trade.lots;
    if (trade.lotMethod == LotMethod::FixedFractional) lots = trade.lots * std::floor(kDeposit / trade.fraction);
    if (trade.lotMethod == LotMethod::FixedRatio)
      lots = kDeposit < trade.base ? 0 : trade.lots * std::floor(std::sqrt(2 * (kDeposit - trade.base) / trade.delta + 0.25) + 0.5);
    if (trade.maxLots > 0) lots = std::min(lots, trade.maxLots);
    for (const int stoploss : {trade.stoplossLong, trade.stoplossShort}) {
      EXPECT_GT(stoploss, 0);
      EXPECT_LE(lots * stoploss * kPerPointAndLot, kMostRisked * kDeposit) << lots << " lots, " << stoploss << " points";
    }
  }
  EXPECT_GE(systems, 3);
}

}  // namespace
}  // namespace zorvik
