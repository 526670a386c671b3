// The broker symbol list reader and symbol normalising on arbitrary bytes.
#include "analysis/uniform_symbols.hpp"
#include "brokers/broker_symbols.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto records = zorvik::parseBrokerSymbolList(zorvik::fuzz::linesOf(data, size));
  for (const auto& r : records) (void)zorvik::normaliseSymbol(r.symbol);
  return 0;
}
