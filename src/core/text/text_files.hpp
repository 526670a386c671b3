#pragma once
// Whole-file reading and writing of the program's Windows-1252, CR LF text files.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

namespace fs = std::filesystem;

// The raw bytes of a file; nullopt when it does not exist or cannot be read.
std::optional<std::string> readFileBytes(const fs::path& path);

// Splits raw text into lines at CR LF, lone CR or lone LF. A final line end does not start
// an empty line.
std::vector<std::string> splitLines(std::string_view text);

// Reads a Windows-1252 file and returns its lines in UTF-8; nullopt when it cannot be read.
std::optional<std::vector<std::string>> readTextLines(const fs::path& path);

// Joins UTF-8 lines into Windows-1252 bytes, each line ended by CR LF.
std::string toFileText(const std::vector<std::string>& lines);

// Replaces the file atomically: the bytes go to a temporary file beside it, which is flushed
// and then renamed over the target. On any failure the previous file is untouched, the
// temporary file removed and false returned (with a reason in *error if given).
bool writeFileAtomic(const fs::path& path, std::string_view bytes, std::string* error = nullptr);
bool writeTextLines(const fs::path& path, const std::vector<std::string>& lines, std::string* error = nullptr);

// Appends lines (UTF-8, written as Windows-1252 with CR LF) to a file, creating it if missing.
bool appendTextLines(const fs::path& path, const std::vector<std::string>& lines);

// Test hook: when set, called before each step of writeFileAtomic ("open", "write", "flush",
// "rename"); returning false makes that step fail as a full disk or a crash would.
using WriteFaultHook = std::function<bool(std::string_view step)>;
void setWriteFaultHook(WriteFaultHook hook);

}  // namespace zorvik
