// History readers and writers: the record layouts, round trips through every format, and the
// refusal of every kind of bad file with its place and reason.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "market_fixtures.hpp"
#include "support/test_support.hpp"

namespace zorvik {
namespace {

using testing::fiveBars;
using testing::hst400Bytes;
using testing::hst401Bytes;
using testing::kMarch1st2024;
using testing::seriesOf;

void expectSameBars(const BarSeries& a, const BarSeries& b) {
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a.time, b.time);
  EXPECT_EQ(a.open, b.open);
  EXPECT_EQ(a.high, b.high);
  EXPECT_EQ(a.low, b.low);
  EXPECT_EQ(a.close, b.close);
  EXPECT_EQ(a.volume, b.volume);
}

TEST(MarketHst, BothVersionsDecodeTheirOwnFieldOrder) {
  // v400 stores low before high, v401 high before low: a reader that mixes them up gives
  // bars whose high is below their low, which the checks would refuse.
  for (const std::string& bytes : {hst400Bytes(fiveBars(), "GBPJPY", 240, 3), hst401Bytes(fiveBars(), "GBPJPY", 240, 3)}) {
    const HistoryRead r = readHst(bytes, "GBPJPY240.hst");
    ASSERT_TRUE(r.ok()) << r.error->message();
    EXPECT_EQ(r.series.symbol, "GBPJPY");
    EXPECT_EQ(r.series.timeframeMinutes, 240);
    EXPECT_EQ(r.series.digits, 3);
    expectSameBars(r.series, seriesOf(fiveBars()));
  }
  EXPECT_EQ(readHst(hst400Bytes(fiveBars()), "x").format, HistoryFormat::Hst400);
  EXPECT_EQ(readHst(hst401Bytes(fiveBars()), "x").format, HistoryFormat::Hst401);
}

TEST(MarketHst, WriterProducesTheHandBuiltLayout) {
  BarSeries s = seriesOf(fiveBars());
  // Header fields and records match byte for byte apart from the parts the writer fills itself
  // (copyright text; spread, which it writes as 0).
  for (int version : {400, 401}) {
    const auto written = hstBytes(s, version);
    ASSERT_TRUE(written);
    std::string expected = version == 400 ? hst400Bytes(fiveBars()) : hst401Bytes(fiveBars());
    ASSERT_EQ(written->size(), expected.size());
    EXPECT_EQ(written->substr(68, 80), expected.substr(68, 80)) << version;
    if (version == 400) {
      EXPECT_EQ(written->substr(148), expected.substr(148));
    }
    for (std::size_t rec = 0; version == 401 && rec < 5; ++rec)
      EXPECT_EQ(written->substr(148 + rec * 60, 48), expected.substr(148 + rec * 60, 48)) << rec;
  }
}

// Each format written to a file named as a trader would, read back, written again.
TEST(MarketFiles, EveryFormatRoundTrips) {
  testing::TempDir dir;
  // A few months of the demo history: gaps, clusters and every price form of real quotes.
  BarSeries demo;
  const BarSeries full = makeDemoHistory();
  demo = seriesOf({}, "EURUSD", 60, 5);
  for (std::size_t i = 0; i < 3000; ++i) demo.push_back(full.bar(i));
  BarSeries yen = seriesOf(fiveBars(), "USDJPY", 60, 3);
  for (std::size_t i = 0; i < yen.size(); ++i)
    for (auto* col : {&yen.open, &yen.high, &yen.low, &yen.close}) (*col)[i] = std::round((*col)[i] * 100000) / 1000;
  // A price with more decimals than its digits must survive a CSV round trip too.
  BarSeries odd = seriesOf(fiveBars(), "XAUUSD", 60, 2);
  odd.close[2] = 1.080801;

  struct Case {
    HistoryFormat format;
    const char* file;
    const BarSeries* series;
  };
  for (const Case& c : {Case{HistoryFormat::Hst401, "EURUSD60.hst", &demo}, Case{HistoryFormat::Hst400, "EURUSD60.hst", &demo},
                        Case{HistoryFormat::HistoryCenterCsv, "EURUSD60.csv", &demo},
                        Case{HistoryFormat::HeaderCsv, "EURUSD60.csv", &demo},
                        Case{HistoryFormat::HistoryCenterCsv, "USDJPY60.csv", &yen},
                        Case{HistoryFormat::HeaderCsv, "XAUUSD60.csv", &odd}}) {
    SCOPED_TRACE(std::string(historyFormatName(c.format)) + " " + c.file);
    const auto path = dir.path() / c.file;
    std::string error;
    ASSERT_TRUE(writeHistoryFile(path, *c.series, c.format, &error)) << error;
    const std::string first = testing::readBytes(path);
    CsvHistoryOptions options;
    if (c.series == &odd) options.digits = 2;
    const HistoryRead r = readHistoryFile(path, options);
    ASSERT_TRUE(r.ok()) << r.error->message();
    EXPECT_EQ(r.format, c.format);
    EXPECT_EQ(r.series.symbol, c.series->symbol);
    EXPECT_EQ(r.series.timeframeMinutes, c.series->timeframeMinutes);
    EXPECT_EQ(r.series.digits, c.series->digits);
    expectSameBars(r.series, *c.series);
    ASSERT_TRUE(writeHistoryFile(path, r.series, c.format, &error)) << error;
    EXPECT_EQ(testing::readBytes(path), first) << "not byte-identical when written again";
  }
}

TEST(MarketFiles, FileReaderCrossesChunksLikeTheMemoryReader) {
  // Larger than the reader's 1 MB chunk in both versions, with a record split at the end.
  testing::TempDir dir;
  BarSeries big = seriesOf({}, "EURUSD", 1, 5);
  for (int i = 0; i < 40000; ++i) {
    const double p = 1.1 + (i % 97) * 0.00001;
    big.push_back({kMarch1st2024 + i * 60, p, p + 0.0002, p - 0.0001, p + 0.00005, double(i % 50)});
  }
  for (int version : {400, 401}) {
    const std::string bytes = *hstBytes(big, version);
    const auto path = dir.path() / "EURUSD1.hst";
    testing::writeBytes(path, bytes);
    const HistoryRead fromFile = readHstFile(path);
    ASSERT_TRUE(fromFile.ok()) << fromFile.error->message();
    expectSameBars(fromFile.series, big);

    testing::writeBytes(path, bytes.substr(0, bytes.size() - 5));
    const HistoryRead cut = readHstFile(path);
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error->place, "record 40000");
    EXPECT_NE(cut.error->reason.find("truncated"), std::string::npos);
    EXPECT_EQ(readHst(bytes.substr(0, bytes.size() - 5), "x").error->place, "record 40000");
  }
}

