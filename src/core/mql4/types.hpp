#pragma once
// The value types of MQL4.
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::mql4 {

enum class BaseType : std::uint8_t {
  Void,
  Bool,
  Char,
  UChar,
  Short,
  UShort,
  Int,
  UInt,
  Long,
  ULong,
  Float,
  Double,
  String,
  Datetime,
  Color,
  Null,   // the type of NULL: fits a string and a number alike
  Any,    // built-in parameters that take every type (ArraySize, Print ...)
  Error,  // an expression already reported; checked no further, so one fault gives one message
};

struct Type {
  BaseType base = BaseType::Error;
  std::uint8_t dims = 0;  // array rank; 0 for a plain value

  bool operator==(const Type&) const = default;
  bool isArray() const { return dims > 0; }
  bool isError() const { return base == BaseType::Error; }
  bool isString() const { return dims == 0 && base == BaseType::String; }
  // Every scalar that takes part in arithmetic: bool, the integers, floating point, datetime, color.
  bool isNumeric() const {
    return dims == 0 && base != BaseType::Void && base != BaseType::String && base != BaseType::Null &&
           base != BaseType::Any && base != BaseType::Error;
  }
  bool isIntegral() const { return isNumeric() && base != BaseType::Float && base != BaseType::Double; }
  Type element() const { return {base, static_cast<std::uint8_t>(dims > 0 ? dims - 1 : 0)}; }
};

inline constexpr Type kVoid{BaseType::Void, 0};
inline constexpr Type kBool{BaseType::Bool, 0};
inline constexpr Type kInt{BaseType::Int, 0};
inline constexpr Type kLong{BaseType::Long, 0};
inline constexpr Type kDouble{BaseType::Double, 0};
inline constexpr Type kString{BaseType::String, 0};
inline constexpr Type kDatetime{BaseType::Datetime, 0};
inline constexpr Type kColor{BaseType::Color, 0};
inline constexpr Type kNull{BaseType::Null, 0};
inline constexpr Type kErrorType{BaseType::Error, 0};

// The keyword of a base type ("int", "datetime" ...); nullptr-like false when the word is none.
bool baseTypeOfKeyword(std::string_view word, BaseType& out);
std::string typeName(Type t);

}  // namespace zorvik::mql4
