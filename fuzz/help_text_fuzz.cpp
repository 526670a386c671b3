// The help text reader and its lookup on arbitrary bytes.
#include "fuzz_input.hpp"
#include "help/help_texts.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvik::HelpTextTable table;
  table.loadLines(zorvik::fuzz::linesOf(data, size));
  for (const auto& entry : table.entries()) (void)table.text(entry.key);
  (void)table.text("period");
  return 0;
}
