// The backtest's report and trade list as a trader reads them: in the program's language, with
// German dates in German, and a trade list a German spreadsheet reads; the machine-readable
// CSV keeps its one form.
#include <gtest/gtest.h>

#include "backtest/backtest_report.hpp"

namespace zorvik {
namespace {

BacktestResult oneTrade() {
  BacktestResult r;
  r.deposit = 10000;
  r.digits = 5;
  Trade t;
  t.ticket = 1;
  t.type = TradeType::Sell;
  t.lots = 0.5;
  t.openTime = 1704240000;  // 2024-01-03 00:00
  t.openPrice = 1.0995886;
  t.closeTime = 1704243600;  // 2024-01-03 01:00
  t.closePrice = 1.09859;
  t.stopLoss = 1.1;
  t.profit = 49.93;
  t.reason = CloseReason::TakeProfit;
  r.trades.push_back(t);
  r.barTime = {t.openTime, t.closeTime};
  r.equity = {10000, 10049.93};
  r.balance = {10000, 10049.93};
  fillTradeStatistics(r.trades, r.statistics);
  return r;
}

TEST(BacktestReport, FollowsTheLanguage) {
  const BacktestResult r = oneTrade();
  struct Case {
    ReportLanguage language;
    std::vector<std::string> has, hasNot;
  };
  const Case cases[] = {
      {ReportLanguage::German,
       {"lang=\"de\"", "<h2>Statistik</h2>", "Nettogewinn", "<th>Eröffnungskurs</th>", ">Verkauf<", ">Take Profit<",
        "03.01.2024 00:00", "2 Kerzen, Einlage 10000.00"},
       {"Net profit", "Statistics", ">sell<", "2024.01.03"}},
      {ReportLanguage::English,
       {"lang=\"en\"", "<h2>Statistics</h2>", "Net profit", "<th>Open price</th>", ">sell<", ">tp<", "2024.01.03 00:00",
        "2 bars, deposit 10000.00"},
       {"Nettogewinn", "Kerzen", "03.01.2024"}},
  };
  for (const Case& c : cases) {
    const std::string html = reportHtml(r, "Trend", c.language);
    for (const std::string& text : c.has) EXPECT_NE(html.find(text), std::string::npos) << text;
    for (const std::string& text : c.hasNot) EXPECT_EQ(html.find(text), std::string::npos) << text;
  }
}

TEST(BacktestReport, TradeListForAGermanSpreadsheetAndForMachines) {
  const BacktestResult r = oneTrade();
  EXPECT_EQ(tradesCsvForGermanSpreadsheet(r),
            "Ticket;Typ;Lots;Eröffnet;Eröffnungskurs;Geschlossen;Schlusskurs;SL;TP;Gewinn;Grund\n"
            "1;Verkauf;0,50;03.01.2024 00:00;1,09959;03.01.2024 01:00;1,09859;1,10000;0,00000;49,93;Take Profit\n");
  // The machine-readable form is not touched by the language.
  const std::string machine = tradesCsv(r);
  EXPECT_TRUE(machine.starts_with("ticket,type,lots,open_time,open_price,")) << machine;
  EXPECT_NE(machine.find("1,sell,0.50,2024.01.03 00:00,1.09959,"), std::string::npos) << machine;
}

}  // namespace
}  // namespace zorvik
