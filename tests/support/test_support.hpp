#pragma once
// The temporary working folder every test and benchmark starts from: a fresh folder, a copy of
// the repository's res/ (and, if asked, the demo library) in it, and a workspace started on it.
// Plain standard library on purpose: the core tests, the window tests and the benchmarks all
// link it, so it must not pull in Qt or a test framework.
#include <filesystem>
#include <memory>
#include <string>

#include "platform/recording_host.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

namespace fs = std::filesystem;

// The repository checkout the tests were built from (res/, examples/, tests/fixtures/).
fs::path sourceDir();

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

// What a working folder holds before the program first starts on it, besides res/.
struct FolderSeed {
  // The demo library of examples/user copied into user/.
  bool demoLibrary = false;
  // An empty user/ made up front. Off for a test that watches the start-up create it.
  bool userFolder = true;
  // The bytes of res/Zorvik.ini; empty leaves the folder without a settings file, as shipped.
  std::string settings{};
};

// Copies the repository's res/ into root/res and adds what the seed asks for. root exists.
void seedWorkingFolder(const fs::path& root, const FolderSeed& seed = {});

// A working folder holding a copy of the repository's res/ (and, if asked, the demo library)
// and a workspace on it, started up with a recording host unless start is false.
struct TestWorkspace {
  explicit TestWorkspace(bool withDemoLibrary = false, bool start = true);
  // The same with res/Zorvik.ini written first, so that start-up reads it.
  TestWorkspace(const FolderSeed& seed, bool start);
  TempDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;
};

std::string readBytes(const fs::path& file);
void writeBytes(const fs::path& file, const std::string& bytes);

}  // namespace zorvik::testing
