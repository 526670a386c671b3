#include "rules/level_mirror.hpp"

#include "model/indicator.hpp"
#include "model/indicator_kind.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

// The centre of the 0..100 scale the reflected levels live on.
constexpr double kScaleCentre = 50;

// A plain decimal as the files hold it; "1e3", "72,5" or "abc" are left as they are.
bool isPlainDecimal(std::string_view value) {
  const std::string s = trim(value);
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  return digits > 0 && i == s.size();
}

}  // namespace

std::optional<std::string_view> mirroredLevelKey(std::string_view type) {
  switch (indicatorKindOf(type)) {
    case IndicatorKind::Rsi:
    case IndicatorKind::RsiCross: return "actionline";
    case IndicatorKind::Stochastic: return "st_trigger";
    default: return std::nullopt;
  }
}

bool isMirroredLevelKey(std::string_view key) { return key == "actionline" || key == "st_trigger"; }

std::string mirroredLevel(std::string_view value) {
  if (!isPlainDecimal(value)) return std::string(value);
  return invariantNumber(2 * kScaleCentre - leadingNumber(trim(value)));
}

std::string mirroredParameter(std::string_view type, std::string_view key, std::string_view value) {
  const auto level = mirroredLevelKey(type);
  return level && *level == key ? mirroredLevel(value) : std::string(value);
}

Indicator mirroredIndicator(const Indicator& indicator) {
  Indicator mirrored = indicator.clone();
  if (const auto key = mirroredLevelKey(indicator.type()); key && indicator.hasParameter(*key))
    mirrored.setRaw(*key, mirroredLevel(indicator.parameter(*key)));
  return mirrored;
}

}  // namespace zorvik
