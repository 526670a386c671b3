#pragma once
// "Generate the Expert Advisor" for the open system, as the menu command, the library's context
// menu and the command line all do it: save the system, write the source from it, then compile
// and install the EA named after the system's file.
#include <string>

namespace zorvik {

class Workspace;

struct GenerateOutcome {
  bool sourceWritten = false;  // user/_Zorvik.mq4 holds the system's EA
  bool created = false;        // the compiled EA is in the user folder
  std::string eaName;
};

// Nothing happens without an open system. A system that cannot be saved is not generated: the
// EA would not match what the library holds. With compile off only the source is written.
GenerateOutcome generateExpertOfOpenSystem(Workspace& ws, bool compile = true);

}  // namespace zorvik
