// Component files: the exact layout the writers produce, the round trip of every kind, the
// reader's rules and its behaviour on damaged files, and the catalogue defaults.
#include <gtest/gtest.h>

#include <functional>

#include "model/component_files.hpp"
#include "model/trading_system.hpp"
#include "sample_system.hpp"
#include "test_support.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

using testing::crlf;
using testing::TestWorkspace;

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

// Account type and broker are not part of a system file; everything else is.
void expectSameSystem(const TradingSystem& a, const TradingSystem& b) {
  GeneralRecord general = b.general;
  general.accountType = a.general.accountType;
  general.broker = a.general.broker;
  EXPECT_EQ(a.general, general);
  EXPECT_EQ(a.mm, b.mm);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(a.group(i), b.group(i)) << "group " << i;
}

// A system as the reader finds it before a file is read into it.
struct FreshSystem {
  explicit FreshSystem(Workspace& workspace) : ws(workspace) { system.resetAll(systemDefaults(ws)); }
  Workspace& ws;
  TradingSystem system;
};

TEST(ComponentFiles, WritersProduceTheDocumentedLayout) {
  TestWorkspace t;
  TradingSystem& system = t.ws->system();
  system.systemFileName = "Mini.hsy.txt";
  system.resetAll(systemDefaults(*t.ws));
  applySystemDefaults(*t.ws, system);
  system.group(2).addIndicator(testing::sampleIndicator(*t.ws, "RSI"));

  const std::string groups =
      "START entrylong\nthreshold=\"100\"\neditOk=\"0\"\nENDE entrylong\n"
      "START exitlong\nthreshold=\"100\"\neditOk=\"0\"\nsl=\"5\"\nts=\"7\"\ntp=\"6\"\n"
      "START indikator\nindikatortyp=\"RSI\"\nsymbol=\"Symbol()\"\ntimeframe=\"idChart\"\nperiod=\"55\"\n"
      "actionline=\"50\"\npricetype=\"idCLOSE\"\nshift=\"1\"\nvalue=\"1\"\nactiontyp=\"idStandard\"\n"
      "comment=\"-\"\nlastedittime=\"45678.5\"\nSTOP indikator\nENDE exitlong\n"
      "START entryshort\nthreshold=\"100\"\neditOk=\"0\"\nENDE entryshort\n"
      "START exitshort\nthreshold=\"100\"\neditOk=\"0\"\nsl=\"5\"\nts=\"7\"\ntp=\"6\"\nENDE exitshort\n";
  const std::string mm =
      "START moneymanagement\ntyp=\"idFixed Lots\"\nlots=\"1\"\nmaxlots=\"1\"\nbase=\"1\"\nfraction=\"100\"\n"
      "delta=\"100\"\nslippage=\"0\"\nmaxtrades=\"0\"\nhedging=\"idno Hedging\"\nsymbol=\"Symbol()\"\n"
      "editok=\"1\"\nENDE moneymanagement\n";
  const std::string comment = "START COMMENT\ncomment=für \"alle\"\nSTOP COMMENT\n";

  EXPECT_EQ(joined(systemFileLines(system)),
            "START general\nfilename=\"Mini.hsy.txt\"\nbezeichnung=\"Mini\"\naccount=\"100001\"\ncomment=\"-\"\n"
            "lastedittime=\"0\"\ncreationtime=\"0\"\neditok=\"1\"\nmagic=\"100002\"\nENDE general\n" +
                mm + groups);
  EXPECT_EQ(joined(signalGroupsFileLines(system, "für \"alle\"")), groups + comment);
  EXPECT_EQ(joined(moneyManagementFileLines(system.mm, "für \"alle\"")), mm + comment);
  EXPECT_EQ(joined(stopsFileLines(system.group(2), "für \"alle\"")),
            "START STOPS\nsl=\"5\"\nts=\"7\"\ntp=\"6\"\nSTOP STOPS\n" + comment);

  SignalGroup g = system.group(2);
  g.addIndicator(Indicator("ADX"));
  g.addIndicator(Indicator("MACD"));
  const std::string adx = "START indikator\nindikatortyp=\"ADX\"\nSTOP indikator\n";
  const std::string macd = "START indikator\nindikatortyp=\"MACD\"\nSTOP indikator\n";
  const std::string head = "START signalgruppe\nthreshold=\"100\"\neditok=\"0\"\n";
  const std::string tail = "ENDE signalgruppe\nSTART COMMENT\ncomment=\nSTOP COMMENT\n";
  const std::vector<int> selection{3, 9, 2};  // list order; a stale position is skipped
  EXPECT_EQ(joined(indicatorGroupFileLines(g, "", &selection)), head + macd + adx + tail);
  EXPECT_EQ(joined(indicatorFileLines(g.indicator(2), "x")),
            adx + "START COMMENT\ncomment=x\nSTOP COMMENT\n");

  // On disk: Windows-1252, every line ended by CR LF.
  const fs::path file = t.dir.path() / "user" / "Mini.mm.txt";
  ASSERT_TRUE(writeMoneyManagementFile(system.mm, file, "für"));
  EXPECT_EQ(testing::readBytes(file), crlf(mm + "START COMMENT\ncomment=f\xFCr\nSTOP COMMENT\n"));

  // An empty slot gives no file at all.
  const fs::path none = t.dir.path() / "user" / "leer.ind.txt";
  EXPECT_FALSE(writeIndicatorFile(Indicator(), none, "x"));
  EXPECT_FALSE(fs::exists(none));
}

