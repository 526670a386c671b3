#include "editors/settings_editing.hpp"

#include <algorithm>

#include "brokers/known_accounts.hpp"

namespace zorvik {

std::string_view moneyManagementSet(std::string_view mmType) {
  if (mmType == "idFixed Fractional") return "!MMFIXEDFRACTIONAL";
  if (mmType == "idFixed Ratio") return "!MMFIXEDRATIO";
  return "!MMFIXEDLOTS";
}

bool isHiddenGeneralKey(std::string_view key) { return key == "general_broker" || key == "general_kontotyp"; }

std::optional<std::string> accountNumberOfChoice(std::string_view chosenText) {
  const std::size_t eq = chosenText.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::string(chosenText.substr(0, eq));
}

int brokerKindOfAccount(const std::vector<KnownAccount>& accounts, std::string_view accountNumber) {
  return std::max(1, brokerOfAccount(accounts, accountNumber));
}

}  // namespace zorvik
