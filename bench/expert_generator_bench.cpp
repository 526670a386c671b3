// Generating the Expert Advisor of a large system: four groups of fifty indicators, every
// indicator type in turn, as lines in memory and as the written file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "big_system.hpp"
#include "generator/expert_generator.hpp"
#include "terminal/expert_source_file.hpp"
#include "model/trading_system.hpp"
#include "text/text_files.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace {

namespace fs = std::filesystem;
using namespace zorvik;

using testing::BigSystem;

void BM_ExpertSourceLines(benchmark::State& state) {
  BigSystem big;
  const ExpertOptions options{"100001", expertTimeStamp(DateTime{2026, 1, 2, 3, 4, 5}), &big.ws.language};
  for (auto _ : state) {
    auto source = expertSourceLines(big.ws.system(), big.ws.catalogue, big.ws.definitions, options);
    benchmark::DoNotOptimize(source);
  }
}
BENCHMARK(BM_ExpertSourceLines)->Unit(benchmark::kMicrosecond);

void BM_WriteExpertSource(benchmark::State& state) {
  BigSystem big;
  for (auto _ : state) benchmark::DoNotOptimize(writeExpertSource(big.ws, big.ws.system(), "100001"));
}
BENCHMARK(BM_WriteExpertSource)->Unit(benchmark::kMicrosecond);

// What generation costs beyond the disk: the same bytes written with a plain stream.
void BM_WriteExpertSource_Baseline(benchmark::State& state) {
  BigSystem big;
  writeExpertSource(big.ws, big.ws.system(), "100001");
  const fs::path written = big.ws.userFile("_Zorvik.mq4");
  std::string bytes;
  {
    std::ifstream in(written, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const fs::path target = big.folder / "plain.mq4";
  for (auto _ : state) {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_WriteExpertSource_Baseline)->Unit(benchmark::kMicrosecond);

// The safe replacement alone (temporary file, rename), for the same bytes.
void BM_WriteExpertSource_AtomicOnly(benchmark::State& state) {
  BigSystem big;
  writeExpertSource(big.ws, big.ws.system(), "100001");
  const fs::path written = big.ws.userFile("_Zorvik.mq4");
  std::string bytes;
  {
    std::ifstream in(written, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const fs::path target = big.folder / "atomic.mq4";
  for (auto _ : state) benchmark::DoNotOptimize(writeFileAtomic(target, bytes, nullptr, Durability::Regenerable));
}
BENCHMARK(BM_WriteExpertSource_AtomicOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
