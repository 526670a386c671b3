#pragma once
// The values a running MQL4 program holds: one cell per variable, arrays of cells, and the
// conversions between integral, floating and string values as the terminal makes them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "mql4/diagnostic.hpp"
#include "mql4/types.hpp"

namespace zorvik::mql4::interpreter {

// The most elements an array may hold (a terminal would run out of memory long before).
constexpr long long kMaxArrayCells = 10'000'000;

// A critical error of the running program: the terminal stops the EA. The translation throws
// it too, for a program it refuses to run.
struct CriticalError : std::runtime_error {
  CriticalError(SourcePos p, const std::string& what)
      : std::runtime_error("line " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " + what) {}
};

// How a node computes its value natively; the other kinds are converted from it.
enum class ValueKind : std::uint8_t { Int, Double, String, Void };

inline ValueKind kindOf(Type t) {
  if (t.dims > 0) return ValueKind::Void;
  switch (t.base) {
    case BaseType::Float:
    case BaseType::Double: return ValueKind::Double;
    case BaseType::String: return ValueKind::String;
    case BaseType::Void: return ValueKind::Void;
    default: return ValueKind::Int;
  }
}

struct ArrayValue;

// What the arrays and strings of one run take together, against the run's memory budget.
// Strings count by their length, arrays by their cells.
struct MemoryMeter {
  long long used = 0;
  long long limit = 0;
};

// One variable: every integral type (bool, datetime, color too) lives in intValue, float and
// double in doubleValue. A reference parameter points at the caller's variable.
struct ValueCell {
  long long intValue = 0;
  double doubleValue = 0;
  std::string stringValue;
  std::unique_ptr<ArrayValue> array;
  ValueCell* ref = nullptr;
  ValueCell& target() { return ref ? *ref : *this; }
};

struct ArrayValue {
  ArrayValue() = default;
  ArrayValue(const ArrayValue&) = delete;
  ArrayValue& operator=(const ArrayValue&) = delete;
  // Gives back to the meter what the array and the strings in it took.
  ~ArrayValue() {
    if (!meter) return;
    long long bytes = static_cast<long long>(cells.size() * sizeof(ValueCell));
    if (base == BaseType::String)
      for (const ValueCell& x : cells) bytes += static_cast<long long>(x.stringValue.size());
    meter->used -= bytes;
  }

  BaseType base = BaseType::Int;
  std::vector<int> dims;  // the first may grow (ArrayResize); the others are fixed
  std::vector<ValueCell> cells;
  MemoryMeter* meter = nullptr;  // the run's, once the cells were charged to it
  // Cells per step of the first index.
  std::size_t inner() const {
    std::size_t n = 1;
    for (std::size_t k = 1; k < dims.size(); ++k) n *= static_cast<std::size_t>(dims[k]);
    return n;
  }
};

// Double to integer as the processor does it for values out of range, without the undefined
// behaviour of a plain cast.
inline long long toInteger(double v) {
  if (!(v > -9.2e18 && v < 9.2e18)) return std::numeric_limits<long long>::min();
  return static_cast<long long>(v);
}

// An integer cut to the width and signedness of the type it is stored in.
inline long long wrapToType(BaseType b, long long v) {
  switch (b) {
    case BaseType::Bool: return v != 0;
    case BaseType::Char: return static_cast<signed char>(v);
    case BaseType::UChar: return static_cast<unsigned char>(v);
    case BaseType::Short: return static_cast<short>(v);
    case BaseType::UShort: return static_cast<unsigned short>(v);
    case BaseType::Int: return static_cast<int>(v);
    case BaseType::UInt:
    case BaseType::Color: return static_cast<unsigned int>(v);
    default: return v;
  }
}

// A double with `digits` decimals (clamped to 0..16); nan and inf spelled as the terminal does.
std::string doubleText(double v, int digits);
// Seconds since 1970 as "yyyy.mm.dd hh:mi:ss"; mode is TIME_DATE (1) | TIME_MINUTES (2) |
// TIME_SECONDS (4).
std::string timeText(long long t, int mode);

inline long long parseInteger(const std::string& s) { return std::strtoll(s.c_str(), nullptr, 10); }
inline double parseDouble(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

}  // namespace zorvik::mql4::interpreter
