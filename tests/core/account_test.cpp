// The simulated account on its own: what a request is refused with and in which order the
// checks come, where stops and market orders fill, and the money they move: margin, commission,
// swap and the stop out.
#include <gtest/gtest.h>

#include <cmath>
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

// No spread and no stop level, so that the money below is easy to follow.
SymbolProperties noSpread() {
  SymbolProperties s;
  s.spreadPoints = 0;
  return s;
}

TEST(AccountMargin, AnOrderNeedsItsMarginInTheFreeMarginAndTheLotCheckComesFirst) {
  AccountTerms terms;
  terms.commissionPerLot = 50;  // not counted against the free margin
  // The margin of 1 lot bought at 1.10020 with leverage 100, as the account computes it.
  const double need = ((1.0 * 100000) * 1.10020) / 100;
  struct Case {
    std::string what;
    double deposit;
    double lots;
    OrderError expected;
  } cases[] = {
      {"the free margin exactly the margin", need, 1.0, OrderError::None},
      {"a hair less", std::nextafter(need, 0.0), 1.0, OrderError::NotEnoughMoney},
      {"lots off the step with no money either", 1, 0.015, OrderError::InvalidVolume},
      {"a deposit too small for the smallest lot", 1, 0.01, OrderError::NotEnoughMoney},
  };
  for (const Case& c : cases) {
    SimulatedAccount a(fiveDigits(), c.deposit, terms);
    a.setBar(0, 0);
    a.setBid(110000, 1.10000);
    EXPECT_EQ(static_cast<int>(a.sendOrder(TradeType::Buy, c.lots, 1.10020, 0, 0)), static_cast<int>(c.expected))
        << c.what;
    EXPECT_EQ(a.positions().size(), c.expected == OrderError::None ? 1u : 0u) << c.what;
  }

  // An open position holds its margin as fixed at the open, whatever the price does since.
  SimulatedAccount a(noSpread(), 10000, AccountTerms{50, 50, 0, 0, 0});
  a.setBar(0, 0);
  a.setBid(120000, 1.20000);
  a.fill(TradeType::Sell, 0.5);
  EXPECT_DOUBLE_EQ(a.margin(), 0.5 * 100000 * 1.2 / 50);
  a.setBid(100000, 1.00000);
  EXPECT_DOUBLE_EQ(a.margin(), 1200);
  EXPECT_DOUBLE_EQ(a.freeMargin(), a.equity() - 1200);
  EXPECT_NEAR(a.equity(), 10000 + 10000, 1e-6);
}

TEST(AccountCosts, CommissionIsChargedAtTheOpenAndCountsInTheResult) {
  AccountTerms terms;
  terms.commissionPerLot = 7;
  SimulatedAccount a(noSpread(), 10000, terms);
  a.setBar(0, 0);
  a.setBid(110000, 1.10000);
  a.fill(TradeType::Buy, 0.5);
  EXPECT_DOUBLE_EQ(a.positions()[0].commission, -3.5);
  EXPECT_DOUBLE_EQ(a.equity(), 10000 - 3.5) << "in equity at once";
  EXPECT_DOUBLE_EQ(a.balance(), 10000) << "in the balance at the close";
  a.setBid(110005, 1.10005);  // 2.50 of price profit: less than the commission
  a.close(0, CloseReason::Signal);
  const Trade& t = a.trades()[0];
  EXPECT_DOUBLE_EQ(t.commission, -3.5);
  EXPECT_NEAR(t.profit, 2.5, 1e-9);
  EXPECT_LT(t.result(), 0) << "a price profit below its commission is a loss";
  EXPECT_EQ(a.balance(), 10000 + t.result());
}

