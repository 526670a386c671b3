#include "analysis/consistency_check.hpp"

#include <algorithm>
#include <cstdint>

#include "model/group_roles.hpp"
#include "model/language.hpp"
#include "model/trading_system.hpp"
#include "platform/host.hpp"
#include "rules/level_mirror.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

constexpr std::string_view kRule = "---------------";

void add(DifferenceList* list, std::string text) {
  if (list) list->add(std::move(text));
}

// Distinct texts in order of first appearance, at most kMaxCollected of them; `more` says
// that further distinct texts were seen and left out.
struct Collection {
  std::vector<std::string> values;
  bool more = false;

  void offer(const std::string& value) {
    if (std::find(values.begin(), values.end(), value) != values.end()) return;
    if (values.size() < kMaxCollected)
      values.push_back(value);
    else
      more = true;
  }
};

template <typename F>
void forEachIndicator(const TradingSystem& system, F&& f) {
  for (int g = 1; g <= 4 && g <= system.groupCount(); ++g)
    for (const auto& ind : system.group(g).indicators()) f(ind);
}

// "Chart" for the values that stand for the chart's own timeframe; a value holding a blank
// counts as its first word.
std::string timeframeOf(const Indicator& ind) {
  std::string value = ind.parameter("timeframe");
  if (value == "#0" || value == "?" || value.empty()) return "Chart";
  if (auto blank = value.find(' '); blank != std::string::npos) value.erase(blank);
  return value.empty() ? std::string("Chart") : value;
}

bool isLastEditTime(std::string_view name) { return name == std::string_view("lastedittime"); }

// A cheap fingerprint of what compareIndicators looks at: type, names and values in order,
// each by its length and three of its characters, with the value of "lastedittime" left out
// because the comparison tolerates it. Equal indicators always have equal keys, so a differing
// key rules a pair out without comparing texts; equal keys still get the full comparison.
std::uint64_t matchKey(const Indicator& ind) {
  std::uint64_t h = 1469598103934665603ULL;
  auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ULL; };
  auto mixText = [&mix](std::string_view s) {
    mix(s.size());
    if (s.empty()) return;
    const auto c = [](char ch) { return static_cast<std::uint64_t>(static_cast<unsigned char>(ch)); };
    mix(c(s.front()) | c(s[s.size() / 2]) << 8 | c(s.back()) << 16);
  };
  mixText(ind.type());
  for (const auto& p : ind.parameters()) {
    mixText(p.name);
    if (!isLastEditTime(p.name)) mixText(p.value);
  }
  return h;
}

}  // namespace

bool compareIndicators(const Indicator& a, const Indicator& b, DifferenceList* list,
                           const LanguageTable& language, bool mirrored) {
  if (a.type() != b.type()) return false;
  if (a.parameterCount() != b.parameterCount()) {
    if (list) list->add(language.translate("Ungleiche Parameterzahl kann nicht sein !"));
    return false;
  }
  bool equal = true;
  const auto& pa = a.parameters();
  const auto& pb = b.parameters();
  for (std::size_t i = 0; i < pa.size(); ++i) {
    if (pa[i].name != pb[i].name) {
      equal = false;
      if (!list) return false;
      list->add(language.translate("I:ungleiche Parameterfolge ???"));
    } else if (const std::string expected = mirrored ? mirroredParameter(b.type(), pb[i].name, pb[i].value) : pb[i].value;
               pa[i].value != expected) {
      if (isLastEditTime(pa[i].name)) {
        add(list, language.translate("ungleiche lastEditTime toleriert"));
      } else {
        equal = false;
        if (!list) return false;
        std::string text = "I:" + pa[i].name + " " + pa[i].value + "<>" + pb[i].value;
        // Both stored values are shown; the one compared is the reflection of the second.
        if (expected != pb[i].value) text += " (" + language.translate("gespiegelt") + " " + expected + ")";
        list->add(std::move(text));
      }
    }
  }
  return equal;
}

