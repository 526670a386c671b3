// The MQL4 checker on arbitrary bytes: any source, however broken, gives messages and never a
// crash, a hang or a read outside the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mql4/checker.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const zorvik::mql4::CheckResult result = zorvik::mql4::checkSource(source);
  (void)zorvik::mql4::formatDiagnostics("fuzz.mq4", result.diagnostics);
  return 0;
}
