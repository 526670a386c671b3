#pragma once
// One indicator instance of a signal group: its type and its parameters as ordered
// name/value pairs. Values are text; ids of choice parameters are stored as ids.
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class DefinitionTable;
class LanguageTable;

class Indicator {
 public:
  struct Parameter {
    std::string name;
    std::string value;
    bool operator==(const Parameter&) const = default;
  };

  Indicator() = default;
  explicit Indicator(std::string type) : type_(std::move(type)) {}

  void init(std::string type) { type_ = std::move(type); }
  void setType(std::string type) { type_ = std::move(type); }
  const std::string& type() const { return type_; }

  // Stores a value by name. "#n" becomes the (n+1)-th id of the parameter's list; for
  // "symbol" the translated "Aktuelles Symbol" becomes "Symbol()". A new name is appended,
  // an existing one keeps its place.
  void setParameter(const DefinitionTable& definitions, const LanguageTable& language, std::string_view name,
                    std::string_view value);
  // Stores a value exactly as given (readers of already normalised data, tests).
  void setRaw(std::string_view name, std::string value);
  // The value setParameter would store for this name.
  static std::string storedValue(const DefinitionTable& definitions, const LanguageTable& language,
                                 std::string_view name, std::string_view value);
  // Bulk access for readers that keep their own name index: no search by name.
  void appendParameter(std::string name, std::string value) { params_.push_back({std::move(name), std::move(value)}); }
  // 1-based; nothing beyond the count.
  void setParameterValue(int position, std::string value);

  // The value of the first parameter with that name; empty if none.
  const std::string& parameter(std::string_view name) const;
  bool hasParameter(std::string_view name) const;

  int parameterCount() const { return static_cast<int>(params_.size()); }
  // 1-based; empty text beyond the count.
  std::string parameterValue(int position) const;
  std::string parameterName(int position) const;
  // Resizes the list to count entries, keeping existing ones; new ones are empty pairs.
  void resizeParameters(int count);
  const std::vector<Parameter>& parameters() const { return params_; }

  Indicator clone() const { return *this; }

  // "name=value;name=value", no trailing ";".
  std::string toString() const;
  // The comment first, then every other value except "lastedittime", joined by "/".
  std::string toShortString() const;

  bool operator==(const Indicator&) const = default;

 private:
  Parameter* find(std::string_view name);
  const Parameter* find(std::string_view name) const;

  std::string type_;
  std::vector<Parameter> params_;
};

}  // namespace zorvik
