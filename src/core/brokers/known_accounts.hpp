#pragma once
// The trading accounts the definition table knows, and the broker each belongs to.
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class DefinitionTable;

struct KnownAccount {
  std::string number;    // account number as text
  std::string brokerId;  // "idActiveTrades", "idActive Trades" or "idLCG"
};

// Known trading accounts come from the "general_account" entries of the definition table:
// the account number is the German caption up to its first "=" ("4711=Demo ActiveTrades"),
// the broker id is the entry's META4 field. At most ten are kept.
std::vector<KnownAccount> knownAccountsFrom(const DefinitionTable& table);

// The broker number of a known trading account: 1 for "idActiveTrades" (or "idActive Trades"),
// 2 for "idLCG", 1 for any other broker id, 0 when the account is not known.
int brokerOfAccount(const std::vector<KnownAccount>& accounts, std::string_view account);

}  // namespace zorvik
