#include "workspace/component_reading.hpp"

#include <unordered_map>

#include "model/catalogue.hpp"
#include "model/component_files.hpp"
#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

bool asciiIEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The group number of a group section name (any case); 0 for none.
int groupOfSection(std::string_view name) {
  for (const GroupRoleInfo& r : kGroupRoles)
    if (asciiIEquals(name, r.section)) return groupNumber(r.role);
  return 0;
}

enum State : int { kIgnore = 0, kGeneral = 1, kMoneyManagement = 2, kComment = 7 };

class ComponentReader {
 public:
  ComponentReader(Workspace& ws, TradingSystem& system, std::string_view kindCode, int targetGroup)
      : system_(system), ws_(ws), target_(groupRoleOf(targetGroup) ? targetGroup : 0) {
    if (target_ && (asciiIEquals(kindCode, "IND") || asciiIEquals(kindCode, "STOP"))) state_ = target_ + 2;
  }

  void read(std::string_view bytes) {
    const std::vector<std::string> raw = splitLines(bytes);
    std::size_t i = 0;
    while (i < raw.size()) {
      std::string line = cp1252ToUtf8(raw[i++]);
      // A value with line breaks: join the following lines until one ends with the closing
      // quote. A file that ends first keeps what was collected.
      if (line.find('"') != std::string::npos) {
        bool closed = line.back() == '"';
        while (!closed && i < raw.size()) {
          const std::string& next = raw[i++];
          line += "\r\n";
          line += cp1252ToUtf8(next);
          closed = !next.empty() && next.back() == '"';
        }
      }
      handle(line);
    }
    finish();
  }

 private:
  void handle(const std::string& line) {
    if (!line.empty() && line.front() == '\'') return;
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos) {
      std::string value = line.substr(eq + 1);
      if (!value.empty() && value.front() == '"') {
        // An unclosed value (the file ended inside it) keeps its last character.
        const bool closed = value.size() >= 2 && value.back() == '"';
        value = value.substr(1, closed ? value.size() - 2 : std::string::npos);
      }
      onValue(std::string_view(line).substr(0, eq), std::move(value));
    } else if (startsWith(line, "START ")) {
      onStart(trim(std::string_view(line).substr(6)));
    } else if (startsWith(line, "STOP ")) {
      onStop(trim(std::string_view(line).substr(5)));
    }
  }

  bool inGroup() const { return state_ >= 3 && state_ <= 6; }
  SignalGroup& group() { return system_.group(state_ - 2); }

  void onStart(const std::string& name) {
    if (asciiIEquals(name, "indikator")) {
      if (!inGroup()) {
        // An indicator block outside a group section belongs nowhere: skip it whole, so that
        // its "comment" or "symbol" cannot land in the general or money-management settings.
        skippingBlock_ = true;
        return;
      }
      closeIndicator();
      SignalGroup& g = group();
      g.resizeIndicators(g.count() + 1);
      inIndicator_ = true;
      paramIndex_.clear();
      return;
    }
    // A new section ends any block that was left open before it.
    closeIndicator();
    skippingBlock_ = false;
    if (asciiIEquals(name, "signalgruppe") || asciiIEquals(name, "indikatorengruppe")) state_ = target_ ? target_ + 2 : kIgnore;
    else if (asciiIEquals(name, "general")) state_ = kGeneral;
    else if (asciiIEquals(name, "moneymanagement")) state_ = kMoneyManagement;
    else if (const int group = groupOfSection(name)) state_ = group + 2;
    else if (asciiIEquals(name, "comment")) state_ = kComment;
    else if (asciiIEquals(name, "stops")) { /* the stops go to the group already chosen */ }
    else state_ = kIgnore;
  }

  void onStop(const std::string& name) {
    const bool indicatorEnd = asciiIEquals(name, "indikator");
    closeIndicator();
    skippingBlock_ = false;
    if (!indicatorEnd) state_ = kIgnore;
  }

  void onValue(std::string_view key, std::string value) {
    if (skippingBlock_) return;
    if (state_ == kGeneral) {
      if (key == "account" && value == "000000" && !ws_.knownAccounts.empty()) value = ws_.knownAccounts.front().number;
      if (key == "magic" && (value == "-" || value.empty() || value == "123456")) {
        if (auto magic = handOutMagicNumber(ws_)) {
          value = std::move(*magic);
          generatedMagic_ = value;
        }
      }
      const std::string paraKey = "general_" + std::string(key);
      // Keys the system does not store are left out here: setParameter would ignore them anyway,
      // and a file full of them must not grow the changed-keys list without end.
      if (isSystemParameterKey(paraKey)) storeSystemParameter(ws_, system_, paraKey, value);
    } else if (state_ == kMoneyManagement) {
      const std::string paraKey = "mm_" + std::string(key);
      if (isSystemParameterKey(paraKey)) storeSystemParameter(ws_, system_, paraKey, value);
    } else if (inGroup()) {
      groupValue(key, std::move(value));
    }
  }

  void groupValue(std::string_view key, std::string value) {
    SignalGroup& g = group();
    if (asciiIEquals(key, "threshold")) g.threshold = std::move(value);
    else if (asciiIEquals(key, "editok")) g.editok = toInt32(value);
    else if (asciiIEquals(key, "sl")) g.sl = std::move(value);
    else if (asciiIEquals(key, "ts")) g.ts = std::move(value);
    else if (asciiIEquals(key, "tp")) g.tp = std::move(value);
    else if (inIndicator_ && g.count() > 0) {
      Indicator& ind = g.indicator(g.count());
      if (asciiIEquals(key, "indikatortyp")) {
        ind.setType(std::move(value));
        return;
      }
      // The same as setParameter, with an index by name so that a block of many thousand
      // parameters does not cost a search per line.
      std::string name(key);
      std::string stored = Indicator::storedValue(ws_.definitions, ws_.language, name, normalisePriceValue(name, value));
      auto [it, added] = paramIndex_.try_emplace(name, ind.parameterCount() + 1);
      if (added) ind.appendParameter(std::move(name), std::move(stored));
      else ind.setParameterValue(it->second, std::move(stored));
    }
  }

  // Ends the indicator block being read. A key of the indicator's type that the file lacks
  // gets the catalogue default, as a new indicator would: a file shared without "shift" or
  // "actiontyp" would otherwise hand the generator and the tester an empty value, and the
  // indicator would never fire. Keys the file has keep their value and place; the missing ones
  // follow them, so a complete file reads back in its own order.
  void closeIndicator() {
    if (!inIndicator_) return;
    inIndicator_ = false;
    if (!inGroup() || group().count() == 0) return;
    Indicator& ind = group().indicator(group().count());
    for (const auto& [key, value] : defaultsOf(ind.type())) {
      if (paramIndex_.contains(key)) continue;
      ind.appendParameter(key, value);
      paramIndex_.emplace(key, ind.parameterCount());
    }
  }

  // The stored defaults of a type's keys, looked up once per type: a library file may hold
  // thousands of indicators of a handful of types.
  const std::vector<std::pair<std::string, std::string>>& defaultsOf(const std::string& type) {
    auto [it, added] = defaultsByType_.try_emplace(type);
    if (added) {
      for (const std::string& key : ws_.catalogue.parameterKeysOf(type)) {
        const ParameterCoding* p = ws_.catalogue.parameter(key);
        it->second.emplace_back(key, Indicator::storedValue(ws_.definitions, ws_.language, key, p ? p->defaultValue : std::string()));
      }
    }
    return it->second;
  }

  void finish() {
    closeIndicator();
    for (int i = 1; i <= kGroupCount; ++i) {
      SignalGroup& g = system_.group(i);
      if (g.count() > 0 && g.editok == 0) g.editok = 1;
    }
    // Told once, after the whole file, and only when the generated number is the one kept.
    if (!generatedMagic_.empty() && system_.general.magic == generatedMagic_)
      ws_.message("Es wurde eine eindeutige Magicnummer generiert:", generatedMagic_);
  }

  TradingSystem& system_;
  Workspace& ws_;
  int target_;
  int state_ = kIgnore;
  bool inIndicator_ = false;
  bool skippingBlock_ = false;
  std::unordered_map<std::string, int> paramIndex_;
  std::unordered_map<std::string, std::vector<std::pair<std::string, std::string>>> defaultsByType_;
  std::string generatedMagic_;
};

}  // namespace