// Swap long 2 points (a credit of 2.00 per lot and night), swap short -1.5 points; one buy
// and one sell of a lot each are open from the first bar on.
TEST(AccountCosts, SwapIsChargedOncePerChangeOfDateAndThreefoldIntoAThursday) {
  constexpr std::int64_t kDay = 86400;
  constexpr std::int64_t kMonday = 1704067200;  // 2024-01-01
  struct Case {
    std::string what;
    std::int64_t from, to;  // the first bar's time and the next bar's
    double nights;
  } cases[] = {
      {"the same day", kMonday, kMonday + 3600, 0},
      {"Monday to Tuesday", kMonday + 23 * 3600, kMonday + kDay, 1},
      {"Wednesday to Thursday carries the weekend", kMonday + 2 * kDay, kMonday + 3 * kDay, 3},
      {"Friday to Monday: a weekend jumped over once", kMonday + 4 * kDay, kMonday + 7 * kDay, 1},
      {"Wednesday to Friday: the missing Thursday loses its triple", kMonday + 2 * kDay, kMonday + 4 * kDay, 1},
  };
  AccountTerms terms;
  terms.swapLongPoints = 2;
  terms.swapShortPoints = -1.5;
  for (const Case& c : cases) {
    SimulatedAccount a(noSpread(), 10000, terms);
    a.setBar(0, c.from);
    a.setBid(110000, 1.10000);
    a.settleTick(true);  // the test's first tick: nothing before it to charge for
    a.fill(TradeType::Buy, 1.0);
    a.fill(TradeType::Sell, 1.0);
    a.setBar(1, c.to);
    a.setBid(110000, 1.10000);
    a.settleTick(true);
    a.setBid(110001, 1.10001);
    a.settleTick(false);  // later ticks of the bar charge nothing more
    EXPECT_NEAR(a.positions()[0].swap, 2.0 * c.nights, 1e-9) << c.what;
    EXPECT_NEAR(a.positions()[1].swap, -1.5 * c.nights, 1e-9) << c.what;
  }

  // A position its stop closes at the new date's first tick is not charged for the night.
  SimulatedAccount a(noSpread(), 10000, terms);
  a.setBar(0, kMonday);
  a.setBid(110000, 1.10000);
  EXPECT_TRUE(a.modify(a.fill(TradeType::Buy, 1.0), 109900, 0));
  a.setBar(1, kMonday + kDay);
  a.setBid(109800, 1.09800);
  a.settleTick(true);
  ASSERT_EQ(a.trades().size(), 1u);
  EXPECT_EQ(a.trades()[0].swap, 0);
}

// Deposit 1000, leverage 100, no spread: a buy of 0.4 lots at 1.10000 (ticket 1) and one at
// 1.10100 (ticket 2) hold 880.40 of margin. The price then falls to the tick's Bid.
TEST(AccountStopOut, TheWorstPositionClosesFirstUntilTheLevelIsAboveTheStopOut) {
  struct Case {
    double level;
    std::int64_t bid;
    std::vector<int> closed;  // tickets in the order the stop out closes them
  } cases[] = {
      {50, 109400, {}},      // equity 480: 54.5 %
      {50, 109350, {2}},     // equity 440: 49.98 %; without ticket 2 440 on 440 margin, 100 %
      {100, 109300, {2, 1}},  // without ticket 2, 400 on 440 margin: below 100 %
      {0, 109350, {}},
      {0, 108700, {2, 1}},  // equity -80, then -80 again
  };
  for (const Case& c : cases) {
    AccountTerms terms;
    terms.stopOutPercent = c.level;
    SimulatedAccount a(noSpread(), 1000, terms);
    a.setBar(0, 0);
    a.setBid(110000, 1.10000);
    a.fill(TradeType::Buy, 0.4);
    a.setBid(110100, 1.10100);
    a.fill(TradeType::Buy, 0.4);
    a.setBar(1, 3600);
    a.setBid(c.bid, static_cast<double>(c.bid) / 100000);
    a.settleTick(true);
    std::vector<int> closed;
    for (const Trade& t : a.trades()) {
      closed.push_back(t.ticket);
      EXPECT_EQ(t.reason, CloseReason::StopOut);
      EXPECT_EQ(t.closePrice, static_cast<double>(c.bid) / 100000) << "at Bid, also at a bar's open";
    }
    EXPECT_EQ(closed, c.closed) << "level " << c.level << ", Bid " << c.bid;
  }

  // Equal results: the lower ticket goes first, and one close is enough here.
  SimulatedAccount a(noSpread(), 1000, AccountTerms{});
  a.setBar(0, 0);
  a.setBid(110000, 1.10000);
  a.fill(TradeType::Buy, 0.4);
  a.fill(TradeType::Buy, 0.4);
  a.setBid(109300, 1.09300);  // equity 440 on 880 margin: 50 %
  a.settleTick(false);
  ASSERT_EQ(a.trades().size(), 1u);
  EXPECT_EQ(a.trades()[0].ticket, 1);
  EXPECT_EQ(a.positions().size(), 1u);
}

}  // namespace
}  // namespace zorvik
