// The simulated account on its own: what a request is refused with and in which order the
// checks come, where stops and market orders fill, and the money they move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "account/simulated_account.hpp"

namespace zorvik {
namespace {

// EURUSD-like: 5 digits, spread 20 points, stop level 30 points.
SymbolProperties fiveDigits() {
  SymbolProperties s;
  s.stopLevelPoints = 30;
  return s;
}

// An account at bar 7 with Bid 1.10000 (Ask 1.10020) and one buy of 0.10 lots open, ticket 1,
// its stop loss at 1.09900.
SimulatedAccount accountWithABuy() {
  SimulatedAccount a(fiveDigits(), 10000);
  a.setBar(7, 1000);
  a.setBid(110000, 1.10000);
  EXPECT_EQ(a.sendOrder(TradeType::Buy, 0.1, 1.10020, 1.09900, 0), OrderError::None);
  return a;
}

TEST(AccountRequests, EachRefusalCarriesTheTerminalsCodeAndTheChecksComeInItsOrder) {
  struct Case {
    std::string what;
    OrderError expected;
    OrderError (*request)(SimulatedAccount&);
  };
  const std::vector<Case> cases = {
      {"a volume off the lot step, at a stale price too", OrderError::InvalidVolume,
       [](SimulatedAccount& a) { return a.sendOrder(TradeType::Buy, 0.015, 1.2, 0, 0); }},
      {"a volume below the minimum", OrderError::InvalidVolume,
       [](SimulatedAccount& a) { return a.sendOrder(TradeType::Sell, 0.001, 1.10000, 0, 0); }},
      {"a buy at Bid, with stops inside the level too", OrderError::InvalidPrice,
       [](SimulatedAccount& a) { return a.sendOrder(TradeType::Buy, 0.1, 1.10000, 1.09999, 0); }},
      {"a buy's stop loss inside the stop level", OrderError::InvalidStops,
       [](SimulatedAccount& a) { return a.sendOrder(TradeType::Buy, 0.1, 1.10020, 1.09980, 0); }},
      {"a sell's take profit that is not a whole point", OrderError::InvalidStops,
       [](SimulatedAccount& a) { return a.sendOrder(TradeType::Sell, 0.1, 1.10000, 0, 1.099005); }},
      {"a buy's stop loss exactly the stop level away", OrderError::None,
       [](SimulatedAccount& a) { return a.sendOrder(TradeType::Buy, 0.1, 1.10020, 1.09970, 0); }},
      {"a modification that changes nothing", OrderError::NoChange,
       [](SimulatedAccount& a) { return a.modifyOrder(1, 1.09900, 0); }},
      {"a modification of a ticket not open", OrderError::UnknownTicket,
       [](SimulatedAccount& a) { return a.modifyOrder(2, 1.09900, 0); }},
      {"a take profit below a buy's Bid", OrderError::InvalidStops,
       [](SimulatedAccount& a) { return a.modifyOrder(1, 1.09900, 1.09950); }},
      {"closing part of a position", OrderError::InvalidVolume,
       [](SimulatedAccount& a) { return a.closeOrder(1, 0.05, 1.10000); }},
      {"closing a buy at Ask", OrderError::InvalidPrice,
       [](SimulatedAccount& a) { return a.closeOrder(1, 0.1, 1.10020); }},
      {"closing a buy at Bid, less than half a point off", OrderError::None,
       [](SimulatedAccount& a) { return a.closeOrder(1, 0.1, 1.100004); }},
  };
  for (const Case& c : cases) {
    SimulatedAccount a = accountWithABuy();
    const std::size_t openBefore = a.positions().size();
    const OrderError e = c.request(a);
    EXPECT_EQ(static_cast<int>(e), static_cast<int>(c.expected)) << c.what;
    // A refused request leaves the account as it was.
    if (e != OrderError::None) {
      EXPECT_EQ(a.positions().size(), openBefore) << c.what;
      EXPECT_EQ(a.positions().front().stopLoss, 109900) << c.what;
      EXPECT_TRUE(a.trades().empty()) << c.what;
    }
  }
}

TEST(AccountFills, MarketOrdersStopsAndGapsFillWhereTheBrokerWould) {
  SimulatedAccount a(fiveDigits(), 10000);
  a.setBar(3, 3600);
  a.setBid(110000, 1.10000);
  const std::size_t buy = a.fill(TradeType::Buy, 1.0);  // at Ask
  EXPECT_TRUE(a.modify(buy, 109900, 110200));
  const std::size_t sell = a.fill(TradeType::Sell, 0.5);  // at Bid, the history's own double
  EXPECT_TRUE(a.modify(sell, 110100, 0));
  EXPECT_EQ(a.positions()[buy].openPoints, 110020);
  EXPECT_DOUBLE_EQ(a.positions()[buy].openPrice, 1.10020);
  EXPECT_EQ(a.positions()[sell].openPrice, 1.10000);
  EXPECT_FALSE(a.modify(sell, 110030, 0)) << "inside the stop level from Ask";
  EXPECT_EQ(a.positions()[sell].stopLoss, 110100);

  // Within the bar the price passes both stops: each fills at its own price.
  a.setBid(110085, 1.10085);
  a.checkStops(false);
  ASSERT_EQ(a.positions().size(), 1u);
  ASSERT_EQ(a.trades().size(), 1u);
  EXPECT_EQ(a.trades()[0].ticket, 2);
  EXPECT_EQ(a.trades()[0].reason, CloseReason::StopLoss);
  EXPECT_DOUBLE_EQ(a.trades()[0].closePrice, 1.10100);
  EXPECT_NEAR(a.trades()[0].profit, -0.0010 * 0.5 * 100000, 1e-6);

  // The next bar opens above the take profit: it fills at that open, not at the target.
  a.setBar(4, 7200);
  a.setBid(110260, 1.10260);
  a.checkStops(true);
  ASSERT_TRUE(a.positions().empty());
  const Trade& t = a.trades()[1];
  EXPECT_EQ(t.reason, CloseReason::TakeProfit);
  EXPECT_EQ(t.closePrice, 1.10260);
  EXPECT_DOUBLE_EQ(t.takeProfit, 1.10200);
  EXPECT_EQ(t.openBar, 3u);
  EXPECT_EQ(t.closeBar, 4u);
  EXPECT_EQ(t.closeTime, 7200);
  EXPECT_NEAR(a.balance(), 10000 - 50 + 240, 1e-6);
}

TEST(AccountMoney, EquityFollowsTheOpenPositionsAndTradesComeByTicket) {
  SimulatedAccount a(fiveDigits(), 10000);
  a.setBar(0, 0);
  a.setBid(110000, 1.10000);
  a.fill(TradeType::Buy, 1.0);   // ticket 1 at 1.10020
  a.fill(TradeType::Sell, 1.0);  // ticket 2 at 1.10000
  EXPECT_NEAR(a.equity(), 10000 - 20 - 20, 1e-6);  // each has lost the spread
  a.setBid(110050, 1.10050);
  EXPECT_NEAR(a.openProfit(), 30 - 70, 1e-6);
  EXPECT_NEAR(a.equity(), 10000 - 40, 1e-6);
  EXPECT_DOUBLE_EQ(a.lotsOf(TradeType::Sell), 1.0);

  a.close(1, CloseReason::Signal);  // the sell first, at Ask
  a.closeAll(CloseReason::EndOfTest);
  EXPECT_EQ(a.equity(), a.balance());
  EXPECT_NEAR(a.balance(), 10000 - 40, 1e-6);
  ASSERT_EQ(a.trades().size(), 2u);
  EXPECT_EQ(a.trades()[0].ticket, 2);
  const std::vector<Trade> byTicket = a.takeTradesByTicket();
  EXPECT_EQ(byTicket[0].ticket, 1);
  EXPECT_EQ(byTicket[0].reason, CloseReason::EndOfTest);
  EXPECT_EQ(byTicket[1].ticket, 2);
  EXPECT_DOUBLE_EQ(byTicket[1].closePrice, 1.10070);
}

}  // namespace
}  // namespace zorvik
