#pragma once
// An exclusive lock between processes, held on a lock file for as long as the object lives.
// Several programs may work on one working folder at once (the window program, scripts calling
// zorvik-cli); whatever must not interleave between them takes such a lock.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace zorvik {

class FileLock {
 public:
  // Opens (creating if needed) the lock file and waits until the lock is ours; nullopt, with a
  // reason in *error, when the file cannot be opened or locked.
  static std::optional<FileLock> acquire(const std::filesystem::path& lockFile, std::string* error = nullptr);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  // The lock file's content, read and written through the locked handle. The file is never
  // replaced: a new file would be a new lock, and a waiting process would hold the old one.
  std::string read() const;
  bool write(const std::string& text);

 private:
  explicit FileLock(int handle) : handle_(handle) {}
  int handle_ = -1;
};

}  // namespace zorvik
