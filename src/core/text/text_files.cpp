#include "text/text_files.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
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

std::string tempNameFor(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  return path.filename().string() + ".tmp" + std::to_string(::getpid()) + "_" +
         std::to_string(counter++) + "_" + std::to_string(rd() % 100000);
}

}  // namespace

void setWriteFaultHook(WriteFaultHook hook) { faultHook() = std::move(hook); }

std::optional<std::string> readFileBytes(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) data.append(buf, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return data;
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

bool writeFileAtomic(const fs::path& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& why, const fs::path& tmp) {
    if (!tmp.empty()) {
      std::error_code ec;
      fs::remove(tmp, ec);
    }
    if (error) *error = why;
    return false;
  };
  fs::path dir = path.parent_path();
  fs::path tmp = (dir.empty() ? fs::path(".") : dir) / tempNameFor(path);
  if (!stepAllowed("open")) return fail("cannot create " + tmp.string(), {});
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return fail("cannot create " + tmp.string() + ": " + std::strerror(errno), {});
  bool ok = stepAllowed("write") && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = ok && stepAllowed("flush") && std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
  if (std::fclose(f) != 0) ok = false;
  if (!ok) return fail("cannot write " + path.string(), tmp);
  if (!stepAllowed("rename")) return fail("cannot replace " + path.string(), tmp);
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) return fail("cannot replace " + path.string() + ": " + ec.message(), tmp);
  return true;
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
