#pragma once
// "Generate the Expert Advisor" for the open system, as the menu command, the library's context
// menu and the command line all do it: save the system, write the source from it, then compile
// and install the EA named after the system's file.
#include <string>

namespace zorvik {

class TradingSystem;
class Workspace;

struct GenerateOutcome {
  bool sourceWritten = false;  // user/_Zorvik.mq4 holds the system's EA
  bool created = false;        // the compiled EA is in the user folder
  bool checkedOnly = false;    // no compiler: the source passed the check and is kept as "<EA name>.mq4"
  bool installed = false;      // ... and reached every experts folder of the terminal
  bool declined = false;       // the trader chose not to generate after the lint's warnings
  std::string eaName;
};

// Nothing happens without an open system. A system that cannot be saved is not generated: the
// EA would not match what the library holds. With compile off only the source is written.
// With askAboutWarnings the lint's warnings are put to the trader first as a Yes/No question
// (Yes goes on); a No generates nothing. The command line passes false and prints them itself.
GenerateOutcome generateExpertOfOpenSystem(Workspace& ws, bool compile = true, bool askAboutWarnings = true);

// The lint's warnings as one question: go on generating anyway? Empty without warnings.
std::string lintQuestion(const Workspace& ws, const TradingSystem& system);

}  // namespace zorvik
