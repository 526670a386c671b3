#pragma once
// The update page and its markers, version numbers, and which download addresses are trusted.
//
// The page is plain text or HTML with three markers, found without regard to letter case:
// "Version:" directly followed by major.minor.revision, "Link:" directly followed by the
// download address of the updater, "Lengthmin:" followed by the least plausible size of it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik {

// Only this much of the page is ever read, in bytes.
inline constexpr std::size_t kUpdatePageLimit = 50000;

struct UpdatePage {
  // False for an empty page, a "Seite nicht gefunden" page or one without "Version:".
  bool valid = false;
  std::string version;    // the text after "Version:" up to a line end or blank, may be empty
  std::string link;       // the text after "Link:" up to a blank or line end; empty if missing
  std::string lengthMin;  // the text after "Lengthmin:"; "0" if missing
};

// Reads the markers of a fetched page (raw bytes); only its first kUpdatePageLimit bytes count.
UpdatePage parseUpdatePage(std::string_view rawPage);

// A version a.b.c as the number (a * 1000 + b) * 1000 + c. Each part is read as the number at
// its start; a part that is not a number counts as 0, a missing part too.
std::int64_t versionNumber(std::string_view versionText);
std::int64_t versionNumber(int major, int minor, int revision);

// The address as it is requested: "http://" in front unless it starts with "http://" or
// "https://" in any letter case.
std::string pageAddress(std::string_view address);

// True when the address names this machine (127.0.0.0/8, "localhost" or "[::1]").
bool isLoopbackAddress(std::string_view address);

// The updater is a program that will be started, so it is only taken over an encrypted,
// authenticated connection: the link must be an https address. The one exception is a page
// served from this machine whose link also points to this machine (a local test server).
bool downloadAddressAllowed(std::string_view link, std::string_view pageAddress);

}  // namespace zorvik
