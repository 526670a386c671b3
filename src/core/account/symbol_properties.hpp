#pragma once
// What the broker says about the one symbol traded: its prices' decimals, the spread, the
// contract and the lots it accepts.
#include <cmath>

namespace zorvik {

struct SymbolProperties {
  int digits = 5;               // decimals of a price; point = 10^-digits
  int spreadPoints = 20;        // Ask = Bid + spread
  double contractSize = 100000; // units of the base currency per lot
  double minimumLot = 0.01;
  double lotStep = 0.01;
  double maximumLot = 100;
  int stopLevelPoints = 0;      // the smallest distance of a stop from the current price
};

// 10^digits: the points in one unit of the price.
double pointsPerUnit(int digits);

// MQL4's NormalizeDouble for a price: the nearest value with that many decimals.
double normalizePrice(double value, int digits);

// The terminal's volume check: within the limits and a whole multiple of the lot step.
inline bool lotsAccepted(double lots, const SymbolProperties& symbol) {
  const double tolerance = 1e-6 * symbol.lotStep;
  if (!(lots >= symbol.minimumLot - tolerance) || lots > symbol.maximumLot + tolerance) return false;
  const double steps = lots / symbol.lotStep;
  return std::fabs(steps - std::round(steps)) <= 1e-6;
}

}  // namespace zorvik
