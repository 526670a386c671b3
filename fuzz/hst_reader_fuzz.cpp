// The .hst reader on arbitrary bytes, in memory and through a file (chunked reading, listing),
// and through the same file grown sparse to a size it does not hold.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz_input.hpp"
#include "market/history_files.hpp"
#include "market/hst_layout.hpp"
#include "market/timeframes.hpp"
#include "terminal/history_listing.hpp"
#include "text/strings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const HistoryRead r = readHst(bytes, "fuzz.hst");
  // Nothing read from the file reaches a terminal with a control character in it.
  if (r.ok() ? hasControlCharacter(r.series.symbol) : hasControlCharacter(r.error->message())) __builtin_trap();
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

  // The same file lying about its size: made longer by seeking, by an amount the input's first
  // bytes choose, up to a petabyte of nothing. The readers must refuse it from the size alone
  // or at its first empty record, never reserve for it or crash.
  if (size >= 8) {
    std::uint64_t extra = 0;
    for (int k = 0; k < 8; ++k) extra = extra << 8 | data[k];
    extra %= std::uint64_t{1} << 50;
    std::error_code ec;
    std::filesystem::resize_file(file, size + extra, ec);
    if (!ec) {
      const HistoryRead lying = readHstFile(file);
      if (extra >= 2 * kHst401RecordSize && lying.ok()) __builtin_trap();
      const HistoryFileInfo info = describeHstFile(file);
      if (info.bars > kMaxHistoryBars || hasControlCharacter(info.error)) __builtin_trap();
    }
  }
  return 0;
}
