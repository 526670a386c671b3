// Start-up to the first painted main window (working folder with the demo library, every part
// installed), against showing an empty Qt main window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTest>

#include <filesystem>

#include "app/program_parts.hpp"
#include "app/qt_host.hpp"
#include "app/main_window.hpp"
#include "model/workspace.hpp"
#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;

QApplication& app() {
  static int argc = 1;
  static char name[] = "startup_bench";
  static char* argv[] = {name, nullptr};
  // Never destroyed: at exit Qt's own globals are already gone, and tearing the application
  // down after them crashes.
  static QApplication* a = new QApplication(argc, argv);
  return *a;
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
  app();
  zorvik::testing::TempDir dir;
  zorvik::testing::FolderSeed seed;
  seed.demoLibrary = true;
  zorvik::testing::seedWorkingFolder(dir.path(), seed);
  const fs::path& folder = dir.path();
  for (auto _ : state) {
    zorvik::QtHost host;
    zorvik::Workspace ws(folder, host);
    zorvik::MainWindow form(ws, host, nullptr,
                            [&](zorvik::MainWindow& f) { zorvik::installProgramParts(f, ws, host); });
    form.show();
    benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&form));
    QApplication::processEvents();
  }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_StartUpToFirstPaint_Baseline(benchmark::State& state) {
  app();
  for (auto _ : state) {
    QMainWindow w;
    w.resize(1280, 800);
    w.show();
    benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
  }
}
BENCHMARK(BM_StartUpToFirstPaint_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
