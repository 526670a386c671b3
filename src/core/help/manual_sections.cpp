#include "help/manual_sections.hpp"

#include <array>

#include "text/strings.hpp"

namespace zorvik {
namespace {

struct Section {
  std::string_view german;   // anchor in index.html
  std::string_view english;  // anchor in index_en.html
};

constexpr Section kWindow{"fenster", "window"};
constexpr Section kFirstSteps{"start", "start"};
constexpr Section kGroups{"gruppen", "groups"};
constexpr Section kIndicators{"indikatoren", "indicators"};
constexpr Section kThreshold{"schwellwert", "threshold"};
constexpr Section kMoneyManagement{"mm", "mm"};
constexpr Section kGeneral{"general", "general"};
constexpr Section kMirror{"spiegeln", "mirror"};
constexpr Section kInfo{"info", "info"};
constexpr Section kLibrary{"bibliothek", "library"};
constexpr Section kExpert{"ea", "ea"};
constexpr Section kBacktest{"backtest", "backtest"};
constexpr Section kSettings{"einstellungen", "settings"};

// A topic is matched by its start, without regard to case, so that a German topic and its
// English translation ("Indikatoren", "Indicators") land on the same section. The first match
// wins: longer, more specific starts come first.
struct Rule {
  std::string_view start;
  const Section* section;
};
constexpr std::array<Rule, 31> kRules{{
    {"Neues Handelssystem", &kFirstSteps},
    {"New trading system", &kFirstSteps},
    {"Startseite", &kWindow},
    {"TC1", &kWindow},
    {"TC2", &kWindow},
    {"MENU_", &kWindow},
    {"Reiter GENERAL", &kGeneral},
    {"Reiter MONEY", &kMoneyManagement},
    {"Reiter EINSTELLUNGEN", &kSettings},
    {"Reiter SETTINGS", &kSettings},
    {"Reiter BACKTEST", &kBacktest},
    {"Reiter ", &kGroups},
    {"Indikatorgruppen", &kLibrary},
    {"Indicator groups", &kLibrary},
    {"Indik", &kIndicators},  // IndikatorEdit, IndikatorHinzu, Indikatoren
    {"IndEdit", &kIndicators},
    {"Indicator", &kIndicators},
    {"InTools", &kLibrary},
    {"Signalgruppen", &kLibrary},
    {"Signal groups", &kLibrary},
    {"Handelssysteme", &kLibrary},
    {"Trading systems", &kLibrary},
    {"MM-Einstellungen", &kLibrary},
    {"STOP-Einstellungen", &kLibrary},
    {"Ablage", &kLibrary},
    {"Trash", &kLibrary},
    {"Expert Advisor", &kExpert},
    {"Powerswitch", &kMirror},
    {"Backtest", &kBacktest},
    {"Schwellwert", &kThreshold},
    {"Systeminfo", &kInfo},
}};

bool startsWithIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && iequals(text.substr(0, start.size()), start);
}

// The editors and panels by their object names.
constexpr std::array<Rule, 9> kForms{{
    {"IForm", &kIndicators},
    {"XIForm", &kGroups},
    {"ixiForm", &kGroups},
    {"GForm", &kGeneral},
    {"MMForm", &kMoneyManagement},
    {"Einstellungen", &kSettings},
    {"BacktestPage", &kBacktest},
    {"PicLabels", &kInfo},
    {"TP", &kLibrary},
}};

std::string anchorOf(const Section& s, bool english) { return std::string(english ? s.english : s.german); }

}  // namespace

std::string manualAnchorOfTopic(std::string_view topic, const std::vector<std::string>& enclosingNames, bool english) {
  for (const Rule& r : kRules)
    if (startsWithIgnoringCase(topic, r.start)) return anchorOf(*r.section, english);
  for (const std::string& name : enclosingNames)
    for (const Rule& r : kForms)
      if (name == r.start) return anchorOf(*r.section, english);
  return {};
}

}  // namespace zorvik
