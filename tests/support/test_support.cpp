#include "test_support.hpp"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace zorvik::testing {

fs::path sourceDir() { return fs::path(ZORVIK_SOURCE_DIR); }

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("zorvik-test-" + std::to_string(rd()));
    if (fs::create_directory(p)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void seedWorkingFolder(const fs::path& root, const FolderSeed& seed) {
  fs::copy(sourceDir() / "res", root / "res", fs::copy_options::recursive);
  if (seed.userFolder || seed.demoLibrary) fs::create_directories(root / "user");
  if (seed.demoLibrary)
    fs::copy(sourceDir() / "examples" / "user", root / "user",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  if (!seed.settings.empty()) writeBytes(root / "res" / "Zorvik.ini", seed.settings);
}

TestWorkspace::TestWorkspace(bool withDemoLibrary, bool start) : TestWorkspace(FolderSeed{withDemoLibrary}, start) {}

TestWorkspace::TestWorkspace(const FolderSeed& seed, bool start) {
  seedWorkingFolder(dir.path(), seed);
  ws = std::make_unique<Workspace>(dir.path(), host);
  if (start) ws->startUp();
}

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace zorvik::testing
