#pragma once
// Values of command-line options, read strictly: the whole text must be the number, so "20x",
// "1e3" or an empty value is refused instead of read in part.
#include <optional>
#include <string>

namespace zorvik::cli {

// A whole number from low to high.
std::optional<long long> wholeNumber(const std::string& text, long long low, long long high);
// A positive amount in plain decimals ("10000", "2500.50").
std::optional<double> amount(const std::string& text);

}  // namespace zorvik::cli