TEST(ComponentFiles, EveryKindRoundTripsByteForByte) {
  TestWorkspace t;
  TradingSystem& system = t.ws->system();
  testing::fillSampleSystem(*t.ws, system);
  const fs::path user = t.dir.path() / "user";

  struct Case {
    const char* file;
    const char* kind;
    int target;
    std::function<bool(const fs::path&, const TradingSystem&)> write;
    std::function<void(const TradingSystem& written, const TradingSystem& read)> same;
  };
  const std::string comment = "Kommentar mit \"Anführung\"";
  const Case cases[] = {
      {"Trend.hsy.txt", "", 0, [](const fs::path& f, const TradingSystem& s) { return writeSystemFile(s, f); },
       [](const TradingSystem& a, const TradingSystem& b) {
         // A line inside a value that ends in a quote would end the value; it is written with
         // a blank after the quote and read back so.
         TradingSystem expected = a;
         expected.general.comment = replaceAll(a.general.comment, "Freund\"\r\n", "Freund\" \r\n");
         expectSameSystem(expected, b);
       }},
      {"Trend.sgr.txt", "SGR", 2,
       [&](const fs::path& f, const TradingSystem& s) { return writeSignalGroupsFile(s, f, comment); },
       [](const TradingSystem& a, const TradingSystem& b) {
         for (int i = 1; i <= 4; ++i) EXPECT_EQ(a.group(i), b.group(i));
       }},
      // An indicator group taken from exit long and dropped onto exit short.
      {"Trend.igr.txt", "IGR", 4,
       [&](const fs::path& f, const TradingSystem& s) { return writeIndicatorGroupFile(s.group(2), f, comment); },
       [](const TradingSystem& a, const TradingSystem& b) {
         EXPECT_EQ(a.group(2).threshold, b.group(4).threshold);
         EXPECT_EQ(a.group(2).indicators(), b.group(4).indicators());
       }},
      {"Trend.ind.txt", "IND", 3,
       [&](const fs::path& f, const TradingSystem& s) { return writeIndicatorFile(s.group(1).indicator(2), f, comment); },
       [](const TradingSystem& a, const TradingSystem& b) {
         ASSERT_EQ(b.group(3).count(), 1);
         EXPECT_EQ(a.group(1).indicator(2), b.group(3).indicator(1));
       }},
      {"Trend.mm.txt", "MM", 1,
       [&](const fs::path& f, const TradingSystem& s) { return writeMoneyManagementFile(s.mm, f, comment); },
       [](const TradingSystem& a, const TradingSystem& b) { EXPECT_EQ(a.mm, b.mm); }},
      {"Trend.stp.txt", "STOP", 4,
       [&](const fs::path& f, const TradingSystem& s) { return writeStopsFile(s.group(2), f, comment); },
       [](const TradingSystem& a, const TradingSystem& b) {
         EXPECT_EQ(a.group(2).sl, b.group(4).sl);
         EXPECT_EQ(a.group(2).ts, b.group(4).ts);
         EXPECT_EQ(a.group(2).tp, b.group(4).tp);
       }},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path first = user / c.file;
    ASSERT_TRUE(c.write(first, system));
    FreshSystem read(*t.ws);
    ASSERT_TRUE(readComponent(read.ws, read.system, first, c.kind, c.target));
    c.same(system, read.system);

    // Written back from what was read, the file is the same to the byte. The part that was
    // read sits in the target group now, so write it from a system shaped like the original.
    TradingSystem again = system;
    if (std::string(c.kind) == "IGR") again.group(2).indicators() = read.system.group(4).indicators();
    if (std::string(c.kind) == "IND") again.group(1).indicator(2) = read.system.group(3).indicator(1);
    if (std::string(c.kind) == "STOP") {
      again.group(2).sl = read.system.group(4).sl;
      again.group(2).ts = read.system.group(4).ts;
      again.group(2).tp = read.system.group(4).tp;
    }
    if (std::string(c.kind) == "MM") again.mm = read.system.mm;
    if (std::string(c.kind).empty() || std::string(c.kind) == "SGR") again = read.system;
    const fs::path second = user / (std::string("again.") + c.file);
    ASSERT_TRUE(c.write(second, again));
    EXPECT_EQ(testing::readBytes(first), testing::readBytes(second));
  }
  EXPECT_TRUE(t.host.messages.empty());
}

