// Reading a 100 MB MetaTrader 4 history file (version 401, 1.75 million bars) from the page
// cache into bar columns, against a plain read() of the same file into one buffer.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "market/history_files.hpp"
#include "test_support.hpp"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr std::size_t kBars = 100'000'000 / 60;

struct HistoryFile {
  testing::TempDir dir;
  fs::path path = dir.path() / "EURUSD1.hst";
  std::size_t size = 0;
  HistoryFile() {
    BarSeries s;
    s.symbol = "EURUSD";
    s.timeframeMinutes = 1;
    s.digits = 5;
    s.reserve(kBars);
    std::int64_t points = 110000;
    std::uint64_t state = 42;
    for (std::size_t i = 0; i < kBars; ++i) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      const std::int64_t step = static_cast<std::int64_t>(state >> 60) - 8;
      const std::int64_t close = std::max<std::int64_t>(1000, points + step);
      s.push_back({1'600'000'000 + static_cast<std::int64_t>(i) * 60, points / 1e5, (std::max(points, close) + 3) / 1e5,
                   (std::min(points, close) - 2) / 1e5, close / 1e5, static_cast<double>(10 + (state >> 58))});
      points = close;
    }
    std::string error;
    if (!writeHistoryFile(path, s, HistoryFormat::Hst401, &error)) throw std::runtime_error(error);
    size = fs::file_size(path);
  }
};

HistoryFile& file() {
  static HistoryFile f;
  return f;
}

void BM_ReadHst401(benchmark::State& state) {
  HistoryFile& f = file();
  for (auto _ : state) {
    HistoryRead r = readHstFile(f.path);
    if (!r.ok() || r.series.size() != kBars) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(r.series.close.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size));
}
BENCHMARK(BM_ReadHst401)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same bytes into one freshly allocated buffer with read(), nothing decoded.
void BM_ReadHst401_Baseline(benchmark::State& state) {
  HistoryFile& f = file();
  for (auto _ : state) {
    const int fd = ::open(f.path.c_str(), O_RDONLY);
    std::unique_ptr<char[]> buf(new char[f.size]);
    std::size_t got = 0;
    while (got < f.size) {
      const ssize_t n = ::read(fd, buf.get() + got, f.size - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got != f.size) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buf.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size));
}
BENCHMARK(BM_ReadHst401_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
