#include "model/catalogue.hpp"

#include <charconv>

#include "model/catalogue_rows.hpp"
#include "model/language.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

float parseFloat(std::string_view s) {
  std::string t = trim(s);
  float v = 0;
  const char* b = t.data();
  if (!t.empty() && t.front() == '+') ++b;
  std::from_chars(b, t.data() + t.size(), v);
  return v;
}

std::string field(const std::vector<std::string>& f, std::size_t i) { return i < f.size() ? f[i] : std::string(); }

}  // namespace

ParameterCoding parseParameterRow(std::string_view row) {
  const auto f = split(row, ",", 100);
  ParameterCoding p;
  p.key = field(f, 0);
  p.caption = field(f, 1);
  p.englishCaption = field(f, 2);
  p.alias = field(f, 3);
  p.description = field(f, 4);
  p.minimum = parseFloat(field(f, 5));
  p.maximum = parseFloat(field(f, 6));
  p.step = parseFloat(field(f, 7));
  p.kind = field(f, 8);
  p.defaultValue = field(f, 9);
  std::string scale = field(f, 10);
  p.scale = toInt32(scale.empty() ? "1" : scale);
  p.zeroText = field(f, 11);
  return p;
}

const std::string& ValueList::valueOf(std::string_view id) const {
  static const std::string kNone = "0";
  for (std::size_t i = 0; i < ids.size() && i < values.size(); ++i)
    if (iequals(ids[i], id)) return values[i];
  return kNone;
}

ValueList ValueList::fromTexts(std::string_view ids, std::string_view values) {
  return ValueList{splitList(ids, ","), splitList(values, ",")};
}

void Catalogue::readParameterCoding(const LanguageTable& language, const std::vector<std::string>& brokerSymbols) {
  parameterRows_.assign(kParameterRows.begin(), kParameterRows.end());
  parameters_.clear();
  parameters_.reserve(parameterRows_.size());
  for (const auto& row : parameterRows_) parameters_.push_back(parseParameterRow(row));

  setSymbols(language, brokerSymbols);

  timeframes = ValueList::fromTexts("idChart,idM1,idM5,idM15,idM30,idH1,idH4,idD1,idW1,idMN1",
                                    "0,1,5,15,30,60,240,1440,10080,43200");
  if (language.english()) timeframes.ids.front() = language.translate(timeframes.ids.front());
  maMethods = ValueList::fromTexts("idSimple,idExponential,idSmoothed,idLinear Weighted",
                                   "MODE_SMA,MODE_EMA,MODE_SMMA,MODE_LWMA");
  pricetypes = ValueList::fromTexts(
      "idCLOSE,idMEDIAN,idTYPICAL,WEIGHTED,idLOW,idHIGH,idOPEN",
      "PRICE_CLOSE,PRICE_MEDIAN,PRICE_TYPICAL,PRICE_WEIGHTED,PRICE_LOW,PRICE_HIGH,PRICE_OPEN");
  pricefields = ValueList::fromTexts("idlow/high,idclose/close", "0,1");
}

void Catalogue::setSymbols(const LanguageTable& language, const std::vector<std::string>& brokerSymbols) {
  symbols.ids.assign(1, "Symbol()");
  symbols.ids.insert(symbols.ids.end(), brokerSymbols.begin(), brokerSymbols.end());
  symbols.values = symbols.ids;
  if (language.english()) symbols.ids.front() = language.translate(symbols.ids.front());
}

void Catalogue::readIndicatorCoding() {
  indicatorRows_.assign(kIndicatorRows.begin(), kIndicatorRows.end());
  indicatorKeys_.clear();
  for (const std::string& row : indicatorRows_) {
    auto keys = split(row, ",");
    keys.erase(keys.begin());
    indicatorKeys_.push_back(std::move(keys));
  }
  indicatorTypeCount_ = 12;
  indicatorTypes_ = {};
  for (std::size_t i = 0; i < indicatorTypeCount_; ++i) {
    std::string name = indicatorRows_[i].substr(0, indicatorRows_[i].find(','));
    indicatorTypes_.ids.push_back(name);
    indicatorTypes_.values.push_back(name);
  }
}

namespace {
// A row whose first column is exactly `key`; looked up for every parameter of every indicator
// the generator writes, so it compares in place instead of building a prefix.
bool rowHasKey(std::string_view row, std::string_view key) {
  return row.size() > key.size() && row[key.size()] == ',' && row.substr(0, key.size()) == key;
}
}  // namespace

std::string Catalogue::findIndicatorRow(std::string_view typeName) const {
  for (const auto& row : indicatorRows_)
    if (rowHasKey(row, typeName)) return row;
  return {};
}

const std::vector<std::string>& Catalogue::parameterKeysOf(std::string_view typeName) const {
  static const std::vector<std::string> kNone;
  for (std::size_t i = 0; i < indicatorRows_.size() && i < indicatorKeys_.size(); ++i)
    if (rowHasKey(indicatorRows_[i], typeName)) return indicatorKeys_[i];
  return kNone;
}

std::size_t Catalogue::findParameterRow(std::string_view key) const {
  for (std::size_t i = 0; i < parameterRows_.size(); ++i)
    if (rowHasKey(parameterRows_[i], key)) return i + 1;
  return 0;
}

const ParameterCoding* Catalogue::parameter(std::string_view key) const {
  std::size_t row = findParameterRow(key);
  return row == 0 ? nullptr : &parameters_[row - 1];
}

std::string Catalogue::parameterCaption(std::string_view key, const LanguageTable& language) const {
  const ParameterCoding* p = parameter(key);
  return p ? language.translate(p->caption) : std::string();
}

std::string normalisePriceValue(std::string_view key, std::string_view value) {
  if (value == "CLOSE" || value == "#0") {
    if (key == "apricefast") return "idCLOSEf";
    if (key == "apriceslow") return "idCLOSEs";
  }
  return std::string(value);
}

std::string leadingZero(std::string_view number) {
  if (!number.empty() && number.front() == '.') return "0" + std::string(number);
  return std::string(number);
}

}  // namespace zorvik