std::vector<Bar> withBar(std::size_t index, Bar bar) {
  auto bars = fiveBars();
  bars[index] = bar;
  return bars;
}

TEST(MarketHst, BadFilesAreRefusedWithPlaceAndReason) {
  const auto bars = fiveBars();
  const std::int64_t t2 = bars[2].time;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    std::string bytes;
    const char* place;
    const char* reason;
  };
  const Case cases[] = {
      {"short header", hst401Bytes({}).substr(0, 100), "header", "truncated (100 of 148 bytes)"},
      {"unknown version", testing::hstHeaderBytes(402, "EURUSD", 60, 5) + hst401Bytes(bars).substr(148), "header",
       "version 402"},
      {"no symbol", hst401Bytes(bars, ""), "header", "no symbol"},
      {"zero period", hst401Bytes(bars, "EURUSD", 0), "header", "period 0"},
      {"absurd digits", hst401Bytes(bars, "EURUSD", 60, 99), "header", "digits 99"},
      {"no bars", hst401Bytes({}), "", "no bars"},
      {"high below close", hst401Bytes(withBar(2, {t2, 1.08, 1.0805, 1.079, 1.081, 1})), "record 3", "high 1.0805 below"},
      {"low above open", hst400Bytes(withBar(1, {bars[1].time, 1.08, 1.09, 1.0801, 1.085, 1})), "record 2",
       "low 1.0801 above"},
      {"zero price", hst401Bytes(withBar(3, {bars[3].time, 0, 1.09, 0, 1.085, 1})), "record 4", "open 0 not positive"},
      {"NaN close", hst401Bytes(withBar(4, {bars[4].time, 1.08, 1.09, 1.07, nan, 1})), "record 5", "close not a number"},
      {"repeated time", hst401Bytes(withBar(2, {bars[1].time, 1.08, 1.09, 1.07, 1.08, 1})), "record 3", "repeats"},
      {"time backwards", hst400Bytes(withBar(3, {bars[0].time, 1.08, 1.09, 1.07, 1.08, 1})), "record 4",
       "goes backwards"},
      {"negative time", hst401Bytes(withBar(0, {-3600, 1.08, 1.09, 1.07, 1.08, 1})), "record 1", "out of range"},
      {"absurd volume", hst401Bytes(withBar(1, {bars[1].time, 1.08, 1.09, 1.07, 1.08, 1e17})), "record 2", "not a count"},
      {"negative volume", hst401Bytes(withBar(1, {bars[1].time, 1.08, 1.09, 1.07, 1.08, -4})), "record 2", "volume -4"},
      {"cut last record", hst401Bytes(bars).substr(0, 148 + 4 * 60 + 59), "record 5", "truncated (59 of 60 bytes)"},
      {"cut v400 record", hst400Bytes(bars).substr(0, 148 + 44 + 10), "record 2", "truncated (10 of 44 bytes)"},
      // Printed, these would retitle the trader's terminal and clear its screen.
      {"escape in the symbol", hst401Bytes(bars, "\x1b]0;X\x07\x1b[2J"), "header", "holds a control character"},
      {"C1 control in the symbol", hst401Bytes(bars, "EUR\x9dUSD"), "header", "holds a control character"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const HistoryRead r = readHst(c.bytes, "EURUSD60.hst");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->file, "EURUSD60.hst");
    EXPECT_EQ(r.error->place, c.place);
    EXPECT_NE(r.error->reason.find(c.reason), std::string::npos) << r.error->reason;
  }
}

