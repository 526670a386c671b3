#pragma once
// Turns fuzzer bytes into what a reader sees: the lines of a Windows-1252 file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp1252.hpp"
#include "text/text_files.hpp"

namespace zorvik::fuzz {

inline std::vector<std::string> linesOf(const std::uint8_t* data, std::size_t size) {
  auto lines = splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
  for (auto& l : lines) l = cp1252ToUtf8(l);
  return lines;
}

}  // namespace zorvik::fuzz
