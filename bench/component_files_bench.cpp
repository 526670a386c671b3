// Reading and writing a large trading system: four groups of 50 indicators each.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "model/component_files.hpp"
#include "model/system_head.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "text/text_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/current_system.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

// A working folder with the program's res/ and a system of 4 x 50 indicators saved in it.
struct Fixture : testing::TestWorkspace {
  Fixture() {
    const char* types[] = {"MACD", "RSI", "Moving Average", "2 Moving Averages Cross", "Bollinger Bands",
                           "Stochastik"};
    TradingSystem& system = ws->system();
    system.systemFileName = "Gross.hsy.txt";
    system.resetAll(systemDefaults(*ws));
    applySystemDefaults(*ws, system);
    system.setParameter("general_comment", "Ein großes System\r\nmit 200 Indikatoren");
    for (int g = 1; g <= 4; ++g)
      for (int i = 0; i < 50; ++i) {
        Indicator ind(types[i % 6]);
        applyIndicatorDefaults(*ws, ind, 45658.5);
        ind.setParameter(ws->definitions, ws->language, "comment", "Indikator " + std::to_string(i));
        system.group(g).addIndicator(ind);
      }
    file = ws->userFile("Gross.hsy.txt");
    writeSystemFile(system, file);
  }
  fs::path file;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_ReadSystemFile(benchmark::State& state) {
  Fixture& f = fixture();
  TradingSystem system;
  for (auto _ : state) {
    system.resetAll(systemDefaults(*f.ws));
    readComponent(*f.ws, system, f.file, "", 0);
    benchmark::DoNotOptimize(system.group(4).count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(f.file)));
}
BENCHMARK(BM_ReadSystemFile)->Unit(benchmark::kMicrosecond);

void BM_WriteSystemLines(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) benchmark::DoNotOptimize(toFileText(systemFileLines(f.ws->system())));
}
BENCHMARK(BM_WriteSystemLines)->Unit(benchmark::kMicrosecond);

// The whole save: lines, Windows-1252, temporary file, flush to disk, rename.
void BM_SaveSystemFile(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) writeSystemFile(f.ws->system(), f.file);
}
BENCHMARK(BM_SaveSystemFile)->Unit(benchmark::kMicrosecond);

// What a click in the library costs: save the open system, reset, read the other one.
void BM_OpenSystem(benchmark::State& state) {
  Fixture& f = fixture();
  openSystem(*f.ws, "Gross.hsy.txt");
  for (auto _ : state) openSystem(*f.ws, "Gross.hsy.txt");
}
BENCHMARK(BM_OpenSystem)->Unit(benchmark::kMicrosecond);

// The quick title and magic look-up the library listing does for every system.
void BM_QuickReaders(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    benchmark::DoNotOptimize(readTitle(f.ws->userFolder(), "Gross.hsy.txt"));
    benchmark::DoNotOptimize(readMagic(f.ws->userFolder(), "Gross.hsy.txt"));
  }
}
BENCHMARK(BM_QuickReaders)->Unit(benchmark::kMicrosecond);

}  // namespace
