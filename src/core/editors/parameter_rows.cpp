#include "editors/parameter_rows.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/catalogue.hpp"
#include "text/numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

int toPosition(double v) {
  if (std::isnan(v)) return 0;
  const double r = roundHalfEven(v);
  return static_cast<int>(std::clamp(r, double(std::numeric_limits<std::int16_t>::min()),
                                     double(std::numeric_limits<std::int16_t>::max())));
}

bool isSymbolKey(std::string_view key) { return key == "Symbol" || key == "mm_symbol" || key == "symbol"; }

constexpr std::string_view kTableKeys[] = {"timeframe",  "ma_method",        "pricetype",      "pricefield",
                                           "actiontyp",  "mm_hedging",       "mm_typ",         "apricefast",
                                           "apriceslow", "general_kontotyp", "general_broker", "general_account"};

bool isTableKey(std::string_view key) {
  return std::find(std::begin(kTableKeys), std::end(kTableKeys), key) != std::end(kTableKeys);
}

}  // namespace

RowKind rowKindOf(std::string_view kind) {
  if (kind.empty() || kind == "-") return RowKind::Slider;
  if (kind == "!") return RowKind::Text;
  if (kind == "&") return RowKind::MultiText;
  return RowKind::Combo;
}

ColumnSet columnSetFor(int widthMeasure) { return widthMeasure < 341 ? kCompactColumns : kWideColumns; }

ColumnSet columnSetForContainer(const ColumnSet& programWide, int containerWidth) {
  return containerWidth < 341 ? kCompactColumns : programWide;
}

RowColumns rowColumns(const ColumnSet& set, int scaleWidth) {
  RowColumns c;
  c.captionX = set.margin;
  c.captionWidth = set.captionWidth;
  c.middleX = set.margin + set.captionWidth + set.gap;
  c.middleWidth = std::max(0, scaleWidth - 2 * (set.margin + set.gap) - set.valueWidth - set.captionWidth);
  c.valueX = scaleWidth - set.margin - set.valueWidth;
  c.valueWidth = set.valueWidth;
  return c;
}

int effectiveScale(std::int32_t scale) { return scale == 0 ? 1 : scale; }

SliderRange sliderRangeFor(const ParameterCoding& p, std::string_view value) {
  const double s = effectiveScale(p.scale);
  SliderRange r;
  r.min = toPosition(double(p.minimum) * s);
  r.max = toPosition(double(p.maximum) * s);
  r.smallChange = toPosition(double(p.step) * s);
  r.value = toPosition(leadingNumber(value) * s);
  return r;
}

std::string displayedValue(std::string_view value, std::string_view zeroText) {
  if (!zeroText.empty() && value == "0") return std::string(zeroText);
  return std::string(value);
}

std::string sliderText(int position, int scale) { return invariantNumber(double(position) / effectiveScale(scale)); }

int positionOfText(std::string_view text, int scale, std::string_view zeroText) {
  if (!zeroText.empty() && text == zeroText) return 0;
  return toPosition(leadingNumber(text) * effectiveScale(scale));
}

std::string storedValueOfText(std::string_view text, std::string_view zeroText) {
  if (!zeroText.empty() && text == zeroText) return "0";
  return std::string(text);
}

std::optional<std::vector<std::string>> comboEntries(const Workspace& ws, std::string_view key) {
  if (isSymbolKey(key)) return ws.catalogue.symbols.ids;
  if (isTableKey(key)) return ws.definitions.captionsOf(key, ws.captionLanguage());
  return std::nullopt;
}

std::string comboDisplayText(const Workspace& ws, std::string_view key, std::string_view value) {
  return ws.definitions.idToCaption(key, value, ws.captionLanguage());
}

int comboSelection(const std::vector<std::string>& entries, std::string_view displayText, std::string_view value) {
  if (entries.empty()) return -1;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == displayText) return static_cast<int>(i);
  if (!value.empty() && value.front() == '#') {
    const double n = leadingNumber(value.substr(1));
    if (n >= 0 && n < double(entries.size()) && n == std::floor(n)) return static_cast<int>(n);
  }
  return 0;
}

std::string comboChosenId(const Workspace& ws, std::string_view key, std::string_view caption) {
  return ws.definitions.captionToId(key, caption, ws.captionLanguage());
}

}  // namespace zorvik
