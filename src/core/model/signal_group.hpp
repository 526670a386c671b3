#pragma once
// A signal group (entry long, exit long, entry short, exit short): its threshold, its stops
// and its indicators in order. Positions are 1-based as everywhere in the program.
#include <cstdint>
#include <string>
#include <vector>

#include "model/indicator.hpp"

namespace zorvik {

class clsEntryexittyp {
 public:
  clsEntryexittyp() = default;
  explicit clsEntryexittyp(std::string roleName) : name(std::move(roleName)) {}

  std::string threshold;  // percentage 1..100 of the sum of the signal values
  std::string name;       // "L", "XL", "S" or "XS"
  std::string sl;         // stop loss, used by the exit groups
  std::string ts;         // trailing stop
  std::string tp;         // take profit
  std::int32_t editok = 0;

  int count() const { return static_cast<int>(indicators_.size()); }
  // Resizes to newCount indicators, keeping the existing ones; new slots hold empty indicators.
  void neudimIndikator(int newCount);
  // Removes the indicator at a position; later ones move forward. Out of range: nothing.
  void removeIndikator(int position);
  void addIndikator(clsIndikator indicator) { indicators_.push_back(std::move(indicator)); }

  // 1-based; the caller keeps the position within 1..count().
  clsIndikator& indikator(int position) { return indicators_.at(static_cast<std::size_t>(position - 1)); }
  const clsIndikator& indikator(int position) const { return indicators_.at(static_cast<std::size_t>(position - 1)); }
  void setIndikator(int position, clsIndikator indicator) { indikator(position) = std::move(indicator); }
  const std::vector<clsIndikator>& indicators() const { return indicators_; }
  std::vector<clsIndikator>& indicators() { return indicators_; }

  clsEntryexittyp clone() const { return *this; }
  bool operator==(const clsEntryexittyp&) const = default;

 private:
  std::vector<clsIndikator> indicators_;
};

// A list of texts collecting the differences found when systems are compared.
class clsUngleich {
 public:
  void add(std::string text) { texts_.push_back(std::move(text)); }
  // 1-based; empty text beyond the count.
  std::string getT(int position) const {
    return position >= 1 && position <= count() ? texts_[static_cast<std::size_t>(position - 1)] : std::string();
  }
  int count() const { return static_cast<int>(texts_.size()); }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

}  // namespace zorvik