TEST(MarketFiles, FilesLyingAboutTheirSizeAreRefusedBeforeAnythingIsReserved) {
  testing::TempDir dir;
  const auto bars = fiveBars();
  // Sparse files made by seeking: a valid header and first record, then a size of a terabyte
  // (.hst) or just past the limit (CSV) that holds nothing.
  const std::filesystem::path hst = dir.path() / "EURUSD60.hst";
  testing::writeBytes(hst, hst401Bytes(bars));
  std::filesystem::resize_file(hst, 148 + 60 * (std::uintmax_t{1} << 34));
  const HistoryRead fromHst = readHistoryFile(hst);
  ASSERT_FALSE(fromHst.ok());
  EXPECT_NE(fromHst.error->message().find("17179869184 records, more than the 100000000 bars"), std::string::npos)
      << fromHst.error->message();

  const std::filesystem::path csv = dir.path() / "EURUSD60.csv";
  testing::writeBytes(csv, "2024.03.01,00:00,1.1,1.2,1.0,1.1,5\n");
  std::filesystem::resize_file(csv, kMaxCsvHistoryBytes + 1);
  const HistoryRead fromCsv = readHistoryFile(csv);
  ASSERT_FALSE(fromCsv.ok());
  EXPECT_NE(fromCsv.error->message().find("8000000001 bytes, more than"), std::string::npos) << fromCsv.error->message();

  // A message quoting the file's own bytes carries no control character to the terminal.
  const HistoryError quoted{"a\x1b[2J.csv", "line 2", "bad value \"\x07\""};
  EXPECT_EQ(quoted.message(), "a\\x1b[2J.csv: line 2: bad value \"\\x07\"");
}

TEST(MarketFiles, MissingOrOddFilesAreRefusedNotHung) {
  testing::TempDir dir;
  EXPECT_FALSE(readHistoryFile(dir.path() / "NONE60.hst").ok());
  EXPECT_FALSE(readHistoryFile(dir.path() / "NONE60.csv").ok());
  EXPECT_FALSE(readHistoryFile(dir.path()).ok());  // a folder
  const auto r = readHstFile(dir.path() / "NONE60.hst");
  EXPECT_NE(r.error->message().find("NONE60.hst"), std::string::npos);
}

