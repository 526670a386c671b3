#pragma once
// The trading system: general settings, money management and the four signal groups.
// A system is a value: copying it (or clone()) copies every group and indicator.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/signal_group.hpp"

namespace zorvik {

class Workspace;

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

class TradingSystem {
 public:
  // Creates the four groups "L", "XL", "S", "XS"; general and money management stay as
  // constructed until a reset.
  explicit TradingSystem(Workspace& ws);

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

  void resetAll();
  void resetGeneral();
  void resetMoneyManagement();
  TradingSystem clone() const { return *this; }

  void setParameter(std::string_view key, std::string_view value);
  // The stored value; editok fields as decimal text. An unknown key is reported and gives "".
  std::string parameter(std::string_view key) const;
  // Turns a caption chosen in a combo box into its id and stores it.
  void storeChosenCaption(std::string_view key, std::string_view caption);

  Workspace& workspace() const { return *ws_; }

 private:
  Workspace* ws_;
  std::vector<SignalGroup> groups_;
};

// True for the keys setParameter stores (surrounding blanks ignored).
bool isSystemParameterKey(std::string_view key);

// The title a file name gives: the name up to ".hsy"; nullopt-like empty when it holds none.
std::string titleOfFileName(std::string_view fileName, bool* found = nullptr);

}  // namespace zorvik
