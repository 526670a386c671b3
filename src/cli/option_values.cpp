#include "option_values.hpp"

#include <charconv>
#include <cmath>

namespace zorvik::cli {

std::optional<long long> wholeNumber(const std::string& text, long long low, long long high) {
  long long v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < low || v > high)
    return std::nullopt;
  return v;
}

std::optional<double> amount(const std::string& text) {
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v) || v <= 0)
    return std::nullopt;
  return v;
}

}  // namespace zorvik::cli
