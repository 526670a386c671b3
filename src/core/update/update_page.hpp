#pragma once
// The update page and its markers, version numbers, and which addresses are trusted.
//
// The page is plain text or HTML with markers, found without regard to letter case, each
// directly followed by its value up to a blank or a line end:
//   "Version:"    major.minor.revision of the newest version
//   "Link:"       the download address of the updater
//   "Lengthmin:"  the least plausible size of it ("0" when missing)
//   "SHA256:"     the SHA-256 of the updater as 64 hex digits
//   "Size:"       the exact size of the updater in bytes
// "SHA256:" and "Size:" were added later; a page without them is still read, but its
// updater is never started (the user may open the link in the browser instead).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// Only this much of the page is ever read, in bytes.
inline constexpr std::size_t kUpdatePageLimit = 50000;

struct UpdatePage {
  // False for an empty page, a "Seite nicht gefunden" page or one without "Version:".
  bool valid = false;
  std::string version;    // the text after "Version:" up to a line end or blank, may be empty
  std::string link;       // the text after "Link:" up to a blank or line end; empty if missing
  std::string lengthMin;  // the text after "Lengthmin:"; "0" if missing
  bool hasDigest = false; // the page has a "SHA256:" marker at all
  std::string sha256;     // the text after "SHA256:", lower case
  std::string size;       // the text after "Size:"; empty if missing
};

// Reads the markers of a fetched page (raw bytes); only its first kUpdatePageLimit bytes count.
UpdatePage parseUpdatePage(std::string_view rawPage);

// The digest and size the page names, when both are well-formed (64 hex digits; a decimal
// number of bytes > 0). A page that has the digest marker but not both values is broken.
struct ExpectedFile {
  std::string sha256;  // lower case
  std::uint64_t size = 0;
};
std::optional<ExpectedFile> expectedFileOf(const UpdatePage& page);

// A version a.b.c as the number (a * 1000 + b) * 1000 + c. Each part is read as the number at
// its start; a part that is not a number counts as 0, a missing part too.
std::int64_t versionNumber(std::string_view versionText);
std::int64_t versionNumber(int major, int minor, int revision);

// An http or https address taken apart. Only addresses every HTTP client reads the same way
// are accepted: no user information ("@"), no backslash, no blanks, control or non-ASCII
// characters, a host of letters, digits, "-" and "." (or a bracketed IPv6 address), and a
// port from 1 to 65535. Anything else is refused rather than guessed at, because a host
// that this reader and the network library see differently is how a check is fooled
// ("http://127.0.0.1\@evil.example/" is sent to evil.example).
struct WebAddress {
  std::string scheme;  // "http" or "https", lower case
  std::string host;    // lower case; IPv6 with its brackets
  int port = 0;        // the effective port (80 / 443 when none is written)
};
std::optional<WebAddress> parseWebAddress(std::string_view address);

// The address as it is requested: "https://" in front unless it already names a scheme.
std::string pageAddress(std::string_view address);

// True when the address parses and names this machine (127.0.0.0/8, "localhost" or "[::1]").
bool isLoopbackAddress(std::string_view address);

// The page decides what program is started, so it is only read over https. Plain http is
// allowed for a page on this machine only (a local test server).
bool pageAddressAllowed(std::string_view pageAddress);

// The hosts named by the settings key "UPDATEHOSTS", separated by blanks or ";", lower case.
std::vector<std::string> trustedUpdateHosts(std::string_view settingsValue);

// The updater is taken only over https from the page's own host or one of the extra trusted
// hosts. The one exception is a page served from this machine whose link also points to this
// machine over http (a local test server).
bool downloadAddressAllowed(std::string_view link, std::string_view pageAddress,
                            const std::vector<std::string>& extraHosts = {});

}  // namespace zorvik
