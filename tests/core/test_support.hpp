#pragma once
// Shared helpers of the core tests: a temporary working folder with the program's res/ files
// and a started workspace on it.
#include <filesystem>
#include <memory>
#include <string>

#include "model/workspace.hpp"
#include "platform/recording_host.hpp"

namespace zorvik::testing {

namespace fs = std::filesystem;

inline fs::path sourceDir() { return fs::path(ZORVIK_SOURCE_DIR); }

// A fresh, empty folder below the system's temporary folder, removed when it goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A working folder holding a copy of the repository's res/ (and, if asked, the demo library)
// and a workspace on it, started up with a recording host.
struct TestWorkspace {
  explicit TestWorkspace(bool withDemoLibrary = false, bool start = true);
  TempDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;
};

std::string readBytes(const fs::path& file);
void writeBytes(const fs::path& file, const std::string& bytes);

}  // namespace zorvik::testing
