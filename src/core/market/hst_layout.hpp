#pragma once
// The byte layout of a .hst file, shared by the reader, the writer and the listing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "market/bar_series.hpp"

namespace zorvik {

constexpr std::size_t kHstHeaderSize = 148;
constexpr std::size_t kHst400RecordSize = 44;
constexpr std::size_t kHst401RecordSize = 60;
// More decimals than any quote carries; beyond it the header is damaged.
constexpr int kMaxDigits = 10;

struct HstHeader {
  std::int32_t version = 0;
  std::string symbol;  // UTF-8, up to the first NUL of the 12 bytes
  std::int32_t period = 0;
  std::int32_t digits = 0;
};

// `h` points at kHstHeaderSize bytes.
HstHeader decodeHstHeader(const char* h);
std::size_t hstRecordSize(int version);
// One record checked on its own (no neighbour); false when it is unsound.
bool decodeHstRecord(const char* p, int version, Bar& bar);

}  // namespace zorvik
