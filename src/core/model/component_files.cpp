#include "model/component_files.hpp"

#include <unordered_map>

#include "model/catalogue.hpp"
#include "model/group_roles.hpp"
#include "model/magic_numbers.hpp"
#include "model/system_parameters.hpp"
#include "model/trading_system.hpp"
#include "model/workspace.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {

namespace {


// ---- writing

class LineWriter {
 public:
  void line(std::string text) { lines_.push_back(std::move(text)); }

  // key="value". A value with line breaks goes on over several lines; the reader joins them
  // until a line ends with a quote. A line inside the value that would end with a quote by
  // itself (a text line ending in '"', or an empty first line) would end the value early and
  // lose the rest on reading, so it gets a trailing blank.
  void value(std::string_view key, std::string_view value) {
    std::string first = std::string(key) + "=\"";
    std::size_t start = 0;
    bool firstPart = true;
    while (true) {
      const std::size_t brk = value.find_first_of("\r\n", start);
      std::string part(value.substr(start, brk == std::string_view::npos ? std::string_view::npos : brk - start));
      std::string text = firstPart ? first + part : part;
      firstPart = false;
      if (brk == std::string_view::npos) {
        line(text + "\"");
        return;
      }
      if (!text.empty() && text.back() == '"') text += ' ';
      line(std::move(text));
      start = brk + (value[brk] == '\r' && brk + 1 < value.size() && value[brk + 1] == '\n' ? 2 : 1);
    }
  }

  void integer(std::string_view key, std::int64_t v) { value(key, intText(v)); }

  void indicatorBlock(const Indicator& ind) {
    line("START indikator");
    value("indikatortyp", ind.type());
    for (const auto& p : ind.parameters()) value(p.name, p.value);
    line("STOP indikator");
  }

  // The comment of a stored part is written bare, one line per line of the text.
  void commentSection(std::string_view comment) {
    line("START COMMENT");
    const auto parts = splitLines(comment);
    line("comment=" + (parts.empty() ? std::string() : parts.front()));
    for (std::size_t i = 1; i < parts.size(); ++i) line(parts[i]);
    line("STOP COMMENT");
  }

  void groupSection(const SignalGroup& g, int index) {
    const GroupRoleInfo& role = kGroupRoles[static_cast<std::size_t>(index - 1)];
    line("START " + std::string(role.section));
    value("threshold", g.threshold);
    integer("editOk", g.editok);
    if (role.isExit) {
      value("sl", g.sl);
      value("ts", g.ts);
      value("tp", g.tp);
    }
    for (const auto& ind : g.indicators()) indicatorBlock(ind);
    line("ENDE " + std::string(role.section));
  }

  void groupSections(const TradingSystem& hs) {
    for (int i = 1; i <= kGroupCount; ++i) groupSection(hs.group(i), i);
  }

  void moneyManagement(const MoneyManagementRecord& mm) {
    line("START moneymanagement");
    value("typ", mm.type);
    value("lots", mm.lots);
    value("maxlots", mm.maxlots);
    value("base", mm.base);
    value("fraction", mm.fraction);
    value("delta", mm.delta);
    value("slippage", mm.slippage);
    value("maxtrades", mm.maxtrades);
    value("hedging", mm.hedging);
    value("symbol", mm.symbol);
    integer("editok", mm.editok);
    line("ENDE moneymanagement");
  }

  std::vector<std::string> take() { return std::move(lines_); }

