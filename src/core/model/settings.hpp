#pragma once
// Program-wide settings and the settings file "Zorvik.ini" in the folder "res".
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorvik {

class LanguageTable;

struct Settings {
  std::int16_t displayMode = -1;     // mode flag of the main window: -1 true, 0 false
  // Colour numbers (red in the low byte) of the tab strips: inactive and active tab, page,
  // strip, tab border, page border, then the text of the inactive and the active tab, which
  // must stay dark to be read on the light tones before them.
  std::array<std::int32_t, 8> tabColours{0xF0F0F0, 0xD8E8F8, 0xC8F0C8, 0xF8E0C0, 0xF8D0D0,
                                         0xF0D8F8, 0x505050, 0x000000};
  std::int32_t tabStyle = 0;
  std::int32_t lastSystemId = 0;     // library item number of the system opened last
  std::int32_t magic = 0;            // running counter behind magic numbers
  std::string metatraderFolder;      // MetaTrader terminal folder
  std::int16_t sliderWithButtons = 0;  // 1: sliders show their step buttons
  std::int16_t stopLossInChart = 0;
  // Developer mode: the generated source is kept and installed beside the EA, and the settings
  // dialog offers the editor. Off unless the settings file holds "ENTWICKLERMODUS=1".
  std::int16_t developerMode = 0;
  // Address of the page that announces updates. Empty: the program never looks for one, so a
  // machine without network never waits on it.
  std::string updateUrl;
  // "UPDATEHOSTS": further hosts the updater may be downloaded from over https, separated by
  // blanks or ";". Empty: only the update page's own host.
  std::string updateHosts;
  // The backtest page's last terms, so that the next start tests on the same account. Spread
  // and stop level in points, deposit and commission in money, swap in points per lot and
  // night. Written only where they differ from these defaults (the run's own defaults).
  struct BacktestTerms {
    double spreadPoints = 20;
    double deposit = 10000;
    double leverage = 100;
    double stopOutPercent = 50;
    double commissionPerLot = 0;
    double swapLongPoints = 0;
    double swapShortPoints = 0;
    double stopLevelPoints = 0;
    bool operator==(const BacktestTerms&) const = default;
  } backtest;
};

// Reads the settings from the lines of a settings file. "LANGUAGE" switches the language
// table (which reads "langEng.txt" from resFolder). Unknown keys are skipped.
void parseSettings(const std::vector<std::string>& lines, Settings& settings, LanguageTable& language,
                   const std::filesystem::path& resFolder);
// The lines of the settings file for the current settings.
std::vector<std::string> settingsLines(const Settings& settings, const LanguageTable& language);

// Increments the running counter and returns its new value as text; nullopt, the counter
// unchanged, when it stands at 2147483647 (wrapping would hand out numbers again).
std::optional<std::string> nextRunningNumber(Settings& settings);

}  // namespace zorvik
