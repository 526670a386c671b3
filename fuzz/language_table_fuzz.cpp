// The language table reader and the translation on arbitrary bytes.
#include "fuzz_input.hpp"
#include "model/language.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvik::LanguageTable language;
  const auto lines = zorvik::fuzz::linesOf(data, size);
  language.loadLines(lines);
  if (!lines.empty()) (void)language.translate(lines.front());
  (void)language.translate("GENERAL@1");
  return 0;
}
