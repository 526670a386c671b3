#include "generator/listing.hpp"

#include <cstdint>
#include <cstring>

#include "text/cp1252.hpp"

namespace zorvik {

namespace {

// Eight bytes at a time: the listing is almost all ASCII, and this runs over every byte of it.
bool isAscii(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  for (; i < s.size(); ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
  return true;
}

}  // namespace

std::string joinedViews(const std::string_view* parts, std::size_t count) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < count; ++i) size += parts[i].size();
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < count; ++i) out += parts[i];
  return out;
}

void Listing::append(const std::string_view* parts, std::size_t count) {
  if (form_ == Form::Lines) {
    lines_.push_back(joinedViews(parts, count));
    return;
  }
  // The listing is ASCII but for the texts of the system: a line with other characters is
  // converted whole, so a character is never split between two conversions.
  const std::size_t start = text_.size();
  for (std::size_t i = 0; i < count; ++i) text_ += parts[i];
  if (!isAscii(std::string_view(text_).substr(start))) {
    scratch_.assign(text_, start);
    text_.resize(start);
    text_ += utf8ToCp1252(scratch_);
  }
  text_ += "\r\n";
}

}  // namespace zorvik