struct ReaderCase {
  const char* name;
  const char* kind;
  int target;
  std::string text;  // "\n" line ends, turned into CR LF
  std::function<void(const TradingSystem&, const testing::TestWorkspace&)> check;
};

TEST(ComponentFiles, ReaderRules) {
  const std::string rsiBlock = "START indikator\nindikatortyp=\"RSI\"\nperiod=\"14\"\nSTOP indikator\n";
  const std::vector<ReaderCase> cases = {
      {"multi-line comment keeps its line breaks, loses its quotes", "", 0,
       "START general\ncomment=\"erste\n\nzweite \"Zeile\" \nletzte\"\nbezeichnung=\"T\"\nENDE general\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.general.comment, "erste\r\n\r\nzweite \"Zeile\" \r\nletzte");
         EXPECT_EQ(system.general.title, "T");
       }},
      {"a quote in mid-line takes the next lines up to one ending with a quote", "", 0,
       "START general\nbezeichnung=\"a\"b\nc\naccount=\"x\"\nmagic=\"7\"\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.general.title, "a\"b\r\nc\r\naccount=\"x");
         EXPECT_EQ(system.general.magic, "7");
       }},
      {"editok in any case, thresholds, stops; remarks and unknown keys skipped", "", 0,
       "START entrylong\nthreshold=\"70\"\neditOk=\"3\"\nsl=\"9\"\nfoo=\"1\"\nENDE entrylong\n"
       "START exitlong\nEDITOK=\"4\"\n'threshold=\"1\"\nTS=\"12\"\n"
       "START exitshort\neditok=\"5\"\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.group(1).threshold, "70");
         EXPECT_EQ(system.group(1).editok, 3);
         EXPECT_EQ(system.group(1).sl, "9");
         EXPECT_EQ(system.group(2).editok, 4);
         EXPECT_EQ(system.group(2).threshold, "");
         EXPECT_EQ(system.group(2).ts, "12");
         EXPECT_EQ(system.group(4).editok, 5);
       }},
      {"a stop file goes to the target group; START STOPS keeps it", "STOP", 2,
       "START STOPS\nsl=\"11\"\nts=\"22\"\ntp=\"33\"\nSTOP STOPS\nSTART COMMENT\ncomment=x\nSTOP COMMENT\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.group(2).sl, "11");
         EXPECT_EQ(system.group(2).ts, "22");
         EXPECT_EQ(system.group(2).tp, "33");
         EXPECT_EQ(system.group(4).sl, "");
       }},
      {"an indicator file appends one indicator to the target group", "ind", 3,
       rsiBlock + "START COMMENT\ncomment=period=\"99\"\nSTOP COMMENT\n",
       [](const TradingSystem& system, const auto&) {
         ASSERT_EQ(system.group(3).count(), 1);
         EXPECT_EQ(system.group(3).indicator(1).parameter("period"), "14");
         EXPECT_EQ(system.group(3).editok, 1);  // a group with indicators is in use
       }},
      {"two blocks give two indicators; a value between blocks is ignored", "", 0,
       "START entryshort\neditOk=\"0\"\n" + rsiBlock + "period=\"77\"\n" +
           "START indikator\nindikatortyp=\"MACD\"\nperiodfast=\"#2\"\nsymbol=\"Aktuelles Symbol\"\n"
           "apricefast=\"CLOSE\"\ntimeframe=\"#3\"\nSTOP indikator\nENDE entryshort\n",
       [](const TradingSystem& system, const auto&) {
         ASSERT_EQ(system.group(3).count(), 2);
         EXPECT_EQ(system.group(3).indicator(1).type(), "RSI");
         EXPECT_EQ(system.group(3).indicator(1).parameter("period"), "14");
         EXPECT_TRUE(system.group(3).indicator(2).toString().starts_with(
             "periodfast=#2;symbol=Symbol();apricefast=idCLOSEf;timeframe=idM15;"))
             << system.group(3).indicator(2).toString();
         EXPECT_EQ(system.group(3).editok, 1);
       }},
      {"an indicator group goes to the target group", "IGR", 4,
       "START signalgruppe\nthreshold=\"40\"\neditok=\"1\"\n" + rsiBlock + rsiBlock + "ENDE signalgruppe\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.group(4).threshold, "40");
         EXPECT_EQ(system.group(4).count(), 2);
         EXPECT_EQ(system.group(1).count(), 0);
       }},
      {"edit and creation times are not read back; unknown general keys change nothing", "", 0,
       "START general\nlastedittime=\"45000,5\"\ncreationtime=\"45000,5\"\nsymbol=\"EURUSD\"\nfoo=\"1\"\n"
       "START moneymanagement\nlots=\"0.3\"\neditok=\"0\"\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.general.lastedittime, 0);
         EXPECT_EQ(system.general.creationtime, 0);
         EXPECT_EQ(system.mm.symbol, "EURUSD");
         EXPECT_EQ(system.mm.lots, "0.3");
         EXPECT_EQ(system.mm.editok, 0);
         EXPECT_EQ(system.changedKeys.find("foo"), std::string::npos);
       }},
      {"an indicator block outside a group section is skipped whole", "", 0,
       "START general\ncomment=\"mein System\"\n" + rsiBlock +
           "START indikator\ncomment=\"fremd\"\nsymbol=\"GBPUSD\"\nSTOP indikator\naccount=\"4711\"\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.general.comment, "mein System");
         EXPECT_EQ(system.mm.symbol, "Symbol()");
         EXPECT_EQ(system.general.account, "4711");  // the section goes on after the block
         for (int i = 1; i <= 4; ++i) EXPECT_EQ(system.group(i).count(), 0);
       }},
      {"a value still open at the end of the file keeps everything read", "", 0,
       "START general\ncomment=\"eins\nzwei\nSTOP COMMENT",
       [](const TradingSystem& system, const auto&) { EXPECT_EQ(system.general.comment, "eins\r\nzwei\r\nSTOP COMMENT"); }},
      {"a block left open ends at the next section", "", 0,
       "START entrylong\nSTART indikator\nindikatortyp=\"RSI\"\nSTART exitlong\nperiod=\"5\"\n",
       [](const TradingSystem& system, const auto&) {
         EXPECT_EQ(system.group(1).count(), 1);
         EXPECT_EQ(system.group(1).indicator(1).parameter("period"), "55");  // the default, not the stray line
         EXPECT_EQ(system.group(2).count(), 0);
       }},
      {"an indicator lacking keys gets its type's defaults after the keys it has", "", 0,
       "START entrylong\nSTART indikator\nindikatortyp=\"RSI\"\nperiod=\"14\"\ncomment=\"mein RSI\"\nfoo=\"1\"\n"
       "STOP indikator\nSTART indikator\nindikatortyp=\"Donchian Channel\"\nSTART indikator\nindikatortyp=\"Unbekannt\"\n"
       "period=\"3\"\nENDE entrylong\nSTART exitlong\nSTART indikator\nindikatortyp=\"ADX\"\nshift=\"2\"\n",
       [](const TradingSystem& system, const auto&) {
         const SignalGroup& g = system.group(1);
         ASSERT_EQ(g.count(), 3);
         EXPECT_EQ(g.indicator(1).toString(),
                   "period=14;comment=mein RSI;foo=1;symbol=Symbol();timeframe=idChart;actionline=50;pricetype=idCLOSE;"
                   "shift=1;value=1;actiontyp=idStandard");
         // A block closed by the next one, and a type the catalogue does not know (nothing to add).
         EXPECT_EQ(g.indicator(2).parameter("actiontyp"), "idStandard");
         EXPECT_EQ(g.indicator(2).parameter("shift"), "1");
         EXPECT_EQ(g.indicator(3).toString(), "period=3");
         // A block still open when the file ends.
         ASSERT_EQ(system.group(2).count(), 1);
         EXPECT_EQ(system.group(2).indicator(1).parameter("shift"), "2");
         EXPECT_EQ(system.group(2).indicator(1).parameter("actiontyp"), "idStandard");
       }},
      {"unknown sections are skipped; an indicator file without a valid target is ignored", "IND", 0,
       "period=\"1\"\nSTART irgendwas\nthreshold=\"1\"\n" + rsiBlock,
       [](const TradingSystem& system, const auto&) {
         for (int i = 1; i <= 4; ++i) EXPECT_EQ(system.group(i).count(), 0);
         for (int i = 1; i <= 4; ++i) EXPECT_EQ(system.group(i).threshold, "");
       }},
  };
  for (const ReaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorkspace t;
    FreshSystem fresh(*t.ws);
    readComponentText(fresh.ws, fresh.system, crlf(c.text), c.kind, c.target);
    c.check(fresh.system, t);
    EXPECT_TRUE(t.host.messages.empty());
  }
}

