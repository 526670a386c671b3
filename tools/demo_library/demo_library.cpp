// Builds the demo library a new user finds in the folder "user": three trading systems and a
// few parts, put together through the model and written by the program's own writers, so the
// files are exactly what the program itself would store.
//
//   zorvik-demo-library <folder holding res/> <output folder>
//
// The output does not depend on the clock or on the settings: every indicator carries the same
// edit time and every system a fixed magic number.
#include <filesystem>
#include <iostream>
#include <string>

#include "model/component_files.hpp"
#include "model/file_names.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr double kEditTime = 45658.5;  // 2025-01-01 12:00

struct Demo {
  Workspace& ws;
  fs::path out;
  bool ok = true;

  Indicator indicator(const std::string& type, std::initializer_list<std::pair<const char*, const char*>> values) {
    Indicator ind(type);
    applyIndicatorDefaults(ws, ind, kEditTime);
    for (const auto& [name, value] : values) ind.setParameter(ws.definitions, ws.language, name, value);
    return ind;
  }

  // A system as a new one starts: catalogue defaults, then what differs.
  TradingSystem system(const std::string& name, const std::string& magic, const std::string& comment) {
    TradingSystem system;
    system.systemFileName = name + ".hsy.txt";
    system.resetAll(systemDefaults(ws));
    applySystemDefaults(ws, system);
    system.setParameter("general_magic", magic);
    system.setParameter("general_comment", comment);
    return system;
  }

  static void stops(SignalGroup& g, std::string sl, std::string ts, std::string tp) {
    g.sl = std::move(sl);
    g.ts = std::move(ts);
    g.tp = std::move(tp);
  }

  static void add(SignalGroup& g, Indicator ind) {
    g.addIndicator(std::move(ind));
    g.editok = 1;
  }

  fs::path file(const std::string& name, std::string_view extension) {
    return out / (encodeFileName(name) + std::string(extension));
  }

  void check(bool written, const std::string& what) {
    if (!written) {
      std::cerr << "cannot write " << what << "\n";
      ok = false;
    }
  }
};

