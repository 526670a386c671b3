#include "model/trading_system.hpp"

#include "model/group_roles.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {

std::string titleOfFileName(std::string_view fileName, bool* found) {
  const std::size_t pos = fileName.find(".hsy");
  if (found) *found = pos != std::string_view::npos;
  return std::string(fileName.substr(0, pos));
}

bool isSystemParameterKey(std::string_view rawKey) {
  static constexpr std::string_view kKeys[] = {
      "mm_editok",    "general_editok", "mm_typ",           "mm_lots",         "mm_maxlots",
      "mm_base",      "mm_fraction",    "mm_delta",         "mm_slippage",     "mm_maxtrades",
      "mm_hedging",   "mm_symbol",      "general_symbol",   "general_filename", "general_bezeichnung",
      "general_account", "general_comment", "general_kontotyp", "general_broker", "general_magic"};
  const std::string key = trim(rawKey);
  for (std::string_view k : kKeys)
    if (k == key) return true;
  return false;
}

TradingSystem::TradingSystem() { resizeGroups(kGroupCount); }

void TradingSystem::resizeGroups(int count) {
  const std::size_t old = groups_.size();
  groups_.resize(static_cast<std::size_t>(count < 0 ? 0 : count));
  for (std::size_t i = old; i < groups_.size() && i < kGroupRoles.size(); ++i)
    groups_[i].name = std::string(kGroupRoles[i].name);
}

void TradingSystem::resetAll(const SystemDefaults& defaults) {
  for (auto& g : groups_) g = SignalGroup(g.name);
  resetGeneral(defaults);
  resetMoneyManagement(defaults);
}

void TradingSystem::resetGeneral(const SystemDefaults& defaults) {
  general.account = defaults.firstAccount;
  general.accountType = "idKontotyp";
  general.broker = "#0";
  general.filename = systemFileName;
  bool hasHsy = false;
  std::string title = titleOfFileName(systemFileName, &hasHsy);
  if (hasHsy) general.title = title;
  general.comment.clear();
  general.editok = 1;
  general.magic = defaults.magic;
}

void TradingSystem::resetMoneyManagement(const SystemDefaults& defaults) {
  mm = MoneyManagementRecord{};
  mm.hedging = defaults.hedgingId;
}

void TradingSystem::setParameter(std::string_view rawKey, std::string_view rawValue) {
  const std::string key = trim(rawKey);
  const std::string value(rawValue);

  if (key == "mm_editok") mm.editok = toInt16(value);
  else if (key == "general_editok") general.editok = toInt16(value);
  else if (key == "mm_typ") mm.type = value;
  else if (key == "mm_lots") mm.lots = value;
  else if (key == "mm_maxlots") mm.maxlots = value;
  else if (key == "mm_base") mm.base = value;
  else if (key == "mm_fraction") mm.fraction = value;
  else if (key == "mm_delta") mm.delta = value;
  else if (key == "mm_slippage") mm.slippage = value;
  else if (key == "mm_maxtrades") mm.maxtrades = value;
  else if (key == "mm_hedging") mm.hedging = value;
  else if (key == "general_filename") general.filename = value;
  else if (key == "general_account") general.account = value;
  else if (key == "general_comment") general.comment = value;
  else if (key == "general_kontotyp") general.accountType = value;
  else if (key == "general_broker") general.broker = value;
  else if (key == "general_bezeichnung") {
    general.title = value;
    if (value == "#0" && !general.filename.empty()) general.title = titleOfFileName(general.filename);
  } else if (key == "general_magic") {
    general.magic = value;
  } else if (key == "mm_symbol" || key == "general_symbol") {
    mm.symbol = value;
  }

  if (changedKeys.find(key) == std::string::npos) changedKeys += key + ";";
  changed = true;
}

std::optional<std::string> TradingSystem::parameter(std::string_view rawKey) const {
  const std::string key = trim(rawKey);
  if (key == "mm_editok") return intText(mm.editok);
  if (key == "general_editok") return intText(general.editok);
  if (key == "mm_typ") return mm.type;
  if (key == "mm_lots") return mm.lots;
  if (key == "mm_maxlots") return mm.maxlots;
  if (key == "mm_base") return mm.base;
  if (key == "mm_fraction") return mm.fraction;
  if (key == "mm_delta") return mm.delta;
  if (key == "mm_slippage") return mm.slippage;
  if (key == "mm_maxtrades") return mm.maxtrades;
  if (key == "mm_hedging") return mm.hedging;
  if (key == "mm_symbol" || key == "general_symbol") return mm.symbol;
  if (key == "general_filename") return general.filename;
  if (key == "general_bezeichnung") return general.title;
  if (key == "general_account") return general.account;
  if (key == "general_comment") return general.comment;
  if (key == "general_kontotyp") return general.accountType;
  if (key == "general_broker") return general.broker;
  if (key == "general_magic") return general.magic;
  return std::nullopt;
}

}  // namespace zorvik
