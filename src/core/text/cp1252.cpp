#include "text/cp1252.hpp"

#include <array>
#include <cstdint>

namespace zorvik {
namespace {

// Code points of the bytes 0x80..0x9F.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t byteToCodePoint(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
  return b;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char codePointToByte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  // Files are mostly ASCII: copy runs of it whole instead of byte by byte.
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const auto* run = p;
    while (p < end && *p < 0x80) ++p;
    out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
    if (p < end) appendUtf8(out, byteToCodePoint(*p++));
  }
  return out;
}

std::string utf8ToCp1252(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      out.push_back(static_cast<char>(b0));
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; }
    bool ok = len > 0 && i + static_cast<std::size_t>(len) <= n;
    for (int k = 1; ok && k < len; ++k) {
      const auto bk = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((bk & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (bk & 0x3F);
    }
    if (!ok) {  // a stray byte: replace it alone and resync on the next one
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(codePointToByte(cp));
    i += static_cast<std::size_t>(len);
  }
  return out;
}

}  // namespace zorvik
