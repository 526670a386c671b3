#pragma once
// Putting a whole system on one symbol or one timeframe, and moving its symbols onto the symbol
// names of another broker.
#include <string>
#include <string_view>

namespace zorvik {

class TradingSystem;
class Workspace;

// The form in which symbols are compared: without "_", blanks and "-", in upper case, so that
// "eur-usd" and "EUR_USD " both find "EURUSD".
std::string normaliseSymbol(std::string_view symbol);

// The money-management symbol and the symbol of every indicator become `symbol`.
void setUniformSymbol(Workspace& ws, TradingSystem& system, std::string_view symbol);
// The timeframe of every indicator becomes `timeframeId`; money management has no timeframe.
void setUniformTimeframe(const Workspace& ws, TradingSystem& system, std::string_view timeframeId);

// Ask for a symbol (of the Symbols list) or a timeframe (of the timeframe captions) and apply
// it to the current system, which is then saved and opened again. Nothing happens when no
// system is open or the choice is cancelled; true when a value was applied.
bool askEqualSymbols(Workspace& ws);
bool askEqualTimeFrames(Workspace& ws);

struct SymbolReplacement {
  std::string symbol;
  bool automatic = false;  // found in the Symbols list, not through the user
};

// The symbol of the current Symbols list that stands for `symbol`: a list entry equal in the
// normalised form (the last one if several), else the last manual replacement of that exact
// symbol, else the one the user picks (which is remembered for the rest of the run).
SymbolReplacement findReplacement(Workspace& ws, std::string_view symbol);

struct BrokerSwitchReport {
  int automatic = 0;
  int manual = 0;
  int unchanged = 0;
  std::string lines;  // "old -> new" CR LF for every symbol visited
  bool shown = false; // the report message was shown and the system saved and reopened
};

// Maps every symbol of the current system (money management first, then the indicators group
// by group) onto the current Symbols list. When anything changed or was chosen by hand, the
// report is shown and the system saved and opened again. Nothing when no system is open.
BrokerSwitchReport replaceSymbolsForBroker(Workspace& ws);

// After an account was picked: switch to the symbol list of its broker (the first broker for an
// unknown account) and move the current system onto it.
BrokerSwitchReport switchToBrokerOfAccount(Workspace& ws, std::string_view account);

}  // namespace zorvik