namespace {

// One to one: each indicator of b can be the partner of one indicator of a only, so a group
// holding the same indicator twice does not match a group holding it once plus another. For
// each indicator of a in order, the first untaken equal one of b becomes its partner; the result
// is the first indicator of a left without one, or null.
//
// This form tries the pairs in that order and records the findings of every pair it tries.
const Indicator* firstUnmatchedTryingAll(const SignalGroup& a, const SignalGroup& b, DifferenceList& list,
                                            const LanguageTable& language, bool mirrored) {
  std::vector<bool> taken(static_cast<std::size_t>(b.count()), false);
  for (const auto& ia : a.indicators()) {
    bool found = false;
    for (std::size_t j = 0; j < taken.size() && !found; ++j)
      if (!taken[j] && compareIndicators(ia, b.indicators()[j], &list, language, mirrored)) taken[j] = found = true;
    if (!found) return &ia;
  }
  return nullptr;
}

// The same partners without findings: b's indicators sorted by key (then position) leave only
// the candidates with a's key to compare, in position order, so the check stays near linear in
// the group size. Equal indicators have equal keys, so no partner is missed.
const Indicator* firstUnmatchedByKey(const SignalGroup& a, const SignalGroup& b,
                                        const LanguageTable& language) {
  std::vector<std::pair<std::uint64_t, std::size_t>> keysB;
  keysB.reserve(static_cast<std::size_t>(b.count()));
  for (std::size_t j = 0; j < b.indicators().size(); ++j) keysB.emplace_back(matchKey(b.indicators()[j]), j);
  std::sort(keysB.begin(), keysB.end());
  std::vector<bool> taken(keysB.size(), false);
  for (const auto& ia : a.indicators()) {
    const std::uint64_t key = matchKey(ia);
    bool found = false;
    for (auto it = std::lower_bound(keysB.begin(), keysB.end(), std::make_pair(key, std::size_t{0}));
         it != keysB.end() && it->first == key && !found; ++it) {
      const std::size_t j = it->second;
      if (!taken[j] && compareIndicators(ia, b.indicators()[j], nullptr, language)) taken[j] = found = true;
    }
    if (!found) return &ia;
  }
  return nullptr;
}

}  // namespace

bool compareGroups(const SignalGroup& a, const SignalGroup& b, DifferenceList* list,
                       const LanguageTable& language, bool mirrored) {
  add(list, language.translate("Check:") + a.name + "/" + b.name);
  bool equal = true;
  if (a.count() != b.count()) {
    equal = false;
    add(list, language.translate("ungleiche Indikatorenzahl ") + a.name + ": " + intText(a.count()) + " " + b.name + ": " +
                  intText(b.count()));
  } else {
    const Indicator* unmatched = nullptr;
    if (list) {
      unmatched = firstUnmatchedTryingAll(a, b, *list, language, mirrored);
    } else if (mirrored) {
      // The keyed search compares stored texts: b is reflected once, up front.
      SignalGroup reflected = b.clone();
      for (Indicator& ind : reflected.indicators()) ind = mirroredIndicator(ind);
      unmatched = firstUnmatchedByKey(a, reflected, language);
    } else {
      unmatched = firstUnmatchedByKey(a, b, language);
    }
    if (unmatched) {
      equal = false;
      add(list, a.name + " I:" + unmatched->type() + language.translate(" keine Übereinstimmung"));
    }
    if (equal) add(list, language.translate("Übereinstimmung"));
  }
  add(list, std::string(kRule));
  return equal;
}

