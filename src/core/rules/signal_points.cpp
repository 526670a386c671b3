#include "rules/signal_points.hpp"

#include <cmath>

#include "model/group_roles.hpp"
#include "model/signal_group.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {

std::string sideCodeFor(std::string_view actionType, std::string_view groupSide) {
  if (actionType == "idStandard") return std::string(groupSide);
  if (actionType == "idReverse") {
    if (const auto role = groupRoleNamed(groupSide)) return std::string(roleInfo(oppositeSide(*role)).name);
  }
  return {};
}

bool isSignalNumber(std::string_view value) {
  const std::string s = trim(value);
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++expDigits; }
    if (expDigits == 0) return false;
  }
  return i == s.size() && std::isfinite(leadingNumber(s));
}

std::optional<double> signalSum(const SignalGroup& group, int* badPosition) {
  double sum = 0;
  int position = 0;
  for (const Indicator& ind : group.indicators()) {
    ++position;
    const std::string value = ind.parameter("value");
    if (!isSignalNumber(value)) {
      if (badPosition) *badPosition = position;
      return std::nullopt;
    }
    sum = roundHalfEven(sum + leadingNumber(value));
  }
  return sum;
}

std::int32_t thresholdPoints(std::string_view threshold, double sum) {
  const double percent = roundHalfEven(leadingNumber(threshold));
  const std::int64_t product = clampToInt32(percent * sum);
  // Floor, not truncation: a negative product still rounds down.
  std::int64_t points = product / 100;
  if (product % 100 != 0 && product < 0) --points;
  return static_cast<std::int32_t>(points);
}

}  // namespace zorvik
