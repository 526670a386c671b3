#include "help/help_texts.hpp"

#include "text/text_files.hpp"

namespace zorvik {

bool HelpTextTable::loadHelpTexts(const std::filesystem::path& file) {
  entries_.clear();
  auto lines = readTextLines(file);
  if (!lines) return false;
  loadLines(*lines);
  return true;
}

void HelpTextTable::loadLines(const std::vector<std::string>& lines) {
  entries_.clear();
  for (const std::string& line : lines) {
    if (!line.empty() && line.front() == '#') {
      entries_.push_back({line.substr(1), {}});
    } else if (!entries_.empty()) {
      // Lines before the first key are the file's own remarks and belong to no entry.
      std::string& text = entries_.back().text;
      text += line;
      if (line.empty() || line.back() != ' ') text += ' ';
    }
  }
}

std::string HelpTextTable::text(std::string_view key) const {
  for (const Entry& e : entries_)
    if (e.key == key) return e.text;
  return {};
}

}  // namespace zorvik
