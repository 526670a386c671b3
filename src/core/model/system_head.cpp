#include "model/system_head.hpp"

#include <algorithm>

#include "model/file_names.hpp"
#include "text/cp1252.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace fs = std::filesystem;

namespace {

// The title and magic number as the component reader would read them from the general
// section: a value with line breaks goes on until a line that ends with a quote, so no line of
// a multi-line comment is ever taken for a key, and the key is found wherever it stands in the
// section. The last value wins, as it does on opening. Lines before the first section count as
// general; the next section ends the search.
SystemHeadValues generalValues(std::string_view bytes, bool* sectionEnded = nullptr) {
  SystemHeadValues values;
  if (sectionEnded) *sectionEnded = false;
  // Lines are taken one by one as needed: the listing reads every system, and the rest of a
  // file after its general section is never looked at.
  std::size_t at = 0;
  const auto nextLine = [&]() {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    const std::string_view line = bytes.substr(at, end - at);
    at = end;
    if (at < bytes.size() && bytes[at] == '\r') ++at;
    if (at < bytes.size() && bytes[at] == '\n') ++at;
    return line;
  };
  while (at < bytes.size()) {
    const std::string_view line = nextLine();
    const bool quoted = line.find('"') != std::string_view::npos;
    bool closed = !quoted || line.back() == '"';
    while (!closed && at < bytes.size()) {
      const std::string_view next = nextLine();
      closed = !next.empty() && next.back() == '"';
    }
    if (startsWith(line, "START ")) {
      if (iequals(trim(line.substr(6)), "general")) continue;
      if (sectionEnded) *sectionEnded = true;
      break;
    }
    if (startsWith(line, "ENDE ") || startsWith(line, "STOP ")) {
      if (!iequals(trim(line.substr(5)), "general")) continue;
      if (sectionEnded) *sectionEnded = true;
      break;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    // A multi-line value gives its first line, as the title shown in the library.
    const std::string_view key = line.substr(0, eq);
    if (!iequals(key, "bezeichnung") && !iequals(key, "magic")) continue;
    std::string value = cp1252ToUtf8(line.substr(eq + 1));
    if (!value.empty() && value.front() == '"') value.erase(0, 1);
    if (!value.empty() && value.back() == '"') value.pop_back();
    (iequals(key, "magic") ? values.magic : values.title) = std::move(value);
  }
  return values;
}

// The general section nearly always ends within the first block; only a longer one is read
// further. Files larger than the limit are no system the program wrote.
constexpr std::size_t kQuickReadBlock = 64u << 10;
constexpr std::size_t kQuickReadLimit = 16u << 20;

}  // namespace

std::optional<SystemHeadValues> readSystemHeadValues(const fs::path& file) {
  auto bytes = readFileBytes(file, kQuickReadBlock);
  if (!bytes) return std::nullopt;
  bool ended = false;
  SystemHeadValues values = generalValues(*bytes, &ended);
  if (ended || bytes->size() < kQuickReadBlock) return values;
  bytes = readFileBytes(file, kQuickReadLimit);
  if (!bytes) return std::nullopt;
  return generalValues(*bytes);
}

std::string readTitle(const fs::path& userFolder, std::string_view fileName) {
  const auto values = readSystemHeadValues(componentPath(userFolder, fileName));
  return values ? values->title : std::string();
}

std::string readMagic(const fs::path& userFolder, std::string_view fileName) {
  const auto values = readSystemHeadValues(componentPath(userFolder, fileName));
  return values ? values->magic : std::string();
}

}  // namespace zorvik
