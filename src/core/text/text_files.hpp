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

// The raw bytes of a file, at most limit of them; nullopt when it does not exist, cannot be read
// or is no regular file (a FIFO, a device or a folder is never opened for reading, so no reader
// can hang on one).
std::optional<std::string> readFileBytes(const fs::path& path, std::size_t limit = static_cast<std::size_t>(-1));
// True for a regular file (or a link to one); never throws.
bool isRegularFile(const fs::path& path);

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
// A symbolic link is written through to its target and stays a link; the new file keeps the
// mode of the one it replaces; a read-only file, or anything but a regular file, is refused.
//
// Durability::Synced waits until the bytes are on the disk before the rename, so a power cut
// leaves the old or the new file. Regenerable skips that wait for files the program writes again
// from the model at any time (the generated source): a crash still never leaves half a file in
// place, only, after a power cut, possibly the previous version.
enum class Durability { Synced, Regenerable };
bool writeFileAtomic(const fs::path& path, std::string_view bytes, std::string* error = nullptr,
                     Durability durability = Durability::Synced);
bool writeTextLines(const fs::path& path, const std::vector<std::string>& lines, std::string* error = nullptr);

// Removes the temporary files that saves interrupted by a crash or a kill left in the folder
// (only names of our own pattern whose process is gone); returns how many. writeFileAtomic does
// this once per run in every folder it writes to.
int removeStaleTemporaryFiles(const fs::path& folder);

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT (where they would end the program anyway) remove
// the temporary files of the saves under way before the program ends as the signal demands.
void removeTemporaryFilesOnTermination();

// Makes a file-size limit a failed write (EFBIG) instead of a signal that ends the program.
void ignoreFileSizeSignal();

// Appends lines (UTF-8, written as Windows-1252 with CR LF) to a file, creating it if missing.
bool appendTextLines(const fs::path& path, const std::vector<std::string>& lines);

// Test hook: when set, called before each step of writeFileAtomic ("open", "write", "flush",
// "rename"); returning false makes that step fail as a full disk or a crash would.
using WriteFaultHook = std::function<bool(std::string_view step)>;
void setWriteFaultHook(WriteFaultHook hook);

}  // namespace zorvik
