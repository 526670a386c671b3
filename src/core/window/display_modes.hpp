#pragma once
// The display modes of the main window and the arithmetic of the help panel's share of the
// window, kept apart from the widgets so that it can be checked without a window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

namespace mode {
inline constexpr std::int16_t Transitional = -2;  // only while start-up lays out the window
inline constexpr std::int16_t Start = -1;         // help panel fills the window
inline constexpr std::int16_t Edit = 0;           // help panel narrow
inline constexpr std::int16_t Help = 1;           // help panel wide
// A results page (the backtest) is shown: the library and the help panel give way to it. Left
// for the mode it was entered from when another page is chosen.
inline constexpr std::int16_t Results = 2;
}  // namespace mode

// Width in pixels the editor area keeps when the help panel is at 100 percent.
inline constexpr int kInnerMinimum = 15;

// The layout file of a mode in the resource folder; empty for a mode without one.
std::string_view layoutFileName(std::int16_t displayMode);

// The help panel width for a share of the available width (inner area plus help panel):
// percent x available / 100, rounded half to even; at 100 percent the available width is
// first reduced by kInnerMinimum so that the editor area does not vanish.
int helpWidthForShare(int percent, int availableWidth);

// The help panel's width as a whole percentage of the available width; 0 when there is no
// width to measure.
int helpShareOf(int helpWidth, int availableWidth);

// The help panel width that leaves the inner area exactly kInnerMinimum wide.
int helpWidthKeepingInnerMinimum(int availableWidth);

// The share a mode command sets, given the current share: 200 sets 35 when the share is above
// 50, 201 sets 65 when it is 50 or below, 202 always 100. nullopt: leave the width alone.
std::optional<int> shareAfterModeCommand(std::int32_t commandId, int currentShare);

// The mode a mode command enters: 0 for 200, 1 for 201 and 202.
std::int16_t modeOfModeCommand(std::int32_t commandId);

struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// The version this program was built as.
ProgramVersion programVersion();

// "Zorvik 1.1.146 >Trend<" for version 1.1.146 and the system file Trend.hsy.txt: the file
// name up to its first "." between " >" and "<". Without an open system just "Zorvik 1.1.146".
std::string windowCaption(const ProgramVersion& version, std::string_view systemFileName);

}  // namespace zorvik
