#pragma once
// The parameter and indicator catalogue: which parameters exist, how they are captioned,
// bounded and defaulted, which parameters every indicator type and component kind takes,
// and the value lists the generator translates stored ids through.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class LanguageTable;

struct ParameterCoding {
  std::string key;
  std::string caption;         // German, with its language tag
  std::string englishCaption;
  std::string alias;
  std::string description;     // tool tip of the caption, translated for display
  float minimum = 0;
  float maximum = 0;
  float step = 0;
  std::string kind;            // "-" or empty slider, a list name combo, "!" text, "&" multi-line
  std::string defaultValue;    // a number, "#n", "Symbol()" or "-"
  std::int32_t scale = 1;      // slider position = value * scale; 0: positions are the values
  std::string zeroText;        // shown instead of "0"
};

// Parses one catalogue row of up to twelve comma-separated columns.
ParameterCoding parseParameterRow(std::string_view row);

// A pair of equally long lists: the ids stored in files and the values the generator writes.
struct ValueList {
  std::vector<std::string> ids;
  std::vector<std::string> values;
  std::size_t size() const { return ids.size(); }
  // The value at the position of the id, ids compared without regard to case; "0" if absent.
  const std::string& valueOf(std::string_view id) const;
  static ValueList fromTexts(std::string_view ids, std::string_view values);
};

class Catalogue {
 public:
  // Builds the 48 parameter rows and the value lists. The symbol list is "Symbol()" followed
  // by the symbols of the current broker list; in English the first entries of Symbols and
  // Timeframes are translated.
  void readParameterCoding(const LanguageTable& language, const std::vector<std::string>& brokerSymbols);
  // Builds the eighteen indicator-type and component-kind rows and the indicator-type list.
  void readIndicatorCoding();
  // Rebuilds Symbols after the broker symbol list changed.
  void setSymbols(const LanguageTable& language, const std::vector<std::string>& brokerSymbols);

  const std::vector<std::string>& parameterRows() const { return parameterRows_; }
  const std::vector<ParameterCoding>& parameters() const { return parameters_; }
  const std::vector<std::string>& indicatorRows() const { return indicatorRows_; }
  std::size_t indicatorTypeCount() const { return indicatorTypeCount_; }
  const ValueList& indicatorTypes() const { return indicatorTypes_; }

  // The whole row whose text begins with the type name and ","; empty if none.
  std::string findIndicatorRow(std::string_view typeName) const;
  // The parameter keys of a type or "!" row, in order; empty if the row is unknown.
  const std::vector<std::string>& parameterKeysOf(std::string_view typeName) const;
  // 1-based index of the parameter row of a key; 0 if none.
  std::size_t findParameterRow(std::string_view key) const;
  const ParameterCoding* parameter(std::string_view key) const;
  // The translated caption of a parameter; empty for an unknown key.
  std::string parameterCaption(std::string_view key, const LanguageTable& language) const;

  ValueList symbols;
  ValueList timeframes;
  ValueList maMethods;
  ValueList pricetypes;
  ValueList pricefields;

 private:
  std::vector<std::string> parameterRows_;
  std::vector<ParameterCoding> parameters_;
  std::vector<std::string> indicatorRows_;
  std::vector<std::vector<std::string>> indicatorKeys_;  // the parameter keys of each row
  std::size_t indicatorTypeCount_ = 0;
  ValueList indicatorTypes_;
};

// For apricefast the values "CLOSE" and "#0" become "idCLOSEf", for apriceslow "idCLOSEs";
// everything else is returned unchanged.
std::string normalisePriceValue(std::string_view key, std::string_view value);

// ".5" -> "0.5"; any other text unchanged.
std::string leadingZero(std::string_view number);

}  // namespace zorvik
