// The compiler's own messages: the error lines of the log MetaEditor writes.
#include "terminal/compile_steps.hpp"
#include "text/cp1252.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik::compile {
namespace {

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

// MetaEditor writes its log in UTF-16 (little endian, with a byte order mark); older builds
// and other tools write single-byte text. Unpaired surrogates become "?".
std::string decodeCompilerLog(const std::string& bytes) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      char32_t u = static_cast<char32_t>(byte(i) | (byte(i + 1) << 8));
      if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
        const char32_t low = static_cast<char32_t>(byte(i + 2) | (byte(i + 3) << 8));
        if (low >= 0xDC00 && low <= 0xDFFF) {
          u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        } else {
          u = '?';
        }
      } else if (u >= 0xD800 && u <= 0xDFFF) {
        u = '?';
      }
      appendUtf8(out, u);
    }
    return out;
  }
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) return bytes.substr(3);
  return cp1252ToUtf8(bytes);
}

std::vector<std::string> compilerErrorLines(const fs::path& log) {
  std::vector<std::string> out;
  auto bytes = readFileBytes(log);
  if (!bytes) return out;
  for (const auto& raw : splitLines(decodeCompilerLog(*bytes))) {
    std::string line = trim(raw);
    if (ifind(line, "error") == std::string::npos) continue;
    if (auto at = line.find(kSourceName); at != std::string::npos) line.erase(0, at);
    if (out.size() == kMaxCompilerLines) {
      out.push_back("...");
      break;
    }
    out.push_back(std::move(line));
  }
  return out;
}

bool isErrorReport(std::string_view line) {
  const std::string lower = toLower(line);
  // A summary names its count before the word: "0 error(s)", "0 errors". "10 errors" is one.
  for (std::size_t at = lower.find("error"); at != std::string::npos; at = lower.find("error", at + 1)) {
    const bool zeroBefore = at >= 2 && lower[at - 1] == ' ' && lower[at - 2] == '0' &&
                            (at < 3 || !(lower[at - 3] >= '0' && lower[at - 3] <= '9'));
    if (!zeroBefore) return true;
  }
  return false;
}

}  // namespace zorvik::compile
