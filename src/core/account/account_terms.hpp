#pragma once
// What the broker's account terms add to the symbol's: leverage and the stop-out level decide
// how much may be open, commission and swap what holding it costs.
namespace zorvik {

struct AccountTerms {
  double leverage = 100;         // margin of a position = lots x contract size x open price / leverage
  double stopOutPercent = 50;    // margin level (equity / margin x 100) at or below which positions are closed
  double commissionPerLot = 0;   // money per lot and round turn, charged at the open; not negative
  double swapLongPoints = 0;     // points per lot and night for a buy; positive is a credit
  double swapShortPoints = 0;    // likewise for a sell
};

}  // namespace zorvik