void build(Demo& d) {
  Workspace& ws = d.ws;

  // 1. Trend follower: a fast and a slow exponential average; enter when they cross, leave
  //    when they cross back. Fixed lots.
  TradingSystem trend = d.system("MA Trendfolger", "100101",
                              "Trendfolger mit zwei exponentiellen Durchschnitten (10/50) auf H1.\r\n"
                              "Einstieg beim Kreuzen, Ausstieg beim Zurückkreuzen.");
  auto cross = [&](const char* action) {
    return d.indicator("2 Moving Averages Cross", {{"timeframe", "idH1"},
                                                   {"ma_method", "idExponential"},
                                                   {"periodfast", "10"},
                                                   {"periodslow", "50"},
                                                   {"actiontyp", action},
                                                   {"comment", "EMA 10/50"}});
  };
  d.add(trend.group(1), cross("idStandard"));
  d.add(trend.group(2), cross("idStandard"));
  d.add(trend.group(3), cross("idStandard"));
  d.add(trend.group(4), cross("idStandard"));
  for (int g : {2, 4}) d.stops(trend.group(g), "60", "40", "0");
  trend.setParameter("mm_lots", "0.1");
  d.check(writeSystemFile(trend, d.file("MA Trendfolger", ".hsy.txt")), "MA Trendfolger");

  // 2. RSI reversal: buy when RSI(14) crosses the 30 mark, sell when it crosses the 70 mark;
  //    leave at the opposite mark. At most two trades a day.
  TradingSystem rsi = d.system("RSI Umkehr", "100102",
                            "Gegentrend: RSI 14 auf H1, Einstieg an den Marken 30 und 70.\r\n"
                            "Höchstens zwei Trades am Tag.");
  auto rsiCross = [&](const char* line) {
    return d.indicator("RSI Cross", {{"timeframe", "idH1"},
                                     {"period", "14"},
                                     {"actionline", line},
                                     {"comment", std::string("RSI 14 / ").append(line).c_str()}});
  };
  d.add(rsi.group(1), rsiCross("30"));
  d.add(rsi.group(2), rsiCross("70"));
  d.add(rsi.group(3), rsiCross("70"));
  d.add(rsi.group(4), rsiCross("30"));
  for (int g : {2, 4}) d.stops(rsi.group(g), "30", "0", "45");
  rsi.setParameter("mm_lots", "0.1");
  rsi.setParameter("mm_maxtrades", "2");
  d.check(writeSystemFile(rsi, d.file("RSI Umkehr", ".hsy.txt")), "RSI Umkehr");

  // 3. MACD momentum with a long-term filter: both the MACD signal and the position against
  //    the 200 EMA must agree (threshold 100 % of 2 points). Fixed fractional sizing.
  TradingSystem macd = d.system("MACD Momentum", "100103",
                             "MACD 12/26/9 mit Trendfilter EMA 200 auf H4.\r\n"
                             "Beide Signale müssen zusammen kommen; Positionsgröße nach Fixed Fractional.");
  auto macdInd = [&](const char* action) {
    return d.indicator("MACD", {{"timeframe", "idH4"},
                                {"periodfast", "12"},
                                {"periodslow", "26"},
                                {"periodsignal", "9"},
                                {"actiontyp", action},
                                {"comment", "MACD 12/26/9"}});
  };
  const Indicator ema200 = d.indicator(
      "Moving Average", {{"timeframe", "idH4"}, {"period", "200"}, {"ma_method", "idExponential"}, {"comment", "EMA 200"}});
  d.add(macd.group(1), macdInd("idStandard"));
  d.add(macd.group(1), ema200);
  d.add(macd.group(2), macdInd("idStandard"));
  d.add(macd.group(3), macdInd("idStandard"));
  d.add(macd.group(3), ema200);
  d.add(macd.group(4), macdInd("idStandard"));
  for (int g : {2, 4}) d.stops(macd.group(g), "80", "50", "160");
  macd.setParameter("mm_typ", "idFixed Fractional");
  macd.setParameter("mm_fraction", "200");
  macd.setParameter("mm_lots", "0.1");
  macd.setParameter("mm_maxlots", "2");
  d.check(writeSystemFile(macd, d.file("MACD Momentum", ".hsy.txt")), "MACD Momentum");

  // Parts to drag into a system.
  d.check(writeIndicatorFile(macd.group(1).indicator(2), d.file("EMA 200 Filter", ".ind.txt"),
                             "Langfristiger Trendfilter"),
          "EMA 200 Filter");
  d.check(writeIndicatorFile(d.indicator("RSI", {{"period", "14"}, {"comment", "RSI 14"}}), d.file("RSI 14", ".ind.txt"),
                             "RSI über 50 = Aufwärtsmomentum"),
          "RSI 14");
  d.check(writeIndicatorFile(d.indicator("Bollinger Bands", {{"period", "20"}, {"bo_stab", "2"}, {"comment", "BB 20/2"}}),
                             d.file("Bollinger 20-2", ".ind.txt"), "Ausbruch aus den Bändern"),
          "Bollinger 20-2");

  SignalGroup filter("L");
  filter.threshold = "100";
  d.add(filter, d.indicator("ADX", {{"period", "14"}, {"comment", "ADX 14"}}));
  d.add(filter, ema200);
  d.check(writeIndicatorGroupFile(filter, d.file("Trendfilter ADX und EMA", ".igr.txt"),
                                  "ADX und EMA 200 müssen beide zustimmen"),
          "Trendfilter ADX und EMA");

  d.check(writeSignalGroupsFile(rsi, d.file("RSI Umkehr Signale", ".sgr.txt"), "Alle vier Gruppen des RSI-Systems"),
          "RSI Umkehr Signale");
  d.check(writeMoneyManagementFile(macd.mm, d.file("Fixed Fractional 2 Prozent", ".mm.txt"),
                                   "Risiko je Trade nach Kontostand, höchstens 2 Lots"),
          "Fixed Fractional 2 Prozent");
  d.check(writeMoneyManagementFile(trend.mm, d.file("Feste Lots", ".mm.txt"), "Immer 0.1 Lots"), "Feste Lots");
  SignalGroup tight("XL");
  d.stops(tight, "20", "15", "40");
  d.check(writeStopsFile(tight, d.file("Eng 20-40", ".stp.txt"), "Stop 20, Trailing 15, Ziel 40"), "Eng 20-40");
  (void)ws;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zorvik-demo-library <folder holding res/> <output folder>\n";
    return 2;
  }
  RecordingHost host;
  Workspace ws(argv[1], host);
  // Start-up without creating folders next to res/: only what the model needs.
  ws.loadSettings();
  ws.settings.magic = 100000;
  ws.catalogue.readParameterCoding(ws.language, ws.brokerSymbols);
  ws.catalogue.readIndicatorCoding();

  std::error_code ec;
  fs::create_directories(argv[2], ec);
  Demo demo{ws, argv[2]};
  build(demo);
  for (const auto& m : host.messages) std::cerr << m << "\n";
  return demo.ok && host.messages.empty() ? 0 : 1;
}
