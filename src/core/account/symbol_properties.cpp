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

}  // namespace zorvik
