#pragma once
// The broker symbol lists: one semicolon-separated file per broker in "res" naming the
// MetaTrader symbols that broker offers. The list in use fills the catalogue's Symbols list and
// is the target when a system's symbols are moved to another broker.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct BrokerSymbolRecord {
  std::string broker;
  std::string platform;
  std::string clearname;
  std::string symbol;
  std::string basecurrency;
  std::string lotvalue;
  std::string minimumtick;
  std::string tickvalue;
  std::string minimumstop;
  std::string margintype;
  std::string tradinghours;
  bool operator==(const BrokerSymbolRecord&) const = default;
};

// Limits of the file format: lines read, fields per line, and the length a data line must
// exceed (shorter lines are leftovers, not records).
inline constexpr std::size_t kBrokerListMaxLines = 1000;
inline constexpr std::size_t kBrokerListMaxFields = 20;
inline constexpr std::size_t kBrokerListMinLineLength = 12;

// Splits a line at every ";" outside double quotes into at most maxFields fields (the last one
// keeps the rest); each field is trimmed and loses one pair of enclosing quotes.
std::vector<std::string> splitBrokerListLine(std::string_view line, std::size_t maxFields = kBrokerListMaxFields);

// Parses the lines of a broker symbol list: the first line is the header (a leading "'" is
// dropped) whose column names, in any case, place the fields of every later line. Only the
// first kBrokerListMaxLines lines count.
std::vector<BrokerSymbolRecord> parseBrokerSymbolList(const std::vector<std::string>& lines);
// Reads a list file; empty when the file does not exist or cannot be read.
std::vector<BrokerSymbolRecord> readBrokerSymbolList(const std::filesystem::path& file);

// The list file of a broker number: 1 "ATMT4.csv", 2 and every other number "MT4_LCG.csv".
std::string brokerListFile(int broker);

// The symbols of the records in file order. A record without a symbol (a list whose header
// lacks the column) is left out: it would only put empty entries into every symbol choice.
std::vector<std::string> symbolsOf(const std::vector<BrokerSymbolRecord>& records);

}  // namespace zorvik
