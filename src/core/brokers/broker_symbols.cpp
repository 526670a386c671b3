#include "brokers/broker_symbols.hpp"

#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

std::size_t characterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// The record field a header column fills; null for columns the record does not know.
std::string BrokerSymbolRecord::*fieldOfColumn(std::string_view name) {
  static constexpr struct {
    std::string_view name;
    std::string BrokerSymbolRecord::*field;
  } kColumns[] = {
      {"broker", &BrokerSymbolRecord::broker},           {"platform", &BrokerSymbolRecord::platform},
      {"clearname", &BrokerSymbolRecord::clearname},     {"symbol", &BrokerSymbolRecord::symbol},
      {"basecurrency", &BrokerSymbolRecord::basecurrency}, {"lotvalue", &BrokerSymbolRecord::lotvalue},
      {"minimumtick", &BrokerSymbolRecord::minimumtick}, {"tickvalue", &BrokerSymbolRecord::tickvalue},
      {"minimumstop", &BrokerSymbolRecord::minimumstop}, {"margintype", &BrokerSymbolRecord::margintype},
      {"tradinghours", &BrokerSymbolRecord::tradinghours},
  };
  for (const auto& c : kColumns)
    if (iequals(c.name, name)) return c.field;
  return nullptr;
}

}  // namespace

std::vector<std::string> splitBrokerListLine(std::string_view line, std::size_t maxFields) {
  std::vector<std::string> fields;
  std::string current;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted && (maxFields == 0 || fields.size() + 1 < maxFields)) {
      fields.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  fields.push_back(std::move(current));
  for (auto& f : fields) f = unquote(trim(f));
  return fields;
}

std::vector<BrokerSymbolRecord> parseBrokerSymbolList(const std::vector<std::string>& lines) {
  std::vector<BrokerSymbolRecord> records;
  if (lines.empty()) return records;
  std::string header = lines.front();
  if (startsWith(header, "'")) header.erase(0, 1);
  std::vector<std::string BrokerSymbolRecord::*> columns;
  for (const auto& name : splitBrokerListLine(header)) columns.push_back(fieldOfColumn(name));

  const std::size_t end = std::min(lines.size(), kBrokerListMaxLines);
  for (std::size_t i = 1; i < end; ++i) {
    const std::string& line = lines[i];
    if (trim(line).empty() || characterCount(line) <= kBrokerListMinLineLength) continue;
    BrokerSymbolRecord r;
    const auto fields = splitBrokerListLine(line);
    for (std::size_t c = 0; c < fields.size() && c < columns.size(); ++c)
      if (columns[c]) r.*columns[c] = fields[c];
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<BrokerSymbolRecord> readBrokerSymbolList(const std::filesystem::path& file) {
  auto lines = readTextLines(file);
  return lines ? parseBrokerSymbolList(*lines) : std::vector<BrokerSymbolRecord>{};
}

std::string brokerListFile(int broker) { return broker == 1 ? "ATMT4.csv" : "MT4_LCG.csv"; }

std::vector<std::string> symbolsOf(const std::vector<BrokerSymbolRecord>& records) {
  std::vector<std::string> out;
  for (const auto& r : records)
    if (!r.symbol.empty()) out.push_back(r.symbol);
  return out;
}

}  // namespace zorvik
