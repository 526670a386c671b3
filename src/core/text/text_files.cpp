#include "text/text_files.hpp"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/cp1252.hpp"

namespace zorvik {
namespace {

WriteFaultHook& faultHook() {
  static WriteFaultHook hook;
  return hook;
}

bool stepAllowed(std::string_view step) {
  auto& hook = faultHook();
  return !hook || hook(step);
}

// Temporary files are named by process and count alone, never after the target: a long name
// plus a suffix would pass the file system's name limit, and a name that fits must save. The
// pattern is ours so that start-up can recognise what an interrupted save left behind.
constexpr std::string_view kTempPrefix = ".~zorvik";
constexpr std::string_view kTempSuffix = ".tmp";

std::string tempNameFor() {
  static std::atomic<unsigned> counter{0};
  return std::string(kTempPrefix) + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
         std::string(kTempSuffix);
}

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process id in a temporary name of ours: ".~zorvik<pid>-<n>.tmp", or the form earlier
// versions wrote beside the target, "<name>.tmp<pid>_<n>_<random>"; 0 for any other name.
long tempFileOwner(std::string_view name) {
  if (name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix)) {
    const std::string_view inner = name.substr(kTempPrefix.size(), name.size() - kTempPrefix.size() - kTempSuffix.size());
    const std::size_t dash = inner.find('-');
    if (dash != std::string_view::npos && allDigits(inner.substr(0, dash)) && allDigits(inner.substr(dash + 1)))
      return std::atol(std::string(inner.substr(0, dash)).c_str());
    return 0;
  }
  const std::size_t tmp = name.rfind(".tmp");
  if (tmp == std::string_view::npos || tmp == 0) return 0;
  const std::string_view rest = name.substr(tmp + 4);
  const std::size_t first = rest.find('_');
  const std::size_t second = first == std::string_view::npos ? first : rest.find('_', first + 1);
  if (second == std::string_view::npos || !allDigits(rest.substr(0, first)) ||
      !allDigits(rest.substr(first + 1, second - first - 1)) || !allDigits(rest.substr(second + 1)))
    return 0;
  return std::atol(std::string(rest.substr(0, first)).c_str());
}

bool processAlive(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The temporary files being written right now, for the handler of a signal that ends the
// program: it may only read these fixed slots (no allocation, no lock). A slot is claimed
// (`used`), filled, then published (`ready`); the handler removes only published ones.
constexpr std::size_t kTempSlots = 32;
constexpr std::size_t kTempPathBytes = 4096;
char gTempPaths[kTempSlots][kTempPathBytes];
std::atomic<bool> gTempSlotUsed[kTempSlots];
std::atomic<bool> gTempSlotReady[kTempSlots];

// The slot now holding path, or kTempSlots when none is free or the path does not fit; a
// temporary file left out is still removed by the next run's clean-up.
std::size_t publishTemporaryFile(const fs::path& path) {
  const std::string& text = path.native();
  if (text.size() >= kTempPathBytes) return kTempSlots;
  for (std::size_t i = 0; i < kTempSlots; ++i) {
    bool expected = false;
    if (!gTempSlotUsed[i].compare_exchange_strong(expected, true)) continue;
    std::memcpy(gTempPaths[i], text.c_str(), text.size() + 1);
    gTempSlotReady[i].store(true);
    return i;
  }
  return kTempSlots;
}

void withdrawTemporaryFile(std::size_t slot) {
  if (slot >= kTempSlots) return;
  gTempSlotReady[slot].store(false);
  gTempSlotUsed[slot].store(false);
}

extern "C" void removeTemporaryFilesAndEnd(int signal) {
  for (std::size_t i = 0; i < kTempSlots; ++i)
    if (gTempSlotReady[i].load()) ::unlink(gTempPaths[i]);
  // Then the end the signal would have brought anyway, with its exit status.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Removes what interrupted saves of programs now gone left in the folder, once per folder and
// run: a killed program cannot clean up after itself, and its files may be many MB.
void cleanFolderOnce(const fs::path& folder) {
  static std::mutex guard;
  static std::set<std::string> cleaned;
  std::error_code ec;
  const fs::path key = fs::absolute(folder, ec);
  {
    std::lock_guard<std::mutex> lock(guard);
    if (!cleaned.insert((ec ? folder : key).string()).second) return;
  }
  removeStaleTemporaryFiles(folder);
}

// Opens a file for reading only when it is a regular file. O_NONBLOCK keeps the open itself
// from waiting on a FIFO that nobody writes to; the check is made on the opened handle, so a
// file swapped in between cannot slip through.
int openRegularFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// The file a write to path lands in: a symbolic link is followed to its target, so that
// replacing the file keeps the link (and the file it points to is the one that changes).
fs::path writeTarget(const fs::path& path) {
  fs::path p = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(p, ec)) return p;
    fs::path to = fs::read_symlink(p, ec);
    if (ec) return p;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return p;
}

bool writeAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void setWriteFaultHook(WriteFaultHook hook) { faultHook() = std::move(hook); }

std::optional<std::string> readFileBytes(const fs::path& path, std::size_t limit) {
  const int fd = openRegularFile(path);
  if (fd < 0) return std::nullopt;
  std::string data;
  char buf[65536];
  bool failed = false;
  while (data.size() < limit) {
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - data.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (failed) return std::nullopt;
  return data;
}

bool isRegularFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

std::optional<std::vector<std::string>> readTextLines(const fs::path& path) {
  auto bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  auto lines = splitLines(*bytes);
  for (auto& l : lines) l = cp1252ToUtf8(l);
  return lines;
}

std::string toFileText(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) {
    out += utf8ToCp1252(l);
    out += "\r\n";
  }
  return out;
}

bool writeFileAtomic(const fs::path& path, std::string_view bytes, std::string* error, Durability durability) {
  const fs::path target = writeTarget(path);
  fs::path tmp;
  auto fail = [&](const std::string& why) {
    if (!tmp.empty()) ::unlink(tmp.c_str());
    if (error) *error = why;
    return false;
  };
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing) {
    if (!S_ISREG(old.st_mode)) return fail(target.string() + " is not a regular file");
    // A file the owner made read-only is meant to stay as it is, even though the rename
    // below would be allowed by the folder's permissions.
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0)
      return fail(target.string() + " is read-only");
  }
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!stepAllowed("open")) return fail("cannot create a temporary file in " + dir.string());
  cleanFolderOnce(dir);
  tmp = dir / tempNameFor();
  // Published before it exists, so no moment passes in which a signal would leave it behind.
  struct Published {
    std::size_t slot;
    ~Published() { withdrawTemporaryFile(slot); }
  } published{publishTemporaryFile(tmp)};
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    const std::string why = std::strerror(errno);
    tmp.clear();
    return fail("cannot create a temporary file in " + dir.string() + ": " + why);
  }
  if (replacing) {
    // The replacement keeps the mode and, where we may set it, the owner of the file it replaces.
    ::fchmod(fd, old.st_mode & 07777);
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Only the owner's own program can give a file away; the save goes on as ours.
    }
  }
  errno = 0;
  bool ok = stepAllowed("write") && writeAll(fd, bytes);
  ok = ok && stepAllowed("flush") && (durability == Durability::Regenerable || ::fsync(fd) == 0);
  const std::string why = errno ? std::strerror(errno) : "";
  if (::close(fd) != 0) ok = false;
  if (!ok) return fail("cannot write " + target.string() + (why.empty() ? "" : ": " + why));
  if (!stepAllowed("rename")) return fail("cannot replace " + target.string());
  if (::rename(tmp.c_str(), target.c_str()) != 0)
    return fail("cannot replace " + target.string() + ": " + std::strerror(errno));
  return true;
}

