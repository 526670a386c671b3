#include "brokers/known_accounts.hpp"

#include "model/definition_table.hpp"

namespace zorvik {

std::vector<KnownAccount> knownAccountsFrom(const DefinitionTable& table) {
  std::vector<KnownAccount> out;
  for (const DefinitionEntry* e : table.entriesOf("general_account")) {
    if (out.size() == 10) break;
    out.push_back({e->deutsch.substr(0, e->deutsch.find('=')), e->meta4});
  }
  return out;
}

int brokerOfAccount(const std::vector<KnownAccount>& accounts, std::string_view account) {
  for (const auto& a : accounts) {
    if (a.number != account) continue;
    if (a.brokerId == "idLCG") return 2;
    return 1;
  }
  return 0;
}

}  // namespace zorvik