 private:
  std::vector<std::string> lines_;
};

bool isEmptySlot(const Indicator& ind) { return ind.type().empty() && ind.parameterCount() == 0; }

bool write(const std::filesystem::path& file, const std::vector<std::string>& lines, std::string* error) {
  return writeTextLines(file, lines, error);
}

// ---- reading

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
  ComponentReader(Workspace& ws, TradingSystem& hs, std::string_view kindCode, int targetGroup)
      : hs_(hs), ws_(ws), target_(groupRoleOf(targetGroup) ? targetGroup : 0) {
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
  SignalGroup& group() { return hs_.group(state_ - 2); }

  void onStart(const std::string& name) {
    if (asciiIEquals(name, "indikator")) {
      if (!inGroup()) {
        // An indicator block outside a group section belongs nowhere: skip it whole, so that
        // its "comment" or "symbol" cannot land in the general or money-management settings.
        skippingBlock_ = true;
        return;
      }
      SignalGroup& g = group();
      g.resizeIndicators(g.count() + 1);
      inIndicator_ = true;
      paramIndex_.clear();
      return;
    }
    // A new section ends any block that was left open before it.
    inIndicator_ = false;
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
    inIndicator_ = false;
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
      if (isSystemParameterKey(paraKey)) storeSystemParameter(ws_, hs_, paraKey, value);
    } else if (state_ == kMoneyManagement) {
      const std::string paraKey = "mm_" + std::string(key);
      if (isSystemParameterKey(paraKey)) storeSystemParameter(ws_, hs_, paraKey, value);
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
      std::string stored = Indicator::storedValue(ws_, name, normalisePriceValue(name, value));
      auto [it, added] = paramIndex_.try_emplace(name, ind.parameterCount() + 1);
      if (added) ind.appendParameter(std::move(name), std::move(stored));
      else ind.setParameterValue(it->second, std::move(stored));
    }
  }

  void finish() {
    for (int i = 1; i <= kGroupCount; ++i) {
      SignalGroup& g = hs_.group(i);
      if (g.count() > 0 && g.editok == 0) g.editok = 1;
    }
    // Told once, after the whole file, and only when the generated number is the one kept.
    if (!generatedMagic_.empty() && hs_.general.magic == generatedMagic_)
      ws_.message("Es wurde eine eindeutige Magicnummer generiert:", generatedMagic_);
  }

  TradingSystem& hs_;
  Workspace& ws_;
  int target_;
  int state_ = kIgnore;
  bool inIndicator_ = false;
  bool skippingBlock_ = false;
  std::unordered_map<std::string, int> paramIndex_;
  std::string generatedMagic_;
};

}  // namespace

const ComponentKind* componentKindOf(std::string_view fileName) {
  for (const auto& k : kComponentKinds)
    if (endsWith(fileName, k.extension)) return &k;
  return nullptr;
}

std::vector<std::string> systemFileLines(const TradingSystem& hs) {
  LineWriter w;
  const GeneralRecord& g = hs.general;
  w.line("START general");
  w.value("filename", g.filename);
  w.value("bezeichnung", g.title);
  w.value("account", g.account);
  w.value("comment", g.comment);
  w.value("lastedittime", invariantNumber(g.lastedittime));
  w.value("creationtime", invariantNumber(g.creationtime));
  w.integer("editok", g.editok);
  w.value("magic", g.magic);
  w.line("ENDE general");
  w.moneyManagement(hs.mm);
  w.groupSections(hs);
  return w.take();
}

std::vector<std::string> signalGroupsFileLines(const TradingSystem& hs, std::string_view comment) {
  LineWriter w;
  w.groupSections(hs);
  w.commentSection(comment);
  return w.take();
}

std::vector<std::string> indicatorGroupFileLines(const SignalGroup& group, std::string_view comment,
                                                 const std::vector<int>* selected) {
  LineWriter w;
  w.line("START signalgruppe");
  w.value("threshold", group.threshold);
  w.integer("editok", group.editok);
  if (selected) {
    for (int pos : *selected)
      if (pos >= 1 && pos <= group.count()) w.indicatorBlock(group.indicator(pos));
  } else {
    for (const auto& ind : group.indicators()) w.indicatorBlock(ind);
  }
  w.line("ENDE signalgruppe");
  w.commentSection(comment);
  return w.take();
}

std::vector<std::string> indicatorFileLines(const Indicator& indicator, std::string_view comment) {
  if (isEmptySlot(indicator)) return {};
  LineWriter w;
  w.indicatorBlock(indicator);
  w.commentSection(comment);
  return w.take();
}

std::vector<std::string> moneyManagementFileLines(const MoneyManagementRecord& mm, std::string_view comment) {
  LineWriter w;
  w.moneyManagement(mm);
  w.commentSection(comment);
  return w.take();
}