bool compareStops(const SignalGroup& a, const SignalGroup& b, DifferenceList* list,
                     const LanguageTable& language) {
  add(list, language.translate("Check Stops:") + a.name + "/" + b.name);
  bool equal = true;
  const struct {
    std::string_view caption;
    const std::string& va;
    const std::string& vb;
  } stops[] = {{"Stoploss ungleich: ", a.sl, b.sl},
               {"Takeprofit ungleich: ", a.tp, b.tp},
               {"TrailingStop ungleich: ", a.ts, b.ts}};
  for (const auto& s : stops) {
    if (s.va == s.vb) continue;
    equal = false;
    if (list) list->add(language.translate(s.caption) + s.va + "<>" + s.vb);
  }
  if (equal && list) list->add(language.translate("Übereinstimmung STOPS"));
  add(list, std::string(kRule));
  return equal;
}

bool checkSymbols(const LanguageTable& language, const TradingSystem& system, DifferenceList* list, CheckTexts& texts) {
  const std::string& traded = system.mm.symbol;
  Collection found;
  forEachIndicator(system, [&](const Indicator& ind) { found.offer(ind.parameter("symbol")); });

  if (found.values.size() >= 2) {
    add(list, language.translate("Mehr als ein Instrument:"));
    texts.symbol.clear();
    for (std::size_t i = 0; i < found.values.size(); ++i) {
      add(list, intText(static_cast<std::int64_t>(i + 1)) + "." + found.values[i]);
      texts.symbol += found.values[i] + " ";
    }
    if (found.more) {
      if (list) list->add(language.translate("... und weitere, nur die ersten 100 sind aufgeführt"));
      texts.symbol += "... ";
    }
    return false;
  }
  if (found.values.size() == 1 && found.values.front() != traded) {
    add(list, language.translate("Gehandelt:") + traded);
    add(list, language.translate("Indikatoren:") + found.values.front());
    return false;
  }
  add(list, language.translate("überall gleiches Instrument ") + traded);
  texts.symbol = traded;
  return true;
}

bool checkTimeframes(const Workspace& ws, const TradingSystem& system, DifferenceList* list, CheckTexts& texts) {
  const auto timeframeCaption = [&ws](const std::string& id) {
    const std::string caption = ws.definitions.idToCaption("timeframe", id, ws.captionLanguage());
    return caption.empty() ? id : caption;
  };
  Collection found;
  forEachIndicator(system, [&](const Indicator& ind) { found.offer(timeframeOf(ind)); });

  if (found.values.size() >= 2) {
    if (list) list->add(ws.tr("Mehr als ein TimeFrame:"));
    // The trader reads "H1", not the id the file stores ("idH1").
    for (std::size_t i = 0; i < found.values.size(); ++i)
      add(list, intText(static_cast<std::int64_t>(i + 1)) + "." + timeframeCaption(found.values[i]));
    texts.timeframe = join(found.values, "/");
    if (found.more) {
      if (list) list->add(ws.tr("... und weitere, nur die ersten 100 sind aufgeführt"));
      texts.timeframe += "/...";
    }
    return false;
  }
  if (found.values.size() == 1) {
    if (list) {
      std::string lead = ws.tr("überall gleicher TimeFrame");
      if (!lead.ends_with(' ')) lead += ' ';
      list->add(lead + timeframeCaption(found.values.front()));
    }
    texts.timeframe = ws.definitions.idToCaption("timeframe", found.values.front(), ws.captionLanguage());
    return true;
  }
  if (list) list->add(ws.tr("gar kein TimeFrame"));
  texts.timeframe.clear();
  return false;
}

void showDifferences(const DifferenceList& list, Host& host) {
  std::string text;
  for (const auto& t : list.texts()) text += t + "\r\n";
  if (!text.empty()) host.message(text);
}

