#include "test_support.hpp"

#include <fstream>
#include <random>
#include <sstream>

namespace zorvik::testing {

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

TestWorkspace::TestWorkspace(bool withDemoLibrary, bool start) {
  fs::copy(sourceDir() / "res", dir.path() / "res", fs::copy_options::recursive);
  fs::create_directories(dir.path() / "user");
  if (withDemoLibrary)
    fs::copy(sourceDir() / "examples" / "user", dir.path() / "user",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
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