TEST(MarketCsv, HistoryCenterExportReads) {
  const std::string text =
      "2024.03.01,00:00,1.08000,1.08120,1.07950,1.08100,110\r\n"
      "2024.03.01,01:00,1.08100,1.08150,1.08020,1.08030,95\r\n"
      "\r\n";
  const HistoryRead r = readCsvHistory(text, "/some/where/EURUSD60.csv");
  ASSERT_TRUE(r.ok()) << r.error->message();
  EXPECT_EQ(r.format, HistoryFormat::HistoryCenterCsv);
  EXPECT_EQ(r.series.symbol, "EURUSD");
  EXPECT_EQ(r.series.timeframeMinutes, 60);
  EXPECT_EQ(r.series.digits, 5);
  ASSERT_EQ(r.series.size(), 2u);
  EXPECT_EQ(r.series.time[1], kMarch1st2024 + 3600);
  EXPECT_EQ(r.series.low[1], 1.0802);
  EXPECT_EQ(r.series.volume[0], 110);
}

TEST(MarketCsv, HeaderColumnsInAnyOrderAndEveryTimeForm) {
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"iso time, reordered", "Close,Low,High,Open,Time,Volume\n1.081,1.0795,1.0812,1.08,2024-03-01 00:00,110\n"
                              "1.0803,1.0802,1.0815,1.081,2024-03-01 01:00:00,95\n"},
      {"terminal time", "time,open,high,low,close,volume\n2024.03.01 00:00,1.08,1.0812,1.0795,1.081,110\n"
                        "2024.03.01 01:00,1.081,1.0815,1.0802,1.0803,95\n"},
      {"seconds since 1970", "\xEF\xBB\xBFtimestamp,open,high,low,close,spread,volume\n1709251200,1.08,1.0812,1.0795,1.081,3,110\n"
                             "1709254800,1.081,1.0815,1.0802,1.0803,3,95\n"},
      {"date and time, semicolons, quoted",
       "\"Date\";\"Time\";\"Open\";\"High\";\"Low\";\"Close\";\"Volume\"\r\n"
       "\"2024.03.01\";\"00:00\";1.08;1.0812;1.0795;1.081;110\r\n2024.03.01;01:00;1.081;1.0815;1.0802;1.0803;95\r\n"},
      {"exported with tags and tabs", "<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\n"
                                      "2024.03.01\t00:00:00\t1.08\t1.0812\t1.0795\t1.081\t110\t0\n"
                                      "2024.03.01\t01:00:00\t1.081\t1.0815\t1.0802\t1.0803\t95\t0\n"},
      {"unnamed time column of a data tool", ",Open,High,Low,Close,Volume\n\n2024-03-01 00:00:00,1.08,1.0812,1.0795,1.081,110\n"
                                             "2024-03-01 01:00:00,1.081,1.0815,1.0802,1.0803,95\n"},
      {"unnamed first column beside a named time", ",time,open,high,low,close,volume\n"
                                                    "0,2024.03.01 00:00,1.08,1.0812,1.0795,1.081,110\n"
                                                    "1,2024.03.01 01:00,1.081,1.0815,1.0802,1.0803,95\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const HistoryRead r = readCsvHistory(c.text, "EURUSD60.csv");
    ASSERT_TRUE(r.ok()) << r.error->message();
    EXPECT_EQ(r.format, HistoryFormat::HeaderCsv);
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series.time[0], kMarch1st2024);
    EXPECT_EQ(r.series.time[1], kMarch1st2024 + 3600);
    EXPECT_EQ(r.series.open[0], 1.08);
    EXPECT_EQ(r.series.high[0], 1.0812);
    EXPECT_EQ(r.series.low[0], 1.0795);
    EXPECT_EQ(r.series.close[1], 1.0803);
    EXPECT_EQ(r.series.volume[1], 95);
  }
  // Without a volume column the bars carry none.
  const auto noVolume = readCsvHistory("time,open,high,low,close\n2024.03.01 00:00,1,1,1,1\n2024.03.01 01:00,1,1,1,1\n", "X60.csv");
  ASSERT_TRUE(noVolume.ok()) << noVolume.error->message();
  EXPECT_EQ(noVolume.series.volume[0], 0);
}

