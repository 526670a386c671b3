#include "account/symbol_properties.hpp"

#include <cmath>

namespace zorvik {

double pointsPerUnit(int digits) {
  double scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  return scale;
}

double normalizePrice(double value, int digits) {
  const double scale = pointsPerUnit(digits);
  return std::round(value * scale) / scale;
}

bool lotsAccepted(double lots, const SymbolProperties& symbol) {
  const double tolerance = 1e-6 * symbol.lotStep;
  if (!(lots >= symbol.minimumLot - tolerance) || lots > symbol.maximumLot + tolerance) return false;
  const double steps = lots / symbol.lotStep;
  return std::fabs(steps - std::round(steps)) <= 1e-6;
}

}  // namespace zorvik
