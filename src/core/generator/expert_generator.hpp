#pragma once
// The MQL4 source of the Expert Advisor of a trading system, written to "_Zorvik.mq4" in the
// user folder and then handed to the compile step.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/numbers.hpp"

namespace zorvik {

class Workspace;
class TradingSystem;
class SignalGroup;

inline constexpr std::string_view kExpertSourceFile = "_Zorvik.mq4";

// The side code an indicator's lines are written for: its group's code for "idStandard", the
// opposite side ("L" <-> "S", "XL" <-> "XS") for "idReverse", empty for anything else.
std::string sideCodeFor(std::string_view actionType, std::string_view groupSide);

// True when a signal value can be summed: after blanks, a decimal number with "." as the
// point (optional sign and exponent) and nothing else.
bool isSignalNumber(std::string_view value);

// The group's signal values summed in list order, rounded half to even after each addition;
// nullopt when a value is not a number (the position of the first such indicator, 1-based, in
// *badPosition).
std::optional<double> signalSum(const SignalGroup& group, int* badPosition = nullptr);

// The points a group needs: floor(p * sum / 100) with p the leading number of the threshold
// text rounded half to even. The product is held as a 32-bit integer, saturating.
std::int32_t thresholdPoints(std::string_view threshold, double sum);

// The lot-size text of the source: ".5" becomes "0.5".
std::string lotsText(std::string_view storedLots);

// The whole source, line by line, with the given time in its header. nullopt when a signal
// value is not a number; *fault then names the place (group caption, position, type, value).
std::optional<std::vector<std::string>> expertSourceLines(const Workspace& ws, const TradingSystem& system,
                                                          std::string_view magic, const DateTime& generatedAt,
                                                          std::string* fault = nullptr);

// Writes "_Zorvik.mq4" into the user folder, replacing an earlier file atomically. A signal
// value that is not a number, or a failed write, is reported in a message box and nothing is
// written. True when the file was written.
bool writeExpertSource(Workspace& ws, const TradingSystem& system, std::string_view magic);

// The second half of the generation: compiles the written source and installs the Expert
// Advisor of the given name; returns 1 when the compile step ran.
using CompileAndInstall = std::function<int(Workspace& ws, std::string_view eaName)>;

// Generates the Expert Advisor: refuses an empty EA name with a message, writes the source and,
// when that succeeded, runs the compile step. Returns what the compile step returns, 0 when it
// did not run.
int generateExpertSource(Workspace& ws, const TradingSystem& system, std::string_view magic, std::string_view eaName,
                    const CompileAndInstall& compileAndInstall);

}  // namespace zorvik
