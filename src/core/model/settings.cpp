#include "model/settings.hpp"

#include <array>
#include <limits>
#include <utility>

#include "model/language.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

// The file is read field by field: a line holds fields separated by commas. A field written
// in double quotes may hold commas; the quotes are not part of the field.
std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i <= n) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::string field;
    if (i < n && line[i] == '"') {
      std::size_t close = line.find('"', i + 1);
      if (close == std::string::npos) close = n;
      field = line.substr(i + 1, close - i - 1);
      i = close + 1;
      std::size_t comma = line.find(',', std::min(i, n));
      i = comma == std::string::npos ? n + 1 : comma + 1;
    } else {
      std::size_t comma = line.find(',', i);
      std::size_t end = comma == std::string::npos ? n : comma;
      field = trim(std::string_view(line).substr(std::min(i, n), end - std::min(i, n)));
      i = comma == std::string::npos ? n + 1 : comma + 1;
    }
    out.push_back(std::move(field));
  }
  return out;
}

// The backtest terms with their keys, for reading and writing alike.
std::array<std::pair<const char*, double Settings::BacktestTerms::*>, 8> backtestKeys() {
  using T = Settings::BacktestTerms;
  return {{{"BTSPREAD", &T::spreadPoints},
           {"BTEINLAGE", &T::deposit},
           {"BTHEBEL", &T::leverage},
           {"BTSTOPOUT", &T::stopOutPercent},
           {"BTKOMMISSION", &T::commissionPerLot},
           {"BTSWAPLONG", &T::swapLongPoints},
           {"BTSWAPSHORT", &T::swapShortPoints},
           {"BTSTOPLEVEL", &T::stopLevelPoints}}};
}

}  // namespace

void parseSettings(const std::vector<std::string>& lines, Settings& s, LanguageTable& language,
                   const std::filesystem::path& resFolder) {
  for (const auto& line : lines) {
    for (const auto& field : fieldsOf(line)) {
      if (field.empty() || field.front() == '\'') continue;
      const std::size_t eq = field.find('=');
      const std::string key = toUpper(trim(std::string_view(field).substr(0, eq)));
      const std::string value = eq == std::string::npos ? std::string() : field.substr(eq + 1);
      if (key == "LANGUAGE") {
        language.switchLanguage(value, resFolder);
      } else if (key == "MODUS") {
        // Whatever was stored, the program starts in its start mode.
        s.displayMode = -1;
      } else if (key.size() == 7 && startsWith(key, "TABCOL") && key[6] >= '0' && key[6] <= '7') {
        s.tabColours[static_cast<std::size_t>(key[6] - '0')] = toInt32(value);
      } else if (key == "TABSTIL") {
        s.tabStyle = toInt32(value);
      } else if (key == "LASTHSID") {
        s.lastSystemId = toInt32(value);
      } else if (key == "MAGIC") {
        s.magic = toInt32(value);
      } else if (key == "METATRADERPFAD") {
        s.metatraderFolder = value;
      } else if (key == "SLIDERMITBUTTONS") {
        s.sliderWithButtons = toInt16(value);
      } else if (key == "STOPLOSSIMCHART") {
        s.stopLossInChart = toInt16(value);
      } else if (key == "ENTWICKLERMODUS") {
        s.developerMode = toInt16(value) == 1 ? 1 : 0;
      } else if (key == "UPDATEURL") {
        s.updateUrl = value;
      } else if (key == "UPDATEHOSTS") {
        s.updateHosts = value;
      } else if (startsWith(key, "BT")) {
        for (const auto& [name, member] : backtestKeys())
          if (key == name) s.backtest.*member = leadingNumber(value);
      }
    }
  }
}

std::vector<std::string> settingsLines(const Settings& s, const LanguageTable& language) {
  // A value holding a comma or a quote is written as one quoted field, so that it is read
  // back whole instead of being cut at the comma.
  auto line = [](const std::string& key, const std::string& value) {
    std::string l = key + "=" + value;
    if (value.find_first_of(",\"") != std::string::npos && value.find('"') == std::string::npos)
      return "\"" + l + "\"";
    return l;
  };
  std::vector<std::string> lines{
      line("LANGUAGE", language.name()),
      line("MODUS", intText(s.displayMode)),
      line("LASTHSID", intText(s.lastSystemId)),
      line("MAGIC", intText(s.magic)),
      line("METATRADERPFAD", s.metatraderFolder),
      line("SLIDERMITBUTTONS", intText(s.sliderWithButtons)),
      line("STOPLOSSIMCHART", intText(s.stopLossInChart)),
      line("UPDATEURL", s.updateUrl),
  };
  // Written only when switched on, so an ordinary settings file keeps its usual lines.
  if (s.developerMode == 1) lines.push_back(line("ENTWICKLERMODUS", "1"));
  if (!s.updateHosts.empty()) lines.push_back(line("UPDATEHOSTS", s.updateHosts));
  const Settings::BacktestTerms defaults;
  for (const auto& [name, member] : backtestKeys())
    if (s.backtest.*member != defaults.*member) lines.push_back(line(name, invariantNumber(s.backtest.*member)));
  return lines;
}

std::optional<std::string> nextRunningNumber(Settings& s) {
  if (s.magic >= std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  ++s.magic;
  return intText(s.magic);
}

}  // namespace zorvik