TEST(MarketCsv, SymbolTimeframeAndDigitsFromSettingsOrName) {
  const std::string twoHours = "time,open,high,low,close\n2024.03.01 00:00,150,151,149,150.5\n2024.03.01 02:00,150,151,149,150.5\n"
                               "2024.03.01 06:00,150,151,149,150.5\n";
  struct Case {
    const char* file;
    CsvHistoryOptions options;
    const char* symbol;
    int minutes;
    int digits;
  };
  const Case cases[] = {
      {"USDJPY240.csv", {}, "USDJPY", 240, 3},         // name gives both; JPY quotes have 3 digits
      {"usdjpy.csv", {}, "usdjpy", 120, 3},            // no digits in the name: the bars' smallest gap
      {"EURUSD_H1.csv", {}, "EURUSD", 120, 5},         // "_H1" is not a number of minutes
      {"data.csv", {"GBPUSD", 60, 4}, "GBPUSD", 60, 4},  // settings win over everything
      {"EURUSD60.csv", {"", 0, 2}, "EURUSD", 60, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const HistoryRead r = readCsvHistory(twoHours, c.file, c.options);
    ASSERT_TRUE(r.ok()) << r.error->message();
    EXPECT_EQ(r.series.symbol, c.symbol);
    EXPECT_EQ(r.series.timeframeMinutes, c.minutes);
    EXPECT_EQ(r.series.digits, c.digits);
  }
  // Monthly bars are 28 to 31 days apart.
  const auto months = readCsvHistory("date,open,high,low,close\n2024-01-01,1,1,1,1\n2024-02-01,1,1,1,1\n2024-03-01,1,1,1,1\n", "EURUSD.csv");
  ASSERT_TRUE(months.ok()) << months.error->message();
  EXPECT_EQ(months.series.timeframeMinutes, 43200);
}

TEST(MarketCsv, BadFilesAreRefusedWithLineAndReason) {
  const std::string hc = "2024.03.01,00:00,1.08,1.0812,1.0795,1.081,110\n";
  const std::string hdr = "time,open,high,low,close,volume\n2024.03.01 00:00,1.08,1.0812,1.0795,1.081,110\n";
  struct Case {
    const char* what;
    std::string file;
    std::string text;
    const char* place;
    const char* reason;
  };
  const Case cases[] = {
      {"empty", "EURUSD60.csv", "", "", "no bars"},
      {"only blank lines", "EURUSD60.csv", "\r\n\r\n", "", "no bars"},
      {"header only", "EURUSD60.csv", "time,open,high,low,close\n", "", "no bars"},
      {"field missing", "EURUSD60.csv", hc + "2024.03.01,01:00,1.08,1.0812,1.0795,1.081\n", "line 2",
       "expected 7 fields, found 6"},
      {"decimal comma", "EURUSD60.csv", hc + "2024.03.01,01:00,1,08,1.0812,1.0795,1.081,110\n", "line 2",
       "expected 7 fields, found 8"},
      {"month 13", "EURUSD60.csv", hc + "2024.13.01,01:00,1.08,1.0812,1.0795,1.081,110\n", "line 2", "bad time"},
      {"February 30th", "EURUSD60.csv", "2024.02.30,01:00,1.08,1.0812,1.0795,1.081,110\n", "line 1", "bad time"},
      {"date as a number", "EURUSD60.csv", "time,open,high,low,close\n20240301,1,1,1,1\n", "line 2", "bad time \"20240301\""},
      {"hour 24", "EURUSD60.csv", hdr + "2024.03.01 24:00,1.08,1.0812,1.0795,1.081,1\n", "line 3", "bad time"},
      {"letters in a price", "EURUSD60.csv", hc + "2024.03.01,01:00,1.08x,1.0812,1.0795,1.081,110\n", "line 2",
       "bad open \"1.08x\""},
      {"nan price", "EURUSD60.csv", hdr + "2024.03.01 01:00,1.08,nan,1.0795,1.081,1\n", "line 3", "bad high"},
      {"empty close", "EURUSD60.csv", hdr + "2024.03.01 01:00,1.08,1.09,1.0795,,1\n", "line 3", "bad close"},
      {"high below open", "EURUSD60.csv", hc + "2024.03.01,01:00,1.08,1.0799,1.0795,1.0797,110\n", "line 2",
       "high 1.0799 below"},
      {"negative low", "EURUSD60.csv", hdr + "2024.03.01 01:00,1.08,1.09,-1.07,1.081,1\n", "line 3", "low -1.07 not positive"},
      {"repeated time", "EURUSD60.csv", hc + hc, "line 2", "repeats"},
      {"backwards", "EURUSD60.csv", hdr + "2024.02.29 23:00,1.08,1.0812,1.0795,1.081,1\n", "line 3", "goes backwards"},
      {"no such columns", "EURUSD60.csv", "when,o,h,l,c\n2024.03.01 00:00,1,1,1,1\n", "line 1", "no header row naming"},
      {"no header", "EURUSD60.csv", "1709251200,1.08,1.0812,1.0795,1.081\n", "line 1", "no header row naming"},
      {"unnamed row numbers are no time", "EURUSD60.csv", ",open,high,low,close\n0,1,1,1,1\n", "line 1",
       "no header row naming"},
      {"unnamed column, bad time further down", "EURUSD60.csv",
       ",open,high,low,close\n2024.03.01 00:00,1,1,1,1\n2024.03.01 xx,1,1,1,1\n", "line 3", "bad time"},
      {"column twice", "EURUSD60.csv", "time,open,high,low,close,Close\n", "line 1", "named twice"},
      {"no symbol", "60.csv", hc, "", "no symbol"},
      {"one bar, no timeframe", "EURUSD.csv", hc, "", "one bar does not tell the timeframe"},
      {"irregular seconds", "EURUSD.csv", "time,open,high,low,close\n1000000000,1,1,1,1\n1000000030,1,1,1,1\n", "",
       "30 seconds apart"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const HistoryRead r = readCsvHistory(c.text, c.file);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->file, c.file);
    EXPECT_EQ(r.error->place, c.place);
    EXPECT_NE(r.error->reason.find(c.reason), std::string::npos) << r.error->reason;
  }
}

TEST(MarketFiles, WritersRefuseWhatTheirReadersWould) {
  std::string error;
  BarSeries bad = seriesOf(fiveBars());
  bad.low[3] = 2.0;
  for (HistoryFormat f : {HistoryFormat::Hst400, HistoryFormat::Hst401, HistoryFormat::HistoryCenterCsv, HistoryFormat::HeaderCsv}) {
    SCOPED_TRACE(historyFormatName(f));
    testing::TempDir dir;
    EXPECT_FALSE(writeHistoryFile(dir.path() / "EURUSD60.x", bad, f, &error));
    EXPECT_NE(error.find("bar 4: low 2 above"), std::string::npos) << error;
    EXPECT_FALSE(writeHistoryFile(dir.path() / "EURUSD60.x", seriesOf({}), f, &error));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "EURUSD60.x"));
  }
  BarSeries late = seriesOf({{4102444800, 1, 1, 1, 1, 1}});  // 2100: beyond 32-bit time
  EXPECT_TRUE(hstBytes(late, 401));
  EXPECT_FALSE(hstBytes(late, 400, &error));
  EXPECT_NE(error.find("2038"), std::string::npos);
  BarSeries longName = seriesOf(fiveBars(), "EURUSD.micro.");
  EXPECT_FALSE(hstBytes(longName, 401, &error));
  BarSeries seconds = seriesOf({{kMarch1st2024 + 30, 1, 1, 1, 1, 1}});
  EXPECT_FALSE(historyCenterCsvText(seconds, &error));
  EXPECT_TRUE(headerCsvText(seconds));
  BarSeries fraction = seriesOf(fiveBars());
  fraction.volume[0] = 1.5;
  EXPECT_FALSE(hstBytes(fraction, 401, &error));
}

TEST(MarketFiles, TimesPrintAsTheTerminalDoes) {
  EXPECT_EQ(historyTimeText(kMarch1st2024 + 13 * 3600 + 5 * 60), "2024.03.01 13:05");
  EXPECT_EQ(historyTimeText(0), "1970.01.01 00:00");
  EXPECT_EQ(historyTimeText(951782400), "2000.02.29 00:00");
}

}  // namespace
}  // namespace zorvik
