#include "indicators/indicator_basics.hpp"

namespace zorvik {

std::optional<MaMethod> maMethodFromNumber(int number) {
  if (number < 0 || number > 3) return std::nullopt;
  return static_cast<MaMethod>(number);
}

std::optional<AppliedPrice> appliedPriceFromNumber(int number) {
  if (number < 0 || number > 6) return std::nullopt;
  return static_cast<AppliedPrice>(number);
}

std::string_view maMethodName(MaMethod method) {
  switch (method) {
    case MaMethod::Simple: return "SMA";
    case MaMethod::Exponential: return "EMA";
    case MaMethod::Smoothed: return "SMMA";
    case MaMethod::LinearWeighted: return "LWMA";
  }
  return "?";
}

std::string_view appliedPriceName(AppliedPrice price) {
  switch (price) {
    case AppliedPrice::Close: return "Close";
    case AppliedPrice::Open: return "Open";
    case AppliedPrice::High: return "High";
    case AppliedPrice::Low: return "Low";
    case AppliedPrice::Median: return "Median";
    case AppliedPrice::Typical: return "Typical";
    case AppliedPrice::Weighted: return "Weighted";
  }
  return "?";
}

std::optional<std::size_t> barAtShift(std::size_t currentBar, int shift, int indicatorShift) {
  // In 64 bits: two ints near INT_MAX must not wrap into a small valid shift.
  const long long effective = static_cast<long long>(shift) + static_cast<long long>(indicatorShift);
  if (effective < 0) return std::nullopt;
  if (static_cast<unsigned long long>(effective) > currentBar) return std::nullopt;
  return currentBar - static_cast<std::size_t>(effective);
}

}  // namespace zorvik
