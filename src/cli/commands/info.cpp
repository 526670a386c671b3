// "info": what the working folder holds, as the program sees it after start-up.
#include <iostream>

#include "command.hpp"

namespace zorvik::cli {
namespace {

int runInfo(Context& ctx) {
  if (!ctx.args.empty()) return kUsage;
  const Workspace& ws = ctx.ws;
  std::cout << "working folder\t" << ws.root().string() << "\n"
            << "language\t" << (ws.language.english() ? "ENGLISCH" : "DEUTSCH") << "\n"
            << "definition entries\t" << ws.definitions.entries().size() << "\n"
            << "parameters\t" << ws.catalogue.parameters().size() << "\n"
            << "indicator types\t" << ws.catalogue.indicatorTypeCount() << "\n"
            << "known accounts\t" << ws.knownAccounts.size() << "\n"
            << "magic counter\t" << ws.settings.magic << "\n"
            << "metatrader folder\t" << ws.settings.metatraderFolder << "\n";
  for (const char* tab : {"GENERAL@1", "LONG@1", "EXIT LONG@1", "SHORT@1", "EXIT SHORT@1", "MONEYMANAGEMENT@1",
                          "EINSTELLUNGEN@1"})
    std::cout << "tab\t" << ws.tr(tab) << "\n";
  return kDone;
}

}  // namespace

Command infoCommand() {
  return {"info", "info", "show what the working folder holds", runInfo};
}

}  // namespace zorvik::cli
