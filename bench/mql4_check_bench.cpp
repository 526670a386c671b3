// Checking the Expert Advisor of a large system (four groups of fifty indicators, every
// indicator type in turn) with our own MQL4 checker, as the compile step does before every
// compile. The baseline is the plain scan a substitute compiler makes of the same bytes:
// brackets balanced outside strings and comments.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "big_system.hpp"
#include "generator/expert_generator.hpp"
#include "terminal/expert_source_file.hpp"
#include "mql4/checker.hpp"
#include "mql4/lexer.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace {

namespace fs = std::filesystem;
using namespace zorvik;

// The bytes of user/_Zorvik.mq4 for the 4 x 50 system, as the generator writes them.
std::string bigExpertSource() {
  testing::BigSystem big;
  if (!writeExpertSource(big.ws, big.ws.system(), "100001")) return {};
  std::ifstream in(big.ws.userFile("_Zorvik.mq4"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string& source() {
  static const std::string bytes = bigExpertSource();
  return bytes;
}

void BM_CheckExpert(benchmark::State& state) {
  const std::string& bytes = source();
  bool ok = false;
  for (auto _ : state) {
    const mql4::CheckResult r = mql4::checkSource(bytes);
    ok = r.ok();
    benchmark::DoNotOptimize(ok);
  }
  if (!ok) state.SkipWithError("the generated EA does not pass the check");
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_CheckExpert)->Unit(benchmark::kMillisecond);

// The lexer alone: how much of the check is reading the text.
void BM_CheckExpert_Tokens(benchmark::State& state) {
  const std::string& bytes = source();
  for (auto _ : state) {
    mql4::Diagnostics diagnostics;
    auto tokens = mql4::tokenize(bytes, diagnostics);
    benchmark::DoNotOptimize(tokens.data());
  }
}
BENCHMARK(BM_CheckExpert_Tokens)->Unit(benchmark::kMillisecond);

// The plain way: one pass over the bytes, brackets counted outside strings and comments.
void BM_CheckExpert_Baseline(benchmark::State& state) {
  const std::string& bytes = source();
  for (auto _ : state) {
    int depth = 0;
    bool balanced = true;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
      const char c = bytes[i];
      if (c == '/' && i + 1 < n && bytes[i + 1] == '/') {
        while (i < n && bytes[i] != '\n') ++i;
      } else if (c == '"') {
        for (++i; i < n && bytes[i] != '"' && bytes[i] != '\n'; ++i)
          if (bytes[i] == '\\') ++i;
      } else if (c == '{' || c == '(' || c == '[') {
        ++depth;
      } else if (c == '}' || c == ')' || c == ']') {
        if (--depth < 0) balanced = false;
      }
    }
    benchmark::DoNotOptimize(balanced &= depth == 0);
  }
}
BENCHMARK(BM_CheckExpert_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
