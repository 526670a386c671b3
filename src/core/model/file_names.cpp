#include "model/file_names.hpp"

#include <algorithm>

#include "text/strings.hpp"

namespace zorvik {
namespace {

bool isUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

int hexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

bool escapeAt(std::string_view s, std::size_t i) {
  return s[i] == '%' && i + 2 < s.size() && isUpperHexDigit(s[i + 1]) && isUpperHexDigit(s[i + 2]);
}

}  // namespace

std::string encodeFileName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '/') out += "%2F";
    else if (c == '\\') out += "%5C";
    // The listing reads "+" as a blank and "%XX" as a character; escaping both keeps a name
    // such as "EUR+USD" or "50%" pointing at its own file after it was listed.
    else if (c == '+') out += "%2B";
    else if (c == '%' && !escapeAt(name, i)) out += "%25";
    else out += c;
  }
  return out;
}

std::string decodeFileName(std::string_view fileName) {
  std::string out;
  out.reserve(fileName.size());
  for (std::size_t i = 0; i < fileName.size(); ++i) {
    const char c = fileName[i];
    if (escapeAt(fileName, i)) {
      out += static_cast<char>(hexValue(fileName[i + 1]) * 16 + hexValue(fileName[i + 2]));
      i += 2;
    } else if (c == '+') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

bool decodesToControlCharacter(std::string_view name) {
  const std::string decoded = decodeFileName(encodeFileName(name));
  const auto isControl = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  return std::any_of(name.begin(), name.end(), isControl) || std::any_of(decoded.begin(), decoded.end(), isControl);
}

std::string fileNameHead(std::string_view fileName) {
  const std::size_t last = fileName.rfind('.');
  if (last == std::string_view::npos) return std::string(fileName);
  const std::size_t before = last == 0 ? std::string_view::npos : fileName.rfind('.', last - 1);
  return std::string(fileName.substr(0, before == std::string_view::npos ? last : before));
}

std::filesystem::path componentPath(const std::filesystem::path& userFolder, std::string_view fileName) {
  return userFolder / std::filesystem::path(encodeFileName(fileName));
}

std::optional<SystemFile> findSystemFile(const std::filesystem::path& userFolder, std::string_view system) {
  if (system.empty()) return std::nullopt;
  std::string name(system);
  if (!endsWith(name, kSystemExtension)) name += kSystemExtension;
  const std::string onDisk = encodeFileName(name);
  std::error_code ec;
  const std::filesystem::path path = userFolder / std::filesystem::path(onDisk);
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  // Prefer the decoded form (the title of a/b is "a/b", not "a%2Fb"), as long as it still
  // leads back to the same file.
  std::string decoded = decodeFileName(onDisk);
  if (encodeFileName(decoded) == onDisk) name = std::move(decoded);
  return SystemFile{std::move(name), path};
}

}  // namespace zorvik
