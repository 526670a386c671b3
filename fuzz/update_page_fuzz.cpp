// The update page parser, version numbers, address rules and the digest on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/sha256.hpp"
#include "update/update_page.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const zorvik::UpdatePage p = zorvik::parseUpdatePage(page);
  (void)zorvik::versionNumber(p.version);
  (void)zorvik::versionNumber(page);
  (void)zorvik::expectedFileOf(p);
  (void)zorvik::downloadAddressAllowed(p.link, page, zorvik::trustedUpdateHosts(page));
  (void)zorvik::isLoopbackAddress(page);
  (void)zorvik::pageAddressAllowed(zorvik::pageAddress(page));
  (void)zorvik::parseWebAddress(page);
  (void)zorvik::sha256Hex(page);
  return 0;
}
