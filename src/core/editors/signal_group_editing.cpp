#include "editors/signal_group_editing.hpp"

#include <algorithm>
#include <cmath>

#include "model/catalogue.hpp"
#include "model/component_files.hpp"
#include "model/language.hpp"
#include "model/signal_group.hpp"
#include "text/numbers.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

std::string twoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// floor(x * factor) / factor. A share such as 29 of 100 is 28.999999999999996 in binary and
// must still read 29, so a rounding error far below the shown digits is forgiven.
double cutDecimals(double x, double factor) {
  const double scaled = x * factor;
  return std::floor(scaled + 1e-9 * std::max(1.0, std::fabs(scaled))) / factor;
}

}  // namespace

std::string stopCopyCaption(const LanguageTable& language, int group) {
  const auto role = groupRoleOf(group);
  if (!role) return {};
  // An entry group has no stop partner; its (hidden) button names none.
  const auto partner = roleInfo(*role).stopPartner;
  const std::string_view target = partner ? roleInfo(*partner).name : "-";
  return language.translate("Dieses STOP nach") + " " + std::string(target) + " " + language.translate("kopieren");
}

std::string settingsCopyCaption(const LanguageTable& language, int group) {
  const auto role = groupRoleOf(group);
  if (!role) return {};
  const GroupRoleInfo& r = roleInfo(*role);
  return language.translate("Diese") + " " + std::string(r.name) + language.translate("-Einstellungen nach") + " " +
         std::string(roleInfo(r.counterpart).name) + " " + language.translate("kopieren");
}

long long signalTotal(const SignalGroup& group) {
  double total = 0;
  for (const auto& ind : group.indicators()) total = roundHalfEven(total + leadingNumber(ind.parameter("value")));
  return static_cast<long long>(total);
}

std::string editTimeLabel(double daySerial) {
  if (daySerial == 0) return {};
  const DateTime t = fromDaySerial(daySerial);
  return std::to_string(t.day) + "." + std::to_string(t.month) + "." + std::to_string(t.year) + " " +
         twoDigits(t.hour) + ":" + twoDigits(t.minute);
}

std::string fnk1(double x) { return invariantNumber(cutDecimals(x, 10)); }
std::string fnk2(double x) { return invariantNumber(cutDecimals(x, 100)); }

std::string shareText(const LanguageTable& language, std::string_view valueText, long long total) {
  const double share = total == 0 ? 0.0 : leadingNumber(valueText) / double(total) * 100.0;
  return std::string(valueText) + language.translate(" von ") + std::to_string(total) + "=" + fnk2(share) + "%";
}

std::string numberText(int number) { return " # " + std::to_string(number); }

IndicatorListRow listRow(const LanguageTable& language, const Indicator& indicator, int number, long long total) {
  IndicatorListRow row;
  row.number = number;
  row.columns = {indicator.type(), editTimeLabel(leadingNumber(indicator.parameter("lastedittime"))),
                 indicator.toShortString(), shareText(language, indicator.parameter("value"), total), numberText(number)};
  return row;
}

std::vector<IndicatorListRow> listRows(const LanguageTable& language, const SignalGroup& group) {
  const long long total = signalTotal(group);
  std::vector<IndicatorListRow> rows;
  for (int k = 1; k <= group.count(); ++k) rows.push_back(listRow(language, group.indicator(k), k, total));
  return rows;
}

void ListSorting::click(int column) {
  if (column < 0 || column >= kListColumns) return;
  const SortIcon next = icon(column) == SortIcon::Up ? SortIcon::Down : SortIcon::Up;
  icons_.fill(SortIcon::None);
  icons_[static_cast<std::size_t>(column)] = next;
  column_ = column;
}

SortIcon ListSorting::icon(int column) const {
  return column >= 0 && column < kListColumns ? icons_[static_cast<std::size_t>(column)] : SortIcon::None;
}

std::vector<IndicatorListRow> ListSorting::apply(std::vector<IndicatorListRow> rows) const {
  if (column_ < 0) return rows;
  const auto c = static_cast<std::size_t>(column_);
  if (ascending())
    std::stable_sort(rows.begin(), rows.end(), [c](const auto& a, const auto& b) { return a.columns[c] < b.columns[c]; });
  else
    std::stable_sort(rows.begin(), rows.end(), [c](const auto& a, const auto& b) { return b.columns[c] < a.columns[c]; });
  return rows;
}

Indicator newIndicatorWithDefaults(const Workspace& ws, std::string_view type, double nowSerial) {
  Indicator ind{std::string(type)};
  applyIndicatorDefaults(ws, ind, nowSerial);
  return ind;
}

std::string toolboxKindOfSelection(int selected, int total) {
  if (selected == 0) return {};
  if (selected == 1) return "Indikator";
  if (selected == total) return "Indikatorengruppe";
  return "MultiIndikator";
}

bool storeGroupValue(SignalGroup& group, std::string_view key, std::string value) {
  if (key == "stop_sl") group.sl = std::move(value);
  else if (key == "stop_tp") group.tp = std::move(value);
  else if (key == "stop_ts") group.ts = std::move(value);
  else if (key == "threshold") group.threshold = std::move(value);
  else return false;
  return true;
}

std::string groupValue(const SignalGroup& group, std::string_view key) {
  if (key == "stop_sl") return group.sl;
  if (key == "stop_tp") return group.tp;
  if (key == "stop_ts") return group.ts;
  if (key == "threshold") return group.threshold;
  return {};
}

void IndicatorEdit::start(const SignalGroup& group, int number) {
  copy_.reset();
  number_ = 0;
  if (number < 1 || number > group.count()) return;
  copy_ = group.indicator(number).clone();
  number_ = number;
}

bool IndicatorEdit::changed(const SignalGroup& group) const {
  if (!copy_ || number_ < 1 || number_ > group.count()) return false;
  return !(group.indicator(number_) == *copy_);
}

bool IndicatorEdit::finish(SignalGroup& group, double nowSerial) {
  if (number_ < 1 || number_ > group.count()) return false;
  Indicator& ind = group.indicator(number_);
  ind.setRaw("lastedittime", editTimeText(nowSerial));
  if (editResult == 1) {
    group.editok = 1;
    return true;
  }
  if (!copy_) return false;
  ind = *copy_;
  return true;
}

}  // namespace zorvik
