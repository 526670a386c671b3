#include "workspace/system_parameters.hpp"

#include "text/strings.hpp"
#include "workspace/magic_numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

SystemDefaults systemDefaults(Workspace& ws) {
  SystemDefaults d;
  d.firstAccount = ws.knownAccounts.empty() ? std::string() : ws.knownAccounts.front().number;
  d.hedgingId = ws.definitions.indexToId("mm_hedging", "#0");
  // Without a number left the system keeps "-", which every later open tries to replace.
  d.magic = handOutMagicNumber(ws).value_or("-");
  return d;
}

void storeSystemParameter(Workspace& ws, TradingSystem& system, std::string_view rawKey, std::string_view rawValue) {
  const std::string key = trim(rawKey);
  std::string value(rawValue);
  // The index is resolved first: the rules below see the id, never "#n".
  if (!value.empty() && value.front() == '#') value = ws.definitions.indexToId(key, value);
  if (key == "general_magic" && value == "-") value = handOutMagicNumber(ws).value_or("-");
  if ((key == "mm_symbol" || key == "general_symbol") && value == ws.tr("Aktuelles Symbol")) value = "Symbol()";
  system.setParameter(key, value);
}

void storeChosenCaption(Workspace& ws, TradingSystem& system, std::string_view key, std::string_view caption) {
  storeSystemParameter(ws, system, key, ws.definitions.captionToId(trim(key), caption, ws.captionLanguage()));
}

std::string shownSystemParameter(const Workspace& ws, const TradingSystem& system, std::string_view key) {
  if (auto value = system.parameter(key)) return *value;
  ws.message("paraget unbek:", trim(key));
  return {};
}

}  // namespace zorvik
