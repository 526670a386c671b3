#include "window/display_modes.hpp"

#include <cmath>

#include "window/command_table.hpp"
#include "text/numbers.hpp"

namespace zorvik {

std::string_view layoutFileName(std::int16_t displayMode) {
  switch (displayMode) {
    case mode::Start: return "cbLayoutZero.bin";
    case mode::Edit: return "cbLayoutEdit.bin";
    case mode::Help: return "cbLayoutHilfe.bin";
    case mode::Results: return "cbLayoutErgebnis.bin";
    default: return {};
  }
}

int helpWidthForShare(int percent, int availableWidth) {
  if (percent == 100) availableWidth -= kInnerMinimum;
  return static_cast<int>(roundHalfEven(static_cast<double>(percent) * availableWidth / 100.0));
}

int helpShareOf(int helpWidth, int availableWidth) {
  if (availableWidth <= 0) return 0;
  return static_cast<int>(roundHalfEven(100.0 * helpWidth / availableWidth));
}

int helpWidthKeepingInnerMinimum(int availableWidth) { return availableWidth - kInnerMinimum; }

std::optional<int> shareAfterModeCommand(std::int32_t commandId, int currentShare) {
  switch (commandId) {
    case cmd::EditMode: return currentShare > 50 ? std::optional<int>(35) : std::nullopt;
    case cmd::HelpMode: return currentShare <= 50 ? std::optional<int>(65) : std::nullopt;
    case cmd::StartMode: return 100;
    default: return std::nullopt;
  }
}

std::int16_t modeOfModeCommand(std::int32_t commandId) {
  return commandId == cmd::EditMode ? mode::Edit : mode::Help;
}

ProgramVersion programVersion() { return {ZORVIK_VERSION_MAJOR, ZORVIK_VERSION_MINOR, ZORVIK_VERSION_PATCH}; }

std::string windowCaption(const ProgramVersion& version, std::string_view systemFileName) {
  std::string caption = "Zorvik " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                        std::to_string(version.revision);
  if (systemFileName.empty()) return caption;
  return caption + " >" + std::string(systemFileName.substr(0, systemFileName.find('.'))) + "<";
}

}  // namespace zorvik
