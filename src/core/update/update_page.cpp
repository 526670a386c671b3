#include "update/update_page.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

// The text after a marker up to (not including) the first of the given stop characters.
std::string afterMarker(std::string_view page, std::string_view marker, std::string_view stops) {
  const std::size_t at = ifind(page, marker);
  if (at == std::string_view::npos) return {};
  std::string_view rest = page.substr(at + marker.size());
  return std::string(rest.substr(0, rest.find_first_of(stops)));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool allOf(std::string_view s, bool (*pred)(char)) { return std::all_of(s.begin(), s.end(), pred); }

bool isIpv4Loopback(std::string_view host) {
  const std::vector<std::string> parts = split(host, ".");
  if (parts.size() != 4) return false;
  for (const std::string& part : parts)
    if (part.empty() || part.size() > 3 || !allOf(part, isDigit) || std::stoi(part) > 255) return false;
  return parts[0] == "127";
}

bool isLoopbackHost(std::string_view host) { return host == "localhost" || host == "[::1]" || isIpv4Loopback(host); }

}  // namespace

UpdatePage parseUpdatePage(std::string_view rawPage) {
  UpdatePage out;
  const std::string page = cp1252ToUtf8(rawPage.substr(0, kUpdatePageLimit));
  if (contains(page, "Seite nicht gefunden") || ifind(page, "Version:") == std::string::npos) return out;
  out.valid = true;
  // A carriage return ends the version as well: the version text is written to "lui.txt" and
  // compared with what is read back from there, which never holds one.
  out.version = afterMarker(page, "Version:", " \r\n");
  out.link = afterMarker(page, "Link:", " \r\n");
  out.lengthMin = ifind(page, "Lengthmin:") == std::string::npos ? "0" : afterMarker(page, "Lengthmin:", " \r\n");
  out.hasDigest = ifind(page, "SHA256:") != std::string::npos;
  out.sha256 = toLower(afterMarker(page, "SHA256:", " \r\n"));
  out.size = afterMarker(page, "Size:", " \r\n");
  return out;
}

std::optional<ExpectedFile> expectedFileOf(const UpdatePage& page) {
  if (page.sha256.size() != 64 || !allOf(page.sha256, isHexDigit)) return std::nullopt;
  // At most 15 digits: far beyond any updater, and no overflow.
  if (page.size.empty() || page.size.size() > 15 || !allOf(page.size, isDigit)) return std::nullopt;
  ExpectedFile out{page.sha256, std::stoull(page.size)};
  if (out.size == 0) return std::nullopt;
  return out;
}

std::int64_t versionNumber(std::string_view versionText) {
  std::int64_t parts[3] = {0, 0, 0};
  std::size_t i = 0;
  for (const std::string& part : split(versionText, ".", 3)) {
    if (i == 3) break;
    const double v = std::trunc(leadingNumber(part));
    // Absurd parts are clamped so that the arithmetic below cannot overflow.
    parts[i++] = std::isfinite(v) ? static_cast<std::int64_t>(std::clamp(v, -1e6, 1e6)) : 0;
  }
  return (parts[0] * 1000 + parts[1]) * 1000 + parts[2];
}

std::int64_t versionNumber(int major, int minor, int revision) {
  return (static_cast<std::int64_t>(major) * 1000 + minor) * 1000 + revision;
}

std::optional<WebAddress> parseWebAddress(std::string_view address) {
  for (char c : address) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f || c == '\\') return std::nullopt;
  }
  const std::size_t sep = address.find("://");
  if (sep == std::string_view::npos) return std::nullopt;
  WebAddress out;
  out.scheme = toLower(address.substr(0, sep));
  if (out.scheme != "http" && out.scheme != "https") return std::nullopt;
  std::string_view authority = address.substr(sep + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (authority.find('@') != std::string_view::npos) return std::nullopt;

  std::string_view host = authority;
  std::string_view port;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = authority.substr(0, close + 1);
    const std::string_view inner = host.substr(1, host.size() - 2);
    if (inner.empty() || !allOf(inner, [](char c) { return isHexDigit(c) || c == ':' || c == '.'; }))
      return std::nullopt;
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      port = after.substr(1);
      if (port.empty()) return std::nullopt;
    }
  } else {
    const std::size_t colon = authority.find(':');
    if (colon != std::string_view::npos) {
      host = authority.substr(0, colon);
      port = authority.substr(colon + 1);
      if (port.empty()) return std::nullopt;
    }
    if (host.empty() || host.front() == '.' || host.front() == '-' ||
        !allOf(host, [](char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.'; }))
      return std::nullopt;
  }
  out.host = toLower(host);
  out.port = out.scheme == "https" ? 443 : 80;
  if (!port.empty()) {
    if (port.size() > 5 || !allOf(port, isDigit)) return std::nullopt;
    out.port = std::stoi(std::string(port));
    if (out.port < 1 || out.port > 65535) return std::nullopt;
  }
  return out;
}

std::string pageAddress(std::string_view address) {
  if (address.find("://") != std::string_view::npos) return std::string(address);
  return "https://" + std::string(address);
}

bool isLoopbackAddress(std::string_view address) {
  const auto parsed = parseWebAddress(address);
  return parsed && isLoopbackHost(parsed->host);
}

bool pageAddressAllowed(std::string_view page) {
  const auto parsed = parseWebAddress(page);
  return parsed && (parsed->scheme == "https" || isLoopbackHost(parsed->host));
}

std::vector<std::string> trustedUpdateHosts(std::string_view settingsValue) {
  std::vector<std::string> out;
  std::string current;
  for (char c : std::string(settingsValue) + ' ') {
    if (c == ' ' || c == ';' || c == '\t') {
      if (!current.empty()) out.push_back(toLower(current));
      current.clear();
    } else {
      current += c;
    }
  }
  return out;
}

bool downloadAddressAllowed(std::string_view link, std::string_view page, const std::vector<std::string>& extraHosts) {
  const auto file = parseWebAddress(link);
  const auto from = parseWebAddress(page);
  if (!file || !from || !pageAddressAllowed(page)) return false;
  if (file->scheme == "https")
    return file->host == from->host || std::find(extraHosts.begin(), extraHosts.end(), file->host) != extraHosts.end();
  return isLoopbackHost(file->host) && isLoopbackHost(from->host);
}

}  // namespace zorvik
