#pragma once
// Values for the trading system as a user or a file gives them, turned into what the system
// stores with the help of the program-wide records: "#n" list indexes become ids through the
// definition table, a "-" magic number becomes a fresh running number, the translated current
// symbol becomes "Symbol()", a caption chosen in a combo box becomes its id.
#include <string>
#include <string_view>

#include "model/trading_system.hpp"

namespace zorvik {

class Workspace;

// The values a reset needs. Draws the next running number from the settings, as every reset
// of the general settings does.
SystemDefaults systemDefaults(Workspace& ws);

// Stores a value the way a user or a component file gives it (see above).
void storeSystemParameter(Workspace& ws, TradingSystem& system, std::string_view key, std::string_view value);
// Turns a caption chosen in a combo box into its id and stores it like storeSystemParameter.
void storeChosenCaption(Workspace& ws, TradingSystem& system, std::string_view key, std::string_view caption);
// The stored value for a view: an unknown key is shown to the user ("paraget unbek:") and
// gives "".
std::string shownSystemParameter(const Workspace& ws, const TradingSystem& system, std::string_view key);

}  // namespace zorvik
