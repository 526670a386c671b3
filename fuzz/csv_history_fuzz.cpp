// The CSV history reader (both forms) on arbitrary text, and its writers on what it accepts.
#include "fuzz_input.hpp"
#include "market/history_files.hpp"
#include "text/strings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const HistoryRead r = readCsvHistory(text, "EURUSD60.csv");
  if (!r.ok()) {
    // The message may quote the text; it must not carry its control characters to a terminal.
    if (hasControlCharacter(r.error->message())) __builtin_trap();
    return 0;
  }
  // What was read is written and read back to the same bars (a file of seconds has no History
  // Center form, so the header form is the one that must always work).
  const auto again = headerCsvText(r.series);
  if (!again) __builtin_trap();
  const HistoryRead back = readCsvHistory(*again, "EURUSD60.csv");
  if (!back.ok() || back.series.close != r.series.close || back.series.time != r.series.time ||
      back.series.volume != r.series.volume)
    __builtin_trap();
  (void)historyCenterCsvText(r.series);
  return 0;
}
