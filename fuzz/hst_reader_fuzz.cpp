// The .hst reader on arbitrary bytes, in memory and through a file (chunked reading, listing).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz_input.hpp"
#include "market/history_files.hpp"
#include "market/history_listing.hpp"
#include "market/timeframes.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const HistoryRead r = readHst(bytes, "fuzz.hst");
  if (r.ok()) {
    // Whatever the reader accepts, the writer writes and every timeframe builds without fault.
    if (!hstBytes(r.series, 401)) __builtin_trap();
    for (int minutes : {5, 60, 1440, kMinutesW1, kMinutesMN1}) (void)buildTimeframe(r.series, minutes);
  } else {
    (void)r.error->message();
  }
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("hst_reader_fuzz_" + std::to_string(::getpid()) + ".hst");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const HistoryRead fromFile = readHstFile(file);
  // Both ways of reading agree on what is sound.
  if (fromFile.ok() != r.ok()) __builtin_trap();
  (void)describeHstFile(file);
  return 0;
}
