// "copy SYSTEM --from TAB [--mirror] [--yes]": the Powerswitch copy of the signal group of tab
// 1-4 (L, XL, S, XS) to its counterpart, or with --mirror to all three other groups, after the
// same question the window asks; then the system is saved.
#include <iostream>
#include <optional>

#include "analysis/powerswitch.hpp"
#include "command.hpp"
#include "console_host.hpp"
#include "open_named_system.hpp"
#include "option_values.hpp"
#include "workspace/current_system.hpp"

namespace zorvik::cli {
namespace {

int runCopy(Context& ctx) {
  std::string name;
  std::optional<int> from;
  bool mirror = false;
  bool yes = ctx.assumeYes;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    const std::string& a = ctx.args[i];
    std::string refusal;
    if (a == "--from" && i + 1 < ctx.args.size()) {
      if (!readOption(kTabOption, a, ctx.args[++i], from, refusal, &ctx.ws.language)) return kUsage;
    } else if (a == "--mirror") {
      mirror = true;
    } else if (a == "--yes") {
      yes = true;
    } else if (name.empty() && !a.empty() && a[0] != '-') {
      name = a;
    } else {
      return kUsage;
    }
  }
  if (name.empty() || !from) return kUsage;
  Workspace& ws = ctx.ws;
  if (yes)
    if (auto* console = dynamic_cast<ConsoleHost*>(&ws.host())) console->assumeYes = true;

  const auto system = openNamedSystem(ws, name);
  if (!system) return kFailed;
  const auto outcome = runPowerswitchEntry(ws, ws.tr(kPowerswitchCaptions[mirror ? 1 : 0]), *from);
  if (outcome != PowerswitchOutcome::Copied) return kFailed;
  if (!saveCurrentSystem(ws)) return kFailed;
  std::cout << system->path.filename().string() << "\n";
  return kDone;
}

}  // namespace

Command copyCommand() {
  return {"copy", "copy SYSTEM --from TAB [--mirror] [--yes]",
          "copy signal group TAB (1 L, 2 XL, 3 S, 4 XS) to its counterpart or all others, save",
          runCopy};
}

}  // namespace zorvik::cli
