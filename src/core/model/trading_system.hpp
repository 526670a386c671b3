#pragma once
// The trading system: general settings, money management and the four signal groups.
// A system is a plain value: it knows no workspace, and copying it (or clone()) copies every
// group and indicator. What needs the program-wide records (settings, definition table,
// language) happens before a value reaches it; see system_parameters.hpp.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/signal_group.hpp"

namespace zorvik {

struct GeneralRecord {
  std::string filename;
  std::string title;  // title
  std::string account;
  std::string comment;      // may span lines
  std::string accountType;
  std::string broker;
  double lastedittime = 0;  // day serials; nothing sets them, they are only carried along
  double creationtime = 0;
  std::int16_t editok = 1;
  std::string magic;
  bool operator==(const GeneralRecord&) const = default;
};

struct MoneyManagementRecord {
  std::string type;
  std::string lots = "1";
  std::string maxlots = "1";
  std::string base = "10000";
  std::string fraction = "10000";
  std::string delta = "5000";
  std::string slippage = "0";
  std::string maxtrades = "0";
  std::string hedging;
  std::string symbol = "Symbol()";
  std::int16_t editok = 1;
  bool operator==(const MoneyManagementRecord&) const = default;
};

// What a reset fills in that the system cannot know itself.
struct SystemDefaults {
  std::string firstAccount;  // the first known account; empty when none is known
  std::string hedgingId;     // the first id of the "mm_hedging" list
  std::string magic;         // a fresh running number, already drawn from the settings
};

class TradingSystem {
 public:
  // Creates the four groups "L", "XL", "S", "XS"; general and money management stay as
  // constructed until a reset.
  TradingSystem();

  std::string systemFileName;  // set before a reset; the general file name and title follow it
  bool changed = false;
  std::string changedKeys;     // every key passed to setParameter, each followed by ";"
  GeneralRecord general;
  MoneyManagementRecord mm;

  // Group 1 entry long, 2 exit long, 3 entry short, 4 exit short.
  SignalGroup& group(int index) { return groups_.at(static_cast<std::size_t>(index - 1)); }
  const SignalGroup& group(int index) const { return groups_.at(static_cast<std::size_t>(index - 1)); }
  int groupCount() const { return static_cast<int>(groups_.size()); }
  void resizeGroups(int count);

  // Empties the groups (keeping their names) and resets general and money management.
  void resetAll(const SystemDefaults& defaults);
  // Uses the first account and the magic number of the defaults.
  void resetGeneral(const SystemDefaults& defaults);
  // Uses the hedging id of the defaults.
  void resetMoneyManagement(const SystemDefaults& defaults);
  TradingSystem clone() const { return *this; }

  // Stores a value under a key of isSystemParameterKey (surrounding blanks ignored) and notes
  // the key as changed; an unknown key stores nothing but still counts as a change. The value
  // is taken as it is: storeSystemParameter turns "#n", "-" magic and the translated current
  // symbol into what is stored. A title of "#0" becomes the title of the general file name.
  void setParameter(std::string_view key, std::string_view value);
  // The stored value; editok fields as decimal text. nullopt for an unknown key.
  std::optional<std::string> parameter(std::string_view key) const;

 private:
  std::vector<SignalGroup> groups_;
};

// True for the keys setParameter stores (surrounding blanks ignored).
bool isSystemParameterKey(std::string_view key);

// The title a file name gives: the name up to ".hsy"; nullopt-like empty when it holds none.
std::string titleOfFileName(std::string_view fileName, bool* found = nullptr);

}  // namespace zorvik