std::array<InfoRow, kInfoRowCount> infoRows(const CheckFlags& f, const CheckTexts& texts) {
  // An empty group shows its name in lower case.
  auto role = [&](GroupRole g) {
    const std::string name(roleInfo(g).name);
    return f.emptyGroup[static_cast<std::size_t>(groupNumber(g) - 1)] ? toLower(name) : name;
  };
  const std::string L = role(GroupRole::EntryLong), XL = role(GroupRole::ExitLong), S = role(GroupRole::EntryShort),
                    XS = role(GroupRole::ExitShort);
  return {{
      {L + (f.longEqualsXShort ? "=" : "<>") + XS, f.longEqualsXShort, "SysInfo_LXS"},
      {S + (f.shortEqualsXLong ? "=" : "<>") + XL, f.shortEqualsXLong, "SysInfo_SXL"},
      {f.allEqual ? std::string("====") : L + "<>" + S, f.allEqual, "SysInfo_Sall"},
      {f.stops ? "STOP=" : "STOP<>", f.stops, "SysInfo_STOP"},
      {f.symbolUniform ? "S:" + texts.symbol : std::string("Sym<>"), f.symbolUniform, "SysInfo_SYMBOL"},
      {"T:" + texts.timeframe, f.timeframeUniform, "SysInfo_TIME"},
  }};
}

CheckResult evaluateSystem(const Workspace& ws, const TradingSystem& system, bool withDifferences) {
  CheckResult r;
  DifferenceList* list = withDifferences ? &r.differences : nullptr;
  const LanguageTable& language = ws.language;
  add(list, language.translate("HS:") + system.systemFileName);
  add(list, std::string(kRule));

  for (int g = 1; g <= 4; ++g) r.flags.emptyGroup[static_cast<std::size_t>(g - 1)] = system.group(g).count() == 0;
  r.flags.longEqualsXShort = compareGroups(system.group(1), system.group(4), list, language);
  r.flags.shortEqualsXLong = compareGroups(system.group(2), system.group(3), list, language);
  if (r.flags.longEqualsXShort && r.flags.shortEqualsXLong)
    r.flags.allEqual = compareGroups(system.group(1), system.group(2), list, language, /*mirrored=*/true);
  r.flags.stops = compareStops(system.group(2), system.group(4), list, language);
  r.flags.symbolUniform = checkSymbols(language, system, list, r.texts);
  r.flags.timeframeUniform = checkTimeframes(ws, system, list, r.texts);

  r.drawRows = !system.systemFileName.empty();
  if (r.drawRows) r.rows = infoRows(r.flags, r.texts);
  if (withDifferences) r.lint = lintSystem(ws, system);
  return r;
}

CheckResult checkSystem(const Workspace& ws, const TradingSystem& system, CheckMode mode) {
  CheckResult r = evaluateSystem(ws, system, mode != CheckMode::Silent);
  if (mode == CheckMode::Silent) return r;
  Host& host = ws.host();
  if (mode == CheckMode::Messages) {
    if (r.flags.longEqualsXShort) host.message("LONG = XSHORT");
    if (r.flags.shortEqualsXLong) host.message("SHORT = XLONG");
    if (r.flags.stops) host.message(ws.tr("STOPS gleich"));
    if (r.flags.symbolUniform) host.message(ws.tr("Symbol überall gleich"));
    if (r.flags.timeframeUniform) host.message(ws.tr("Timeframe überall gleich"));
  }
  DifferenceList shown = r.differences;
  if (!r.lint.empty()) shown.add(std::string(kRule));
  for (const LintFinding& f : r.lint)
    shown.add(ws.tr(f.level == LintLevel::Error ? "Fehler: " : f.level == LintLevel::Warn ? "Warnung: " : "Hinweis: ") +
              f.text);
  if (shown.count() > 0) showDifferences(shown, host);
  return r;
}

int infoRowHeight(int panelHeight) {
  return panelHeight <= 0 ? 0 : static_cast<int>(roundHalfEven(panelHeight / 6.0));
}

int infoRowAt(int mouseY, int panelHeight) {
  if (panelHeight <= 0) return 0;
  const long long row = static_cast<long long>(mouseY) * kInfoRowCount / panelHeight + 1;
  return static_cast<int>(std::clamp<long long>(row, 1, kInfoRowCount));
}

}  // namespace zorvik
