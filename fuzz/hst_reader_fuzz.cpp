// The .hst reader on arbitrary bytes, in memory and through a file (chunked reading, listing).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz_input.hpp"
#include "market/history_files.hpp"
#include "market/timeframes.hpp"
#include "terminal/history_listing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const HistoryRead r = readHst(bytes, "fuzz.hst");
  if (r.ok()) {
    // Whatever the reader accepts, the writer writes in the version it came in (version 401
    // holds only whole tick counts, version 400 only times before 2038), the bytes read back to
    // the same bars, and every timeframe builds without fault.
    const auto written = hstBytes(r.series, r.format == HistoryFormat::Hst400 ? 400 : 401);
    if (!written) __builtin_trap();
    const HistoryRead again = readHst(*written, "again.hst");
    if (!again.ok() || again.series.size() != r.series.size() || again.series.time != r.series.time) __builtin_trap();
    for (int minutes : {5, 60, 1440, kMinutesW1, kMinutesMN1}) (void)buildTimeframe(r.series, minutes);
  } else {
    (void)r.error->message();
  }
  // One scratch file per fuzzing process, removed when the process ends.
  struct Scratch {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("hst_reader_fuzz_" + std::to_string(::getpid()) + ".hst");
    ~Scratch() {
      std::error_code ec;
      std::filesystem::remove(path, ec);
    }
  };
  static const Scratch scratch;
  const std::filesystem::path& file = scratch.path;
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
