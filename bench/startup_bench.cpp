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

fs::path seededFolder() {
  const fs::path folder = fs::temp_directory_path() / "zorvik_startup_bench";
  fs::remove_all(folder);
  fs::create_directories(folder / "user");
  fs::copy(fs::path(ZORVIK_SOURCE_DIR) / "res", folder / "res", fs::copy_options::recursive);
  fs::copy(fs::path(ZORVIK_SOURCE_DIR) / "examples" / "user", folder / "user", fs::copy_options::recursive);
  return folder;
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
  app();
  const fs::path folder = seededFolder();
  for (auto _ : state) {
    zorvik::QtHost host;
    zorvik::Workspace ws(folder, host);
    zorvik::MainWindow form(ws, host, nullptr,
                            [&](zorvik::MainWindow& f) { zorvik::installProgramParts(f, ws, host); });
    form.show();
    benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&form));
    QApplication::processEvents();
  }
  fs::remove_all(folder);
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