void readComponentText(Workspace& ws, TradingSystem& system, std::string_view bytes, std::string_view kindCode,
                       int targetGroup) {
  ComponentReader(ws, system, kindCode, targetGroup).read(bytes);
}

bool readComponent(Workspace& ws, TradingSystem& system, const std::filesystem::path& file, std::string_view kindCode,
                   int targetGroup) {
  const auto bytes = readFileBytes(file);
  if (!bytes) {
    ws.message("Die Datei konnte nicht gelesen werden: ", file.filename().string());
    return false;
  }
  readComponentText(ws, system, *bytes, kindCode, targetGroup);
  return true;
}

void applySystemDefaults(Workspace& ws, TradingSystem& system, bool drawMagic) {
  for (const std::string& row : ws.catalogue.indicatorRows()) {
    if (row.empty() || row.front() != '!') continue;
    for (const std::string& key : ws.catalogue.parameterKeysOf(row.substr(0, row.find(',')))) {
      const ParameterCoding* p = ws.catalogue.parameter(key);
      const std::string def = p ? p->defaultValue : std::string();
      if (key == "threshold") {
        for (int i = 1; i <= kGroupCount; ++i) system.group(i).threshold = def;
      } else if (key == "stop_sl" || key == "stop_ts" || key == "stop_tp") {
        for (const GroupRoleInfo& role : kGroupRoles) {
          if (!role.isExit) continue;
          SignalGroup& g = system.group(groupNumber(role.role));
          (key == "stop_sl" ? g.sl : key == "stop_ts" ? g.ts : g.tp) = def;
        }
      } else if (key != "general_magic" || drawMagic) {
        storeSystemParameter(ws, system, key, def);
      }
    }
  }
}

void applyIndicatorDefaults(const Workspace& ws, Indicator& indicator, std::optional<double> nowSerial) {
  for (const std::string& key : ws.catalogue.parameterKeysOf(indicator.type())) {
    const ParameterCoding* p = ws.catalogue.parameter(key);
    indicator.setParameter(ws.definitions, ws.language, key, p ? p->defaultValue : std::string());
  }
  indicator.setParameter(ws.definitions, ws.language, "lastedittime", editTimeText(nowSerial ? *nowSerial : toDaySerial(localNow())));
}

}  // namespace zorvik
