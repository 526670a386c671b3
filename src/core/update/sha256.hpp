#pragma once
// SHA-256 (FIPS 180-4), for checking a downloaded file against the digest its page names.
// Kept here rather than borrowed from Qt so that the check itself stays in the Qt-free core.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

class Sha256 {
 public:
  Sha256();
  void add(std::string_view bytes);
  // The digest as 64 lower-case hex digits. Ends the computation: add() after it is an error.
  std::string hexDigest();

 private:
  void block(const std::uint8_t* p);
  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t totalBytes_ = 0;
};

std::string sha256Hex(std::string_view bytes);
// The digest of a file's content; nullopt when it cannot be read to its end.
std::optional<std::string> sha256HexOfFile(const std::filesystem::path& file);

}  // namespace zorvik