TEST(ComponentFiles, ReaderGivesPlaceholderMagicAndAccountTheirValues) {
  const char* placeholders[] = {"magic=\"-\"", "magic=\"\"", "magic=\"123456\"", "magic="};
  for (const char* line : placeholders) {
    SCOPED_TRACE(line);
    TestWorkspace t;
    FreshSystem fresh(*t.ws);  // the reset takes 100001
    readComponentText(fresh.ws, fresh.system, crlf(std::string("START general\naccount=\"000000\"\n") + line + "\n"), "", 0);
    EXPECT_EQ(fresh.system.general.magic, "100002");
    EXPECT_EQ(fresh.system.general.account, "100001");
    EXPECT_EQ(t.host.messages, (std::vector<std::string>{"Es wurde eine eindeutige Magicnummer generiert:100002"}));
    EXPECT_EQ(t.ws->settings.magic, 100002);
  }

  TestWorkspace t;
  t.ws->knownAccounts.clear();
  FreshSystem fresh(*t.ws);
  readComponentText(fresh.ws, fresh.system, crlf("START general\naccount=\"000000\"\nmagic=\"555\"\n"), "", 0);
  EXPECT_EQ(fresh.system.general.account, "000000");
  EXPECT_EQ(fresh.system.general.magic, "555");
  EXPECT_TRUE(t.host.messages.empty());
}

