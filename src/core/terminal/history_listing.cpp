// Finding the history files below MetaTrader folders.
#include "terminal/history_listing.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "market/history_checks.hpp"
#include "market/hst_layout.hpp"
#include "terminal/wine_terminals.hpp"
#include "text/strings.hpp"

namespace zorvik {

namespace fs = std::filesystem;

namespace {

// Reads exactly n bytes at offset; false on a short read or an error.
bool readAt(int fd, char* p, std::size_t n, off_t offset) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t k = ::pread(fd, p + got, n - got, offset + static_cast<off_t>(got));
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    got += static_cast<std::size_t>(k);
  }
  return true;
}

// The entry of `parent` whose name equals `name` ignoring case (Windows folders under wine).
fs::path childNamed(const fs::path& parent, std::string_view name) {
  std::error_code ec;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec))
    if (iequals(it->path().filename().string(), name)) return it->path();
  return {};
}

}  // namespace

HistoryFileInfo describeHstFile(const fs::path& path) {
  HistoryFileInfo info;
  info.path = path;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    info.error = std::string("cannot open: ") + std::strerror(errno);
    return info;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    info.error = "not a regular file";
    return info;
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  char header[kHstHeaderSize];
  if (size < kHstHeaderSize || !readAt(fd, header, sizeof header, 0)) {
    info.error = "header: truncated";
    return info;
  }
  const HstHeader h = decodeHstHeader(header);
  if (h.version != 400 && h.version != 401) {
    info.error = "header: version " + std::to_string(h.version) + " is not 400 or 401";
    return info;
  }
  if (h.symbol.empty() || h.period <= 0) {
    info.error = "header: no symbol or no period";
    return info;
  }
  // A listing is printed as it is: such a symbol could retitle or clear the trader's terminal.
  if (hasControlCharacter(h.symbol)) {
    info.error = "header: symbol \"" + withControlsEscaped(h.symbol) + "\" holds a control character";
    return info;
  }
  const std::size_t recordSize = hstRecordSize(h.version);
  const std::size_t body = size - kHstHeaderSize;
  if (body == 0) {
    info.error = "no bars";
    return info;
  }
  if (body % recordSize != 0) {
    info.error = "record " + std::to_string(body / recordSize + 1) + ": truncated";
    return info;
  }
  // A sparse file may claim any size; what the reader refuses is not described as bars.
  if (body / recordSize > kMaxHistoryBars) {
    info.error = std::to_string(body / recordSize) + " records, more than the " + std::to_string(kMaxHistoryBars) +
                 " bars a history may hold";
    return info;
  }
  info.bars = body / recordSize;
  char record[kHst401RecordSize];
  Bar first, last;
  if (!readAt(fd, record, recordSize, static_cast<off_t>(kHstHeaderSize)) || !decodeHstRecord(record, h.version, first)) {
    info.error = "record 1: unreadable or unsound";
    return info;
  }
  if (!readAt(fd, record, recordSize, static_cast<off_t>(size - recordSize)) || !decodeHstRecord(record, h.version, last) ||
      (info.bars > 1 && last.time <= first.time)) {
    info.error = "record " + std::to_string(info.bars) + ": unreadable or unsound";
    return info;
  }
  info.symbol = h.symbol;
  info.timeframeMinutes = h.period;
  info.format = h.version == 401 ? HistoryFormat::Hst401 : HistoryFormat::Hst400;
  info.firstTime = first.time;
  info.lastTime = last.time;
  return info;
}

std::vector<HistoryFileInfo> listHistoryFiles(const std::vector<fs::path>& metatraderFolders, const fs::path& workingFolder) {
  std::vector<fs::path> files;
  for (const fs::path& folder : metatraderFolders) {
    const fs::path history = childNamed(folder, "history");
    if (history.empty()) continue;
    std::error_code ec;
    for (fs::directory_iterator server(history, ec), end; !ec && server != end; server.increment(ec)) {
      std::error_code ec2;
      if (!server->is_directory(ec2)) continue;
      for (fs::directory_iterator f(server->path(), ec2), fend; !ec2 && f != fend; f.increment(ec2)) {
        std::error_code ec3;
        if (f->is_regular_file(ec3) && iequals(f->path().extension().string(), ".hst")) files.push_back(f->path());
      }
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  std::vector<HistoryFileInfo> out;
  out.reserve(files.size() + 1);
  if (!workingFolder.empty()) {
    std::error_code ec;
    const fs::path demo = demoHistoryPath(workingFolder);
    if (fs::is_regular_file(demo, ec)) {
      out.push_back(describeHstFile(demo));
      out.back().server = "demo";
    }
  }
  for (const fs::path& f : files) {
    HistoryFileInfo info = describeHstFile(f);
    info.server = f.parent_path().filename().string();
    out.push_back(std::move(info));
  }
  return out;
}

std::vector<fs::path> metatraderFoldersToSearch(const std::string& settingsFolder, const fs::path& home) {
  std::vector<fs::path> out;
  if (!settingsFolder.empty()) out.emplace_back(settingsFolder);
  if (!home.empty())
    for (fs::path& f : findWineTerminalFolders(home))
      if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(std::move(f));
  return out;
}

fs::path demoHistoryPath(const fs::path& workingFolder) { return workingFolder / "history" / "DEMO60.hst"; }

}  // namespace zorvik
