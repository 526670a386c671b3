#pragma once
// What the terminal gives every MQL4 program without a declaration: the built-in functions with
// their exact signatures, the predefined variables and series (read-only), and the predefined
// constants with their values. Names that only a standard header declares (ErrorDescription of
// <stdlib.mqh>) carry that header and are known only where the program includes it.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mql4/types.hpp"

namespace zorvik::mql4 {

struct BuiltinParam {
  std::string name;
  Type type;                 // base Any: every type of the right rank
  bool isReference = false;  // needs a variable (arrays always do)
  bool hasDefault = false;
  std::string defaultText;   // as the reference writes it: "clrNONE", "0", "WHOLE_ARRAY"
};

struct Builtin {
  std::string name;
  Type returnType;
  std::vector<BuiltinParam> params;
  bool variadic = false;  // "...": any number of further arguments of any scalar type
  std::size_t minArgs = 0;
  std::string header;     // "" for the terminal's own, else the header that declares it
};

struct BuiltinValue {
  std::string name;
  Type type;
  bool isConstant = false;  // a constant; otherwise a predefined variable or series, read-only
  long long intValue = 0;
  double doubleValue = 0;
  std::string header;
  std::string stringValue;  // of a string constant
};

class BuiltinTable {
 public:
  static const BuiltinTable& instance();

  // Every overload of a built-in function of that name; empty when there is none.
  const std::vector<const Builtin*>& functions(std::string_view name) const;
  const BuiltinValue* value(std::string_view name) const;
  // Whether <name> is a standard header we know (the names it declares are in the table). File
  // names compare as Windows compares them, without regard to case; headers are kept in lower case.
  bool knowsHeader(std::string_view name) const;

  const std::vector<Builtin>& allFunctions() const { return functions_; }
  const std::vector<BuiltinValue>& allValues() const { return values_; }

 private:
  BuiltinTable();
  // Every predefined variable, series and constant, variables first, in the order allValues()
  // lists them. Built from the tables in builtin_values.cpp.
  static std::vector<BuiltinValue> predefinedValues();
  std::vector<Builtin> functions_;
  std::vector<BuiltinValue> values_;
  std::unordered_map<std::string_view, std::vector<const Builtin*>> byName_;
  std::unordered_map<std::string_view, const BuiltinValue*> valueByName_;
};

}  // namespace zorvik::mql4
