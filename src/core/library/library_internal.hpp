#pragma once
// What the library's listing and its file actions share and nobody outside the library needs:
// the group table and the names of trashed files.
#include <filesystem>
#include <string>
#include <string_view>

#include "library/library.hpp"

namespace zorvik::detail {

// A trashed file is the component file with this ending: "Trend.hsy.txt.del".
inline constexpr std::string_view kTrashEnding = ".del";

// The definition of a group id; the first group's for an unknown id.
const LibraryGroupDefinition& groupDefinition(int id);

// "Trend.hsy.txt.del" -> name "Trend", kind "hsy".
struct TrashName {
  std::string name;
  std::string kind;
};
TrashName splitTrashName(std::string_view fileName);

// Existence without throwing: a folder that cannot be read counts as "not there".
bool fileThere(const std::filesystem::path& p);

}  // namespace zorvik::detail
