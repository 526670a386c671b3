// MQL4 source of any kind checked and, when it passes, run by the interpreter on a small
// history: whatever the program does, the run ends with trades or a reported fault.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "market/bar_series.hpp"
#include "mql4/checker.hpp"
#include "mql4/interpreter.hpp"

namespace {

const zorvik::BarSeries& history() {
  static const zorvik::BarSeries bars = [] {
    zorvik::BarSeries s;
    s.symbol = "EURUSD";
    s.timeframeMinutes = 60;
    s.digits = 5;
    for (int i = 0; i < 30; ++i) {
      const double open = 1.1 + (i % 7) * 0.0003;
      const double close = open + ((i % 3) - 1) * 0.0002;
      s.push_back({1704067200 + i * 3600, open, std::max(open, close) + 0.0001, std::min(open, close) - 0.0001, close, 10});
    }
    return s;
  }();
  return bars;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zorvik::mql4::CheckResult checked =
      zorvik::mql4::checkSource(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!checked.ok()) return 0;
  auto loaded = zorvik::mql4::ExpertInterpreter::load(checked.program);
  if (loaded.index() != 0) return 0;
  zorvik::mql4::ExpertTestSettings settings;
  settings.history = &history();
  settings.endBar = history().size();
  settings.loopLimit = 10000;
  // Small budgets: a recursion bomb, a string doubled in a loop or a log flood ends in a
  // reported stop within moments instead of holding up the fuzzer.
  settings.budget.steps = 1'000'000;
  settings.budget.memoryBytes = 64LL << 20;
  settings.budget.logBytes = 1LL << 20;
  settings.budget.tickTime = std::chrono::seconds(2);
  settings.log = [](std::string_view) {};
  (void)std::get<0>(loaded)->run(settings);
  return 0;
}
