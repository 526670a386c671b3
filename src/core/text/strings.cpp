#include "text/strings.hpp"

namespace zorvik {
namespace {

// Latin-1 letters sit at U+00C0..U+00DE (upper) and U+00E0..U+00FE (lower), apart from the
// multiplication and division signs; in UTF-8 they are 0xC3 followed by 0x80..0xBF.
template <bool Upper>
std::string mapCase(std::string_view s) {
  std::string out(s);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c < 0x80) {
      if (Upper && c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 32);
      if (!Upper && c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      auto d = static_cast<unsigned char>(out[i + 1]);
      if (Upper && d >= 0xA0 && d <= 0xBE && d != 0xB7) out[i + 1] = static_cast<char>(d - 0x20);
      if (!Upper && d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
  return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string toUpper(std::string_view s) { return mapCase<true>(s); }
std::string toLower(std::string_view s) { return mapCase<false>(s); }

namespace {
// The byte toUpper would write at this place, walking a text from its start; `pairOpen` tells
// that the previous byte opened a two-byte Latin-1 letter.
unsigned char upperByte(unsigned char c, bool& pairOpen) {
  if (pairOpen) {
    pairOpen = false;
    return (c >= 0xA0 && c <= 0xBE && c != 0xB7) ? static_cast<unsigned char>(c - 0x20) : c;
  }
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  pairOpen = c == 0xC3;
  return c;
}
}  // namespace

// Called for every key lookup of the model and the generator: compares in place, without the
// two upper-case copies.
bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // the common case of a stored id, without folding each byte
  bool pairA = false;
  bool pairB = false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upperByte(static_cast<unsigned char>(a[i]), pairA) != upperByte(static_cast<unsigned char>(b[i]), pairB))
      return false;
  return true;
}

bool istartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

std::size_t ifind(std::string_view text, std::string_view needle) {
  return toUpper(text).find(toUpper(needle));
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool contains(std::string_view text, std::string_view needle) {
  return text.find(needle) != std::string_view::npos;
}

std::string trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string unquote(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return std::string(s.substr(1, s.size() - 2));
  return std::string(s);
}

std::vector<std::string> split(std::string_view s, std::string_view sep, std::size_t maxFields) {
  std::vector<std::string> out;
  if (sep.empty()) {
    out.emplace_back(s);
    return out;
  }
  std::size_t start = 0;
  while (true) {
    if (maxFields > 0 && out.size() + 1 == maxFields) {
      out.emplace_back(s.substr(start));
      break;
    }
    std::size_t pos = s.find(sep, start);
    if (pos == std::string_view::npos) {
      out.emplace_back(s.substr(start));
      break;
    }
    out.emplace_back(s.substr(start, pos - start));
    start = pos + sep.size();
  }
  return out;
}

std::vector<std::string> splitList(std::string_view s, std::string_view sep) {
  auto parts = split(s, sep);
  for (auto& p : parts) p = unquote(trim(p));
  return parts;
}

std::string join(const std::vector<std::string>& parts, std::string_view sep) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += sep;
    out += parts[i];
  }
  return out;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  std::size_t start = 0;
  while (true) {
    std::size_t pos = s.find(from, start);
    if (pos == std::string_view::npos) break;
    out.append(s.substr(start, pos - start));
    out.append(to);
    start = pos + from.size();
  }
  out.append(s.substr(start));
  return out;
}

namespace {

// The length of the control character at s[i] (1 for C0 and DEL, 2 for a C1 code point in its
// UTF-8 form C2 80..C2 9F), 0 for anything else.
std::size_t controlLength(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x20 || c == 0x7f) return 1;
  if (c == 0xc2 && i + 1 < s.size()) {
    const auto next = static_cast<unsigned char>(s[i + 1]);
    if (next >= 0x80 && next <= 0x9f) return 2;
  }
  return 0;
}

}  // namespace

bool hasControlCharacter(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (controlLength(s, i) != 0) return true;
  return false;
}

std::string withControlsEscaped(std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const std::size_t n = controlLength(s, i);
    if (n == 0) {
      out += s[i];
      continue;
    }
    const auto code = static_cast<unsigned char>(n == 1 ? s[i] : s[i + 1]);
    out += "\\x";
    out += kHex[code >> 4];
    out += kHex[code & 0xf];
    i += n - 1;
  }
  return out;
}

}  // namespace zorvik
