#pragma once
// A filled trading system for the file tests: indicators in three groups, stops, money
// management and a comment over several lines with the awkward cases of the file format.
#include <string>

#include "model/trading_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

// A day serial used as "lastedittime" of every indicator, so files do not depend on the clock.
inline constexpr double kSampleEditTime = 45678.5;

// A new indicator of the given type with the catalogue defaults.
Indicator sampleIndicator(const Workspace& ws, const std::string& type);

// Resets the system to the file name and fills it.
void fillSampleSystem(Workspace& ws, TradingSystem& system, const std::string& fileName = "Trend.hsy.txt");

// Text written with "\n" line ends, as the CR LF bytes of a file.
std::string crlf(const std::string& text);

}  // namespace zorvik::testing
