// Broker symbol lists, uniform symbols and timeframes, and moving a system to another broker.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/uniform_symbols.hpp"
#include "analysis_fixtures.hpp"
#include "brokers/broker_symbols.hpp"
#include "workspace/current_system.hpp"

namespace zorvik {
namespace {

using testing::makeIndicator;
using testing::TestWorkspace;
using testing::writeBrokerList;

TEST(BrokerSymbolList, ReaderFollowsTheHeaderAndSkipsShortLines) {
  const std::vector<std::string> lines{
      "'Symbol;extra;CLEARNAME;Broker;tradingHours",
      "EURUSD;x;\"Euro; US-Dollar\";ActiveTrades;Mo-Fr",  // quoted ";" stays in its field
      "",
      "   ",
      "GBPUSD;;;AT;",           // 12 characters: a leftover, not a record
      "GBPUSD;;;ATx;",          // 13 characters
      "\"US 30\";;Dow;AT;24h;more;fields;beyond;the;header",
  };
  const auto records = parseBrokerSymbolList(lines);
  ASSERT_EQ(records.size(), 3u);
  BrokerSymbolRecord first;
  first.broker = "ActiveTrades";
  first.clearname = "Euro; US-Dollar";
  first.symbol = "EURUSD";
  first.tradinghours = "Mo-Fr";
  EXPECT_EQ(records[0], first);
  EXPECT_EQ(records[1].symbol, "GBPUSD");
  EXPECT_EQ(records[1].broker, "ATx");
  EXPECT_EQ(records[2].symbol, "US 30");
  EXPECT_EQ(records[2].tradinghours, "24h");

  EXPECT_EQ(splitBrokerListLine("a;b;c;d", 3), (std::vector<std::string>{"a", "b", "c;d"}));
  EXPECT_EQ(splitBrokerListLine("\"open;quote"), (std::vector<std::string>{"\"open;quote"}));

  // Only the first 1000 lines of a file count, header included.
  std::vector<std::string> many{"symbol;broker"};
  for (int i = 1; i < 1200; ++i) many.push_back("SYM" + std::to_string(i) + ";SomeBroker");
  const auto capped = parseBrokerSymbolList(many);
  ASSERT_EQ(capped.size(), 999u);
  EXPECT_EQ(capped.back().symbol, "SYM999");
  EXPECT_TRUE(parseBrokerSymbolList({}).empty());
}

TEST(BrokerSymbolList, StartUpAndBrokerSwitchFillTheSymbolsList) {
  TestWorkspace t(false, false);
  Workspace& ws = *t.ws;
  writeBrokerList(ws, "ATMT4.csv", {"'broker;symbol", "ActiveTrades;EURUSD", "ActiveTrades;GBPUSD"});
  writeBrokerList(ws, "MT4_LCG.csv", {"broker;symbol;clearname", "LCG;EUR/USD;Euro / Dollar"});
  ws.startUp();
  EXPECT_EQ(ws.catalogue.symbols.ids, (std::vector<std::string>{"Symbol()", "EURUSD", "GBPUSD"}));
  EXPECT_EQ(ws.brokerRecords.size(), 2u);

  fillBrokerSymbols(ws, 2);
  EXPECT_EQ(ws.catalogue.symbols.values, (std::vector<std::string>{"Symbol()", "EUR/USD"}));
  EXPECT_EQ(ws.brokerRecords.front().clearname, "Euro / Dollar");
  fillBrokerSymbols(ws, 1);
  fillBrokerSymbols(ws, 7);  // any other broker reads the second list
  EXPECT_EQ(ws.brokerSymbols, std::vector<std::string>{"EUR/USD"});

  fs::remove(ws.resFile("MT4_LCG.csv"));
  fillBrokerSymbols(ws, 2);
  EXPECT_TRUE(ws.brokerRecords.empty());
  EXPECT_EQ(ws.catalogue.symbols.ids, std::vector<std::string>{"Symbol()"});
}

TEST(BrokerSymbolList, ShippedListsMoveActiveTradesSymbolsToLcg) {
  TestWorkspace t;  // starts on the shipped first list
  Workspace& ws = *t.ws;
  ASSERT_GT(ws.brokerRecords.size(), 20u);
  for (const auto& r : ws.brokerRecords) EXPECT_FALSE(r.symbol.empty());
  fillBrokerSymbols(ws, 2);
  const auto gold = std::find_if(ws.brokerRecords.begin(), ws.brokerRecords.end(),
                                 [](const BrokerSymbolRecord& r) { return r.symbol == "GOLD"; });
  ASSERT_NE(gold, ws.brokerRecords.end());
  EXPECT_EQ(gold->tradinghours, "So 23:00 - Fr 22:00; Pause 22:00-23:00");
  EXPECT_EQ(gold->clearname, "Gold Spot");
  for (const char* symbol : {"EURUSD", "UK100"}) EXPECT_TRUE(findReplacement(ws, symbol).automatic) << symbol;
  EXPECT_EQ(findReplacement(ws, "UK100").symbol, "UK_100");
}

TEST(BrokerSymbolList, BrokerOfAccount) {
  TestWorkspace t;
  Workspace& ws = *t.ws;
  ws.knownAccounts = {{"1", "idActiveTrades"}, {"2", "idActive Trades"}, {"3", "idLCG"}, {"4", "idOther"}};
  const struct {
    const char* account;
    int broker;
  } cases[] = {{"1", 1}, {"2", 1}, {"3", 2}, {"4", 1}, {"5", 0}, {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(brokerOfAccount(ws.knownAccounts, c.account), c.broker) << c.account;
}

struct SymbolTest : ::testing::Test {
  TestWorkspace t{false, false};
  Workspace& ws = *t.ws;
  TradingSystem& system = ws.system();
  void SetUp() override {
    writeBrokerList(ws, "ATMT4.csv", {"'broker;symbol", "ActiveTrades;EURUSD", "ActiveTrades;USDJPY"});
    writeBrokerList(ws, "MT4_LCG.csv",
                    {"broker;symbol;platform", "LCG;EURUSD_lcg;MT4", "LCG;EUR_USD;MT4", "LCG;GBP/USD;MT4"});
    ws.startUp();
    ASSERT_TRUE(openSystem(ws, "Demo.hsy.txt"));
  }
  std::string savedFile() const { return testing::readBytes(ws.userFile("Demo.hsy.txt")); }
  void add(int group, const char* symbol, const char* timeframe = "idH1") {
    system.group(group).addIndicator(makeIndicator(ws, "RSI", {{"symbol", symbol}, {"timeframe", timeframe}}));
  }
  std::vector<std::string> symbolsOfIndicators() const {
    std::vector<std::string> out;
    for (int g = 1; g <= 4; ++g)
      for (const auto& i : system.group(g).indicators()) out.push_back(i.parameter("symbol"));
    return out;
  }
};

TEST_F(SymbolTest, ReplacementIsFoundByNormalisedName) {
  EXPECT_EQ(normaliseSymbol("eur-usd"), "EURUSD");
  EXPECT_EQ(normaliseSymbol("EUR_USD "), "EURUSD");
  EXPECT_EQ(normaliseSymbol(" a b-c_d"), "ABCD");
  for (const char* written : {"eur-usd", "EUR_USD ", "EURUSD", "Eur Usd"}) {
    const SymbolReplacement r = findReplacement(ws, written);
    EXPECT_EQ(r.symbol, "EURUSD") << written;
    EXPECT_TRUE(r.automatic) << written;
  }
  // Several entries alike: the last one wins.
  fillBrokerSymbols(ws, 2);
  ws.catalogue.symbols.values.push_back("eurusd");
  EXPECT_EQ(findReplacement(ws, "EURUSD").symbol, "eurusd");
  EXPECT_TRUE(t.host.choicesShown.empty());
}

TEST_F(SymbolTest, BrokerSwitchAsksOncePerUnknownSymbol) {
  system.setParameter("mm_symbol", "eur-usd");
  add(1, "GBPUSD");
  add(2, "Symbol()");
  add(4, "GBPUSD");
  add(4, "eur-usd");
  fillBrokerSymbols(ws, 2);  // Symbol(), EURUSD_lcg, EUR_USD, GBP/USD
  t.host.choices = {3};  // GBPUSD -> GBP/USD
  const BrokerSwitchReport report = replaceSymbolsForBroker(ws);

  ASSERT_EQ(t.host.choicesShown.size(), 1u);
  EXPECT_EQ(t.host.choicesShown[0].label, "GBPUSD");
  EXPECT_FALSE(t.host.choicesShown[0].cancellable);
  EXPECT_EQ(t.host.choicesShown[0].items, ws.catalogue.symbols.ids);
  EXPECT_EQ(system.mm.symbol, "EUR_USD");
  EXPECT_EQ(symbolsOfIndicators(), (std::vector<std::string>{"GBP/USD", "Symbol()", "GBP/USD", "EUR_USD"}));
  EXPECT_EQ(ws.manualSymbolReplacements,
            (std::vector<std::pair<std::string, std::string>>{{"GBPUSD", "GBP/USD"}}));
  EXPECT_EQ(report.automatic, 3);
  EXPECT_EQ(report.manual, 2);
  EXPECT_EQ(report.unchanged, 1);
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0],
            "Automatisch ersetzte Symbole: 3\r\nManuell ersetzte Symbole:2\r\n"
            "eur-usd -> EUR_USD\r\nGBPUSD -> GBP/USD\r\nSymbol() -> Symbol()\r\nGBPUSD -> GBP/USD\r\n"
            "eur-usd -> EUR_USD\r\n");
  // Saved and opened again: the file holds the new symbols and the model still does.
  EXPECT_NE(savedFile().find("symbol=\"GBP/USD\""), std::string::npos);
  EXPECT_EQ(symbolsOfIndicators(), (std::vector<std::string>{"GBP/USD", "Symbol()", "GBP/USD", "EUR_USD"}));

  // Now every symbol is a list entry: nothing to say.
  t.host.messages.clear();
  const BrokerSwitchReport again = replaceSymbolsForBroker(ws);
  EXPECT_FALSE(again.shown);
  EXPECT_TRUE(t.host.messages.empty());
  EXPECT_EQ(t.host.choicesShown.size(), 1u);

  // The manual table lives for the run: after the list is read anew GBPUSD is still not asked.
  system.group(1).indicator(1).setRaw("symbol", "GBPUSD");
  switchToBrokerOfAccount(ws, "100002");  // a known LCG account keeps the second list
  EXPECT_EQ(system.group(1).indicator(1).parameter("symbol"), "GBP/USD");
  EXPECT_EQ(t.host.choicesShown.size(), 1u);
}

TEST_F(SymbolTest, NoOpenSystemOrMissingListChangesNothingSilently) {
  add(1, "XAUUSD");
  system.systemFileName.clear();
  EXPECT_FALSE(replaceSymbolsForBroker(ws).shown);
  EXPECT_FALSE(askEqualSymbols(ws));
  EXPECT_FALSE(askEqualTimeFrames(ws));
  EXPECT_TRUE(t.host.choicesShown.empty());
  EXPECT_EQ(symbolsOfIndicators(), std::vector<std::string>{"XAUUSD"});

  // Without a list only "Symbol()" can be chosen (here by pressing OK at once).
  system.systemFileName = "Demo.hsy.txt";
  fs::remove(ws.resFile("MT4_LCG.csv"));
  fillBrokerSymbols(ws, 2);
  replaceSymbolsForBroker(ws);
  EXPECT_EQ(symbolsOfIndicators(), std::vector<std::string>{"Symbol()"});
}

TEST_F(SymbolTest, UniformSymbolAndTimeframe) {
  add(1, "EURUSD", "idM5");
  add(3, "GBPUSD", "#0");
  const MoneyManagementRecord mmBefore = system.mm;

  t.host.choices = {1};  // the second timeframe caption
  ASSERT_TRUE(askEqualTimeFrames(ws));
  EXPECT_EQ(system.group(1).indicator(1).parameter("timeframe"), "idM1");
  EXPECT_EQ(system.group(3).indicator(1).parameter("timeframe"), "idM1");
  EXPECT_EQ(system.mm, mmBefore);
  EXPECT_NE(savedFile().find("timeframe=\"idM1\""), std::string::npos);
  EXPECT_EQ(t.host.choicesShown.back().items.at(1), "1 Minute");
  EXPECT_EQ(t.host.choicesShown.back().label, "Hier können einheitliche Minutenintervalle eingestellt werden");

  t.host.choices = {2};
  ASSERT_TRUE(askEqualSymbols(ws));
  EXPECT_EQ(system.mm.symbol, "USDJPY");
  EXPECT_EQ(symbolsOfIndicators(), (std::vector<std::string>{"USDJPY", "USDJPY"}));
  EXPECT_EQ(t.host.choicesShown.back().label,
            "Hier können einheitliche Symbole eingestellt werden\r\n"
            "Dabei steht Symbol() für das Symbol des aktuellen Charts");

  t.host.choices = {std::nullopt};
  EXPECT_FALSE(askEqualSymbols(ws));
  EXPECT_EQ(system.mm.symbol, "USDJPY");

  // In English the first entries are shown translated but stored as the program's own values.
  ws.language.switchLanguage("ENGLISCH", ws.resFolder());
  fillBrokerSymbols(ws, 1);
  t.host.choices = {0, 0};
  ASSERT_TRUE(askEqualSymbols(ws));
  ASSERT_TRUE(askEqualTimeFrames(ws));
  EXPECT_EQ(t.host.choicesShown.back().items.front(), "Chart");
  EXPECT_EQ(system.mm.symbol, "Symbol()");
  EXPECT_EQ(system.group(1).indicator(1).parameter("symbol"), "Symbol()");
  EXPECT_EQ(system.group(3).indicator(1).parameter("timeframe"), "idChart");
}

}  // namespace
}  // namespace zorvik
