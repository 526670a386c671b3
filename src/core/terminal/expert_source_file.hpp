#pragma once
// The generation step on the open program: the Expert Advisor's source written into the user
// folder as "_Zorvik.mq4", then handed to the compile step. Refusals and failed writes reach
// the trader as messages.
#include <functional>
#include <string_view>

namespace zorvik {

class Workspace;
class TradingSystem;

// Writes "_Zorvik.mq4" into the user folder, stamped with the local time, replacing an
// earlier file atomically. A signal
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
