#pragma once
// Component names and the files they live in. A name becomes a file name by escaping the
// characters that would make it a path (or that the folder listing reads differently); every
// file operation escapes the name again, so a name can never point outside the folder "user".
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

// "/" -> "%2F", "\" -> "%5C", "+" -> "%2B", and a "%" that does not already start an escape
// ("%" and two upper-case hex digits) -> "%25". Escaping an escaped name changes nothing,
// so callers may pass either form.
std::string encodeFileName(std::string_view name);

// "%" and two upper-case hex digits -> that character, "+" -> blank; any other "%" stays.
std::string decodeFileName(std::string_view fileName);

// True when the name holds a control character, or an escape that the listing would decode to
// one ("%00", "%0A"): such a name cannot become a file name that leads back to it.
bool decodesToControlCharacter(std::string_view name);

// The name before its extensions: the text before the next-to-last "." when the name holds
// two or more, else before the last one ("abc.hsy.txt" -> "abc", "abc.ex4" -> "abc").
std::string fileNameHead(std::string_view fileName);

// The file of a component in the user folder: user/ + escaped name.
std::filesystem::path componentPath(const std::filesystem::path& userFolder, std::string_view fileName);

inline constexpr std::string_view kSystemExtension = ".hsy.txt";

// A trading system named on a command line: a listed name ("Trend", "a/b") or a file name
// ("Trend.hsy.txt", "a%2Fb.hsy.txt"). fileName is the name as the program holds it (decoded,
// with ".hsy.txt"), path the existing file it stands for.
struct SystemFile {
  std::string fileName;
  std::filesystem::path path;
};
std::optional<SystemFile> findSystemFile(const std::filesystem::path& userFolder, std::string_view system);

}  // namespace zorvik
