#include "model/component_files.hpp"

#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
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

  void groupSections(const TradingSystem& system) {
    for (int i = 1; i <= kGroupCount; ++i) groupSection(system.group(i), i);
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

}  // namespace

const ComponentKind* componentKindOf(std::string_view fileName) {
  for (const auto& k : kComponentKinds)
    if (endsWith(fileName, k.extension)) return &k;
  return nullptr;
}

std::vector<std::string> systemFileLines(const TradingSystem& system) {
  LineWriter w;
  const GeneralRecord& g = system.general;
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
  w.moneyManagement(system.mm);
  w.groupSections(system);
  return w.take();
}

std::vector<std::string> signalGroupsFileLines(const TradingSystem& system, std::string_view comment) {
  LineWriter w;
  w.groupSections(system);
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

bool writeSystemFile(const TradingSystem& system, const std::filesystem::path& file, std::string* error) {
  return write(file, systemFileLines(system), error);
}

bool writeSignalGroupsFile(const TradingSystem& system, const std::filesystem::path& file, std::string_view comment,
                           std::string* error) {
  return write(file, signalGroupsFileLines(system, comment), error);
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

std::string editTimeText(double daySerial) { return invariantNumber(daySerial); }

}  // namespace zorvik
