#pragma once
// What the general and money-management editors decide without a window: the parameter set of
// a money-management method and the broker an account choice switches to.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct KnownAccount;

// "!MMFIXEDLOTS" for "idFixed Lots", "#0" and anything unknown; "!MMFIXEDFRACTIONAL" and
// "!MMFIXEDRATIO" for their methods.
std::string_view moneyManagementSet(std::string_view mmType);

inline constexpr std::string_view kGeneralSet = "!GENERAL";
// Rows of the general settings that are built (so their combos hold the system's values) and
// then hidden.
bool isHiddenGeneralKey(std::string_view key);

// The account number of an account choice: the text before the first "=". nullopt when the
// text holds no "=" (it is then stored and changes nothing else).
std::optional<std::string> accountNumberOfChoice(std::string_view chosenText);
// The broker kind of an account: 2 when its broker is "idLCG", 1 for any other broker and for
// an account that is not in the list.
int brokerKindOfAccount(const std::vector<KnownAccount>& accounts, std::string_view accountNumber);

}  // namespace zorvik