TEST(ComponentFiles, MissingFileLeavesTheSystemAlone) {
  TestWorkspace t;
  FreshSystem fresh(*t.ws);
  const TradingSystem before = fresh.system;
  EXPECT_FALSE(readComponent(fresh.ws, fresh.system, t.dir.path() / "user" / "fehlt.ind.txt", "IND", 1));
  EXPECT_EQ(before.general, fresh.system.general);
  expectSameSystem(before, fresh.system);
  EXPECT_EQ(t.host.messages, (std::vector<std::string>{"Die Datei konnte nicht gelesen werden: fehlt.ind.txt"}));
}

// Whatever a file holds, what the reader makes of it is written in a form that reads back to
// the same system: writing, reading and writing again gives the same lines.
void expectStableAfterOneWrite(Workspace& ws, std::string_view bytes, std::string_view kind, int target) {
  FreshSystem first(ws);
  readComponentText(first.ws, first.system, bytes, kind, target);
  const auto lines = systemFileLines(first.system);
  FreshSystem second(ws);
  readComponentText(second.ws, second.system, toFileText(lines), "", 0);
  EXPECT_EQ(systemFileLines(second.system), lines);
}

// Bytes Windows-1252 leaves undefined, and NUL bytes.
constexpr char kBadBytes[] = "START general\r\nbezeichnung=\"\x81\x8D\x8F\x90\x9D\xFF\"\r\n\0\0\0";

