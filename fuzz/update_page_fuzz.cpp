// The update page parser, version numbers and address rules on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/update_page.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const zorvik::UpdatePage p = zorvik::parseUpdatePage(page);
  (void)zorvik::versionNumber(p.version);
  (void)zorvik::versionNumber(page);
  (void)zorvik::downloadAddressAllowed(p.link, page);
  (void)zorvik::isLoopbackAddress(page);
  (void)zorvik::pageAddress(page);
  return 0;
}
