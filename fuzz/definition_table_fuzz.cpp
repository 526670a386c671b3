// The definition table reader and its lookups on arbitrary bytes.
#include "fuzz_input.hpp"
#include "model/definition_table.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvik::DefinitionTable table;
  table.parse(zorvik::fuzz::linesOf(data, size));
  for (const auto& e : table.entries()) {
    (void)table.indexToId(e.type, "#1");
    (void)table.idToMeta4(e.id);
    (void)table.captionToId(e.type, e.deutsch, zorvik::CaptionLanguage::German);
    break;
  }
  return 0;
}
