// The component reader on arbitrary bytes: it must never crash or hang, and whatever it makes
// of the bytes must be written in a form that reads back to the same system.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/component_files.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "text/text_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace {

using namespace zorvik;

RecordingHost& host() {
  static RecordingHost h;
  return h;
}

Workspace& workspace() {
  // The program's own res/ (definition table, catalogue), without creating a user folder.
  static Workspace* ws = [] {
    auto* w = new Workspace(ZORVIK_SOURCE_DIR, host());
    w->loadSettings();
    w->catalogue.readParameterCoding(w->language, w->brokerSymbols);
    w->catalogue.readIndicatorCoding();
    return w;
  }();
  return *ws;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr std::string_view kinds[] = {"", "SGR", "IGR", "IND", "MM", "STOP"};
  const std::string_view kind = kinds[data[0] % 6];
  const int target = (data[0] / 6) % 5;  // 0 (no valid group) to 4
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  Workspace& ws = workspace();
  host().messages.clear();
  TradingSystem first;
  first.resetAll(systemDefaults(ws));
  readComponentText(ws, first, bytes, kind, target);
  const auto lines = systemFileLines(first);

  TradingSystem second;
  second.resetAll(systemDefaults(ws));
  readComponentText(ws, second, toFileText(lines), "", 0);
  if (systemFileLines(second) != lines) std::abort();

  // The other writers on whatever was read.
  for (int g = 1; g <= 4; ++g) {
    (void)indicatorGroupFileLines(first.group(g), "x");
    (void)stopsFileLines(first.group(g), "x");
    for (const auto& ind : first.group(g).indicators()) (void)indicatorFileLines(ind, "x");
  }
  (void)signalGroupsFileLines(first, "x\r\ny");
  (void)moneyManagementFileLines(first.mm, "");
  return 0;
}
