#include "analysis/uniform_symbols.hpp"

#include <algorithm>

#include "brokers/broker_symbols.hpp"
#include "model/trading_system.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "workspace/current_system.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

template <typename F>
void forEachIndicator(TradingSystem& system, F&& f) {
  for (int g = 1; g <= 4 && g <= system.groupCount(); ++g)
    for (auto& ind : system.group(g).indicators()) f(ind);
}

// Every view shows the system as read from its file, so after a change the system is written
// and read back; opening a system saves the current one first.
void saveAndReopen(Workspace& ws) {
  const std::string fileName = ws.system().systemFileName;
  openSystem(ws, fileName);
}

}  // namespace

std::string normaliseSymbol(std::string_view symbol) {
  std::string s;
  s.reserve(symbol.size());
  for (char c : symbol)
    if (c != '_' && c != ' ' && c != '-') s += c;
  return toUpper(s);
}

void setUniformSymbol(Workspace& ws, TradingSystem& system, std::string_view symbol) {
  storeSystemParameter(ws, system, "mm_symbol", symbol);
  forEachIndicator(system, [&](Indicator& ind) { ind.setParameter(ws.definitions, ws.language, "symbol", symbol); });
}

void setUniformTimeframe(const Workspace& ws, TradingSystem& system, std::string_view timeframeId) {
  forEachIndicator(system, [&](Indicator& ind) { ind.setParameter(ws.definitions, ws.language, "timeframe", timeframeId); });
}

bool askEqualSymbols(Workspace& ws) {
  if (ws.system().systemFileName.empty()) return false;
  const ValueList& symbols = ws.catalogue.symbols;
  const std::string label = ws.tr("Hier können einheitliche Symbole eingestellt werden") + "\r\n" +
                            ws.tr("Dabei steht Symbol() für das Symbol des aktuellen Charts");
  auto chosen = ws.host().chooseItem(ws.tr("Einheitliches Symbol"), label, symbols.ids, 0, true);
  // The list shows the translated first entry; the system stores the untranslated value.
  if (!chosen || static_cast<std::size_t>(*chosen) >= symbols.values.size()) return false;
  const std::string symbol = symbols.values[static_cast<std::size_t>(*chosen)];
  if (symbol.empty()) return false;
  setUniformSymbol(ws, ws.system(), symbol);
  saveAndReopen(ws);
  return true;
}

bool askEqualTimeFrames(Workspace& ws) {
  if (ws.system().systemFileName.empty()) return false;
  // The captions offered and the ids stored come from the same table entries, so the position
  // chosen always names the timeframe the user saw (and never a translated id).
  const auto entries = ws.definitions.entriesOf("timeframe");
  const auto captions = ws.definitions.captionsOf("timeframe", ws.captionLanguage());
  auto chosen = ws.host().chooseItem(ws.tr("Einheitliches Zeitintervall"),
                                     ws.tr("Hier können einheitliche Minutenintervalle eingestellt werden"),
                                     captions, 0, true);
  if (!chosen || static_cast<std::size_t>(*chosen) >= entries.size()) return false;
  const std::string id = entries[static_cast<std::size_t>(*chosen)]->id;
  if (id.empty()) return false;
  setUniformTimeframe(ws, ws.system(), id);
  saveAndReopen(ws);
  return true;
}

SymbolReplacement findReplacement(Workspace& ws, std::string_view symbol) {
  const ValueList& symbols = ws.catalogue.symbols;
  // Compared with the untranslated values: in English the first entry is shown translated, and
  // "Symbol()" must still find itself.
  const std::string wanted = normaliseSymbol(symbol);
  const std::string* match = nullptr;
  for (const auto& entry : symbols.values)
    if (normaliseSymbol(entry) == wanted) match = &entry;
  if (match) return {*match, true};

  const auto& manual = ws.manualSymbolReplacements;
  for (auto it = manual.rbegin(); it != manual.rend(); ++it)
    if (it->first == symbol) return {it->second, false};

  auto chosen = ws.host().chooseItem(ws.tr("Symbol ersetzen"), std::string(symbol), symbols.ids, 0, false);
  if (!chosen || static_cast<std::size_t>(*chosen) >= symbols.values.size())
    return {std::string(symbol), false};  // nothing to choose from: the symbol stays
  std::string replacement = symbols.values[static_cast<std::size_t>(*chosen)];
  ws.manualSymbolReplacements.emplace_back(std::string(symbol), replacement);
  return {replacement, false};
}

BrokerSwitchReport replaceSymbolsForBroker(Workspace& ws) {
  BrokerSwitchReport report;
  TradingSystem& system = ws.system();
  if (system.systemFileName.empty()) return report;

  auto replace = [&](const std::string& old) {
    SymbolReplacement r = findReplacement(ws, old);
    report.lines += old + " -> " + r.symbol + "\r\n";
    ++(r.automatic ? report.automatic : report.manual);
    if (r.symbol == old) ++report.unchanged;
    return r.symbol;
  };
  storeSystemParameter(ws, system, "mm_symbol", replace(system.mm.symbol));
  forEachIndicator(system, [&](Indicator& ind) {
    // An indicator without a symbol has nothing to move; asking the user to replace an empty
    // symbol would only add one.
    if (ind.hasParameter("symbol")) ind.setParameter(ws.definitions, ws.language, "symbol", replace(ind.parameter("symbol")));
  });

  if (report.unchanged == report.automatic && report.manual == 0) return report;
  ws.host().message(ws.tr("Automatisch ersetzte Symbole: ") + intText(report.automatic) + "\r\n" +
                    ws.tr("Manuell ersetzte Symbole:") + intText(report.manual) + "\r\n" + report.lines);
  report.shown = true;
  saveAndReopen(ws);
  return report;
}

BrokerSwitchReport switchToBrokerOfAccount(Workspace& ws, std::string_view account) {
  fillBrokerSymbols(ws, std::max(1, brokerOfAccount(ws.knownAccounts, account)));
  return replaceSymbolsForBroker(ws);
}

}  // namespace zorvik
