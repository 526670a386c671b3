// Listing a large library: 10 000 component files of every kind, 3 000 of them systems whose
// title and magic number are read while listing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "library/library.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

struct Fixture : testing::TestWorkspace {
  Fixture() {
    const fs::path& root = dir.path();
    const char* endings[] = {".sgr.txt", ".igr.txt", ".ind.txt", ".mm.txt", ".stp.txt", ".ex4", ".ind.txt.del"};
    std::mt19937 random(42);
    for (int i = 0; i < 10000; ++i) {
      // Mixed case and escaped names, in no particular order.
      const std::string name = (random() % 2 ? "System " : "sys%2F") + std::to_string(random() % 1000000);
      if (i < 3000) {
        std::ofstream(root / "user" / (name + "-" + std::to_string(i) + ".hsy.txt"), std::ios::binary)
            << "START general\r\nbezeichnung=\"Titel " << i << "\"\r\nmagic=\"" << 100001 + i
            << "\"\r\naccount=\"000000\"\r\ncomment=\"-\"\r\nENDE general\r\nSTART moneymanagement\r\n"
            << "lots=\"1\"\r\nENDE moneymanagement\r\n";
      } else {
        std::ofstream(root / "user" / (name + "-" + std::to_string(i) + endings[i % 7]), std::ios::binary) << "x\r\n";
      }
    }
  }
};

void BM_ListLibrary(benchmark::State& state) {
  static Fixture f;
  Library library(*f.ws);
  for (auto _ : state) {
    library.relistLibrary();
    benchmark::DoNotOptimize(library.groups().data());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ListLibrary)->Unit(benchmark::kMillisecond);

// The floor under the listing: walk the same folder and read the 1 000-byte head of every
// system file with a plain loop, nothing decoded, sorted or looked up.
void BM_ListLibrary_Baseline(benchmark::State& state) {
  static Fixture f;
  std::vector<std::string> names;
  char head[1000];
  for (auto _ : state) {
    names.clear();
    std::size_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(f.ws->userFolder())) {
      std::string name = entry.path().filename().string();
      if (name.size() > 8 && name.compare(name.size() - 8, 8, ".hsy.txt") == 0) {
        std::ifstream in(entry.path(), std::ios::binary);
        in.read(head, sizeof head);
        bytes += static_cast<std::size_t>(in.gcount());
      }
      names.push_back(std::move(name));
    }
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(names.data());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ListLibrary_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
