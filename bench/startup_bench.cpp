// Start-up as the user feels it: a whole process from exec to the first painted main window
// (`zorvik --exit-after-first-paint` on a working folder with the demo library), against a
// process that shows an empty Qt main window and ends the same way. Both are measured alike:
// wall time from fork to the child's exit, the child's processor time (user and system) and its
// peak resident memory, all from wait4. On a busy machine the wall time waits for other
// programs too; the processor time does not.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;

struct ChildRun {
  double seconds = 0;
  double cpuSeconds = 0;
  double peakMiB = 0;
  int exitCode = -1;
};

ChildRun runToFirstPaint(const std::string& program, const fs::path& workingFolder) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (chdir(workingFolder.c_str()) != 0) _exit(126);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    execl(program.c_str(), program.c_str(), "--exit-after-first-paint", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  ChildRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto secondsOf = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  run.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

void measure(benchmark::State& state, const std::string& program, const fs::path& folder) {
  double peak = 0;
  double cpu = 0;
  int runs = 0;
  for (auto _ : state) {
    const ChildRun run = runToFirstPaint(program, folder);
    if (run.exitCode != 0) {
      state.SkipWithError(("exit code " + std::to_string(run.exitCode) + " from " + program).c_str());
      return;
    }
    state.SetIterationTime(run.seconds);
    peak = std::max(peak, run.peakMiB);
    cpu += run.cpuSeconds;
    ++runs;
  }
  state.counters["peak_MiB"] = peak;
  state.counters["child_cpu_ms"] = runs > 0 ? 1000.0 * cpu / runs : 0.0;
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
  zorvik::testing::TempDir dir;
  zorvik::testing::FolderSeed seed;
  seed.demoLibrary = true;
  zorvik::testing::seedWorkingFolder(dir.path(), seed);
  measure(state, ZORVIK_PROGRAM, dir.path());
}
BENCHMARK(BM_StartUpToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StartUpToFirstPaint_Baseline(benchmark::State& state) {
  zorvik::testing::TempDir dir;
  measure(state, EMPTY_MAIN_WINDOW_PROGRAM, dir.path());
}
BENCHMARK(BM_StartUpToFirstPaint_Baseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
