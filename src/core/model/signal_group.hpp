#pragma once
// A signal group (entry long, exit long, entry short, exit short): its threshold, its stops
// and its indicators in order. Positions are 1-based as everywhere in the program.
#include <cstdint>
#include <string>
#include <vector>

#include "model/indicator.hpp"

namespace zorvik {

class SignalGroup {
 public:
  SignalGroup() = default;
  explicit SignalGroup(std::string roleName) : name(std::move(roleName)) {}

  std::string threshold;  // percentage 1..100 of the sum of the signal values
  std::string name;       // "L", "XL", "S" or "XS"
  std::string sl;         // stop loss, used by the exit groups
  std::string ts;         // trailing stop
  std::string tp;         // take profit
  std::int32_t editok = 0;

  int count() const { return static_cast<int>(indicators_.size()); }
  // Resizes to newCount indicators, keeping the existing ones; new slots hold empty indicators.
  void resizeIndicators(int newCount);
  // Removes the indicator at a position; later ones move forward. Out of range: nothing.
  void removeIndicator(int position);
  void addIndicator(Indicator indicator) { indicators_.push_back(std::move(indicator)); }

  // 1-based; the caller keeps the position within 1..count().
  Indicator& indicator(int position) { return indicators_.at(static_cast<std::size_t>(position - 1)); }
  const Indicator& indicator(int position) const { return indicators_.at(static_cast<std::size_t>(position - 1)); }
  void setIndicator(int position, Indicator replacement) { indicator(position) = std::move(replacement); }
  const std::vector<Indicator>& indicators() const { return indicators_; }
  std::vector<Indicator>& indicators() { return indicators_; }

  SignalGroup clone() const { return *this; }
  bool operator==(const SignalGroup&) const = default;

 private:
  std::vector<Indicator> indicators_;
};

// A list of texts collecting the differences found when systems are compared.
class DifferenceList {
 public:
  void add(std::string text) { texts_.push_back(std::move(text)); }
  // 1-based; empty text beyond the count.
  std::string text(int position) const {
    return position >= 1 && position <= count() ? texts_[static_cast<std::size_t>(position - 1)] : std::string();
  }
  int count() const { return static_cast<int>(texts_.size()); }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

}  // namespace zorvik