std::vector<std::string> stopsFileLines(const SignalGroup& group, std::string_view comment) {
  LineWriter w;
  w.line("START STOPS");
  w.value("sl", group.sl);
  w.value("ts", group.ts);
  w.value("tp", group.tp);
  w.line("STOP STOPS");
  w.commentSection(comment);
  return w.take();
}

bool writeSystemFile(const TradingSystem& hs, const std::filesystem::path& file, std::string* error) {
  return write(file, systemFileLines(hs), error);
}

bool writeSignalGroupsFile(const TradingSystem& hs, const std::filesystem::path& file, std::string_view comment,
                           std::string* error) {
  return write(file, signalGroupsFileLines(hs, comment), error);
}

bool writeIndicatorGroupFile(const SignalGroup& group, const std::filesystem::path& file,
                             std::string_view comment, const std::vector<int>* selected, std::string* error) {
  return write(file, indicatorGroupFileLines(group, comment, selected), error);
}

bool writeIndicatorFile(const Indicator& indicator, const std::filesystem::path& file, std::string_view comment,
                        std::string* error) {
  if (isEmptySlot(indicator)) {
    if (error) *error = "empty indicator slot";
    return false;
  }
  return write(file, indicatorFileLines(indicator, comment), error);
}

bool writeMoneyManagementFile(const MoneyManagementRecord& mm, const std::filesystem::path& file,
                              std::string_view comment, std::string* error) {
  return write(file, moneyManagementFileLines(mm, comment), error);
}

bool writeStopsFile(const SignalGroup& group, const std::filesystem::path& file, std::string_view comment,
                    std::string* error) {
  return write(file, stopsFileLines(group, comment), error);
}

void readComponentText(Workspace& ws, TradingSystem& hs, std::string_view bytes, std::string_view kindCode,
                       int targetGroup) {
  ComponentReader(ws, hs, kindCode, targetGroup).read(bytes);
}

bool readComponent(Workspace& ws, TradingSystem& hs, const std::filesystem::path& file, std::string_view kindCode,
                   int targetGroup) {
  const auto bytes = readFileBytes(file);
  if (!bytes) {
    ws.message("Die Datei konnte nicht gelesen werden: ", file.filename().string());
    return false;
  }
  readComponentText(ws, hs, *bytes, kindCode, targetGroup);
  return true;
}

void applySystemDefaults(Workspace& ws, TradingSystem& hs, bool drawMagic) {
  for (const std::string& row : ws.catalogue.indicatorRows()) {
    if (row.empty() || row.front() != '!') continue;
    for (const std::string& key : ws.catalogue.parameterKeysOf(row.substr(0, row.find(',')))) {
      const ParameterCoding* p = ws.catalogue.parameter(key);
      const std::string def = p ? p->defaultValue : std::string();
      if (key == "threshold") {
        for (int i = 1; i <= kGroupCount; ++i) hs.group(i).threshold = def;
      } else if (key == "stop_sl" || key == "stop_ts" || key == "stop_tp") {
        for (const GroupRoleInfo& role : kGroupRoles) {
          if (!role.isExit) continue;
          SignalGroup& g = hs.group(groupNumber(role.role));
          (key == "stop_sl" ? g.sl : key == "stop_ts" ? g.ts : g.tp) = def;
        }
      } else if (key != "general_magic" || drawMagic) {
        storeSystemParameter(ws, hs, key, def);
      }
    }
  }
}

std::string editTimeText(double daySerial) { return invariantNumber(daySerial); }

void applyIndicatorDefaults(const Workspace& ws, Indicator& indicator, std::optional<double> nowSerial) {
  for (const std::string& key : ws.catalogue.parameterKeysOf(indicator.type())) {
    const ParameterCoding* p = ws.catalogue.parameter(key);
    indicator.setParameter(ws, key, p ? p->defaultValue : std::string());
  }
  indicator.setParameter(ws, "lastedittime", editTimeText(nowSerial ? *nowSerial : toDaySerial(localNow())));
}

}  // namespace zorvik
