#include "platform/file_lock.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zorvik {

std::optional<FileLock> FileLock::acquire(const std::filesystem::path& lockFile, std::string* error) {
  const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    if (error) *error = lockFile.string() + ": " + std::strerror(errno);
    return std::nullopt;
  }
  // flock belongs to the open file description, so a lock taken twice in one process through
  // two handles would wait for itself: callers nest through one FileLock, never two.
  int rc;
  do rc = ::flock(fd, LOCK_EX);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    if (error) *error = lockFile.string() + ": " + std::strerror(errno);
    ::close(fd);
    return std::nullopt;
  }
  return FileLock(fd);
}

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(handle_);
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

FileLock::~FileLock() {
  // Closing the last handle releases the lock.
  if (handle_ >= 0) ::close(handle_);
}

std::string FileLock::read() const {
  std::string text;
  char buf[256];
  off_t at = 0;
  while (true) {
    const ssize_t n = ::pread(handle_, buf, sizeof buf, at);
    if (n <= 0 || text.size() > 4096) break;
    text.append(buf, static_cast<std::size_t>(n));
    at += n;
  }
  return text;
}

bool FileLock::write(const std::string& text) {
  if (::ftruncate(handle_, 0) != 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::pwrite(handle_, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(handle_) == 0;
}

}  // namespace zorvik
