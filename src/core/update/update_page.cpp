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

// The host part of an address: after "scheme://", before the port, path, query or fragment.
std::string hostOf(std::string_view address) {
  std::size_t start = address.find("://");
  std::string_view rest = start == std::string_view::npos ? address : address.substr(start + 3);
  rest = rest.substr(0, rest.find_first_of("/?#\\"));
  // User information before "@" is not the host ("http://127.0.0.1@evil.example/").
  if (std::size_t at = rest.rfind('@'); at != std::string_view::npos) rest = rest.substr(at + 1);
  if (!rest.empty() && rest.front() == '[') {
    std::size_t close = rest.find(']');
    return toLower(rest.substr(0, close == std::string_view::npos ? rest.size() : close + 1));
  }
  return toLower(rest.substr(0, rest.find(':')));
}

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

std::string pageAddress(std::string_view address) {
  if (istartsWith(address, "http://") || istartsWith(address, "https://")) return std::string(address);
  return "http://" + std::string(address);
}

bool isLoopbackAddress(std::string_view address) {
  const std::string host = hostOf(address);
  if (host == "localhost" || host == "[::1]") return true;
  if (!startsWith(host, "127.")) return false;
  // Only a dotted number: "127.evil.example" is a name, not the loopback network.
  return host.find_first_not_of("0123456789.") == std::string::npos;
}

bool downloadAddressAllowed(std::string_view link, std::string_view page) {
  if (istartsWith(link, "https://")) return hostOf(link).size() > 0;
  return istartsWith(link, "http://") && isLoopbackAddress(link) && isLoopbackAddress(pageAddress(page));
}

}  // namespace zorvik