TEST(ComponentFiles, DamagedFilesAreReadAsFarAsTheyGo) {
  TestWorkspace t;
  testing::fillSampleSystem(*t.ws, t.ws->system());
  const std::string good = toFileText(systemFileLines(t.ws->system()));

  // Cut anywhere: no crash, and whatever was read is stable.
  for (std::size_t n = 0; n <= good.size(); n += 7) {
    SCOPED_TRACE(n);
    expectStableAfterOneWrite(*t.ws, std::string_view(good).substr(0, n), "", 0);
  }

  std::string withNul = good;
  withNul[good.find("Trend")] = '\0';
  const std::string damaged[] = {
      "START general\r\ncomment=\"" + std::string(100000, 'x') + "\"\r\n",
      crlf("START general\nbezeichnung=\"offen\n" + std::string(1000, '\n') + "START exitlong\n"),
      withNul,
      std::string(kBadBytes, sizeof kBadBytes - 1),
      crlf("\"\n\"\"\n=\n=\"\n\"=\"\nSTART \nSTOP \nSTART indikator\n'\"\nSTART entrylong\n\"=\"\"\n"),
      "START entrylong\rSTART indikator\r\n\nindikatortyp=\"RSI\r\"\n",
  };
  for (const std::string& bytes : damaged) {
    for (const char* kind : {"", "IND", "IGR"}) expectStableAfterOneWrite(*t.ws, bytes, kind, 2);
  }
  FreshSystem nul(*t.ws);
  readComponentText(nul.ws, nul.system, withNul, "", 0);
  EXPECT_EQ(nul.system.general.filename, std::string("\0rend.hsy.txt", 13));
  EXPECT_EQ(nul.system.group(1).count(), 2);

  // Sizes no real file has: read in full, in time linear in the size.
  std::string blocks = "START exitlong\r\n";
  for (int i = 0; i < 100000; ++i)
    blocks += "START indikator\r\nindikatortyp=\"RSI\"\r\nperiod=\"14\"\r\nSTOP indikator\r\n";
  std::string parameters = "START entrylong\r\nSTART indikator\r\n";
  for (int i = 0; i < 30000; ++i) parameters += "p" + std::to_string(i) + "=\"" + std::to_string(i) + "\"\r\n";
  parameters += "p7=\"last\"\r\n";
  FreshSystem big(*t.ws);
  readComponentText(big.ws, big.system, blocks, "", 0);
  EXPECT_EQ(big.system.group(2).count(), 100000);
  EXPECT_EQ(big.system.group(2).indicator(100000).toString(),
            "period=14;symbol=Symbol();timeframe=idChart;actionline=50;pricetype=idCLOSE;shift=1;value=1;"
            "actiontyp=idStandard;comment=-");
  FreshSystem wide(*t.ws);
  readComponentText(wide.ws, wide.system, parameters, "", 0);
  EXPECT_EQ(wide.system.group(1).indicator(1).parameterCount(), 30000);
  EXPECT_EQ(wide.system.group(1).indicator(1).parameterValue(8), "last");
  FreshSystem longLine(*t.ws);
  readComponentText(longLine.ws, longLine.system, "START general\r\nbezeichnung=\"" + std::string(5'000'000, 'x'), "", 0);
  EXPECT_EQ(longLine.system.general.title.size(), 5'000'000u);
}

TEST(ComponentFiles, Defaults) {
  TestWorkspace t;
  TradingSystem& system = t.ws->system();
  system.systemFileName = "abc.hsy.txt";
  system.resetAll(systemDefaults(*t.ws));
  applySystemDefaults(*t.ws, system);
  EXPECT_EQ(system.mm, (MoneyManagementRecord{"idFixed Lots", "1", "1", "1", "100", "100", "0", "0", "idno Hedging",
                                          "Symbol()", 1}));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(system.group(i).threshold, "100");
  for (int i : {2, 4}) {
    EXPECT_EQ(system.group(i).sl, "5");
    EXPECT_EQ(system.group(i).tp, "6");
    EXPECT_EQ(system.group(i).ts, "7");
  }
  EXPECT_EQ(system.group(1).sl, "");
  EXPECT_EQ(system.general.title, "abc");
  EXPECT_EQ(system.general.account, "100001");
  EXPECT_EQ(system.general.broker, "idActiveTrades");
  EXPECT_EQ(system.general.accountType, "idKontotyp");
  EXPECT_EQ(system.general.comment, "-");
  EXPECT_EQ(system.general.magic, "100002");  // fresh again after the reset's 100001

  Indicator ind("2 Moving Averages");
  ind.setParameter(t.ws->definitions, t.ws->language, "periodslow", "9");  // set before: keeps its place, gets the default
  applyIndicatorDefaults(*t.ws, ind, 45000.125);
  EXPECT_EQ(ind.toString(),
            "periodslow=55;symbol=Symbol();timeframe=idChart;ma_method=idSimple;apricefast=idCLOSEf;periodfast=11;"
            "ma_shiftfast=0;apriceslow=idCLOSEs;ma_shiftslow=0;shift=1;value=1;"
            "actiontyp=idStandard;comment=-;lastedittime=45000.125");
  Indicator now("ADX");
  applyIndicatorDefaults(*t.ws, now);
  const std::string stamp = now.parameter("lastedittime");
  EXPECT_GT(leadingNumber(stamp), 44000);  // the clock, as a day serial with "." and no blank
  EXPECT_EQ(stamp.find_first_of(", "), std::string::npos);
}

}  // namespace
}  // namespace zorvik