int removeStaleTemporaryFiles(const fs::path& folder) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const long owner = tempFileOwner(name);
    // A save still running in another program must keep its file.
    if (owner == 0 || processAlive(owner)) continue;
    std::error_code step;
    if (!it->is_regular_file(step) || step) continue;
    if (fs::remove(it->path(), step)) ++removed;
  }
  return removed;
}

void removeTemporaryFilesOnTermination() {
  // Only where the signal would end the program anyway: a handler the program set, or an
  // ignored SIGHUP under nohup, stays as it is.
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction handler {};
    handler.sa_handler = removeTemporaryFilesAndEnd;
    sigemptyset(&handler.sa_mask);
    ::sigaction(signal, &handler, nullptr);
  }
}

void ignoreFileSizeSignal() {
  // Without this a file-size limit ends the program with SIGXFSZ in the middle of a save;
  // ignored, the write returns EFBIG and the save reports it.
  std::signal(SIGXFSZ, SIG_IGN);
}

bool writeTextLines(const fs::path& path, const std::vector<std::string>& lines, std::string* error) {
  return writeFileAtomic(path, toFileText(lines), error);
}

bool appendTextLines(const fs::path& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (!out) return false;
  out << toFileText(lines);
  return static_cast<bool>(out);
}

}  // namespace zorvik
