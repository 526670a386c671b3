#pragma once
// The title and the magic number of a system file without opening it as a system: read from
// its general section as opening would read them (never from inside a multi-line value). The
// library listing reads every system this way, so only the head of a file is read.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

struct SystemHeadValues {
  std::string title;  // empty when the key is not there
  std::string magic;
};
// Nullopt when the file cannot be opened.
std::optional<SystemHeadValues> readSystemHeadValues(const std::filesystem::path& file);

// The same for a system of the user folder by the name the program holds (decoded, with
// ".hsy.txt"); empty when the key or the file is not there.
std::string readTitle(const std::filesystem::path& userFolder, std::string_view fileName);
std::string readMagic(const std::filesystem::path& userFolder, std::string_view fileName);

}  // namespace zorvik
