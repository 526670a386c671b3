#pragma once
// The help texts of the parameter rows and the other help keys, read from "CodeHelp.txt".
//
// The file is a list of entries: a line starting with "#" names the key of a new entry, every
// other line is text of the entry above it. Text lines are joined with one blank and line
// breaks are not kept, so the explanation reflows to the width of the help window.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class HelpTextTable {
 public:
  struct Entry {
    std::string key;
    std::string text;
  };

  // Empties the table and reads the file; a missing file leaves the table empty (false).
  bool loadHelpTexts(const std::filesystem::path& file);
  // Empties the table and fills it from the lines of a help text file (UTF-8).
  void loadLines(const std::vector<std::string>& lines);

  // The text of the first entry whose key equals the key exactly (letter case included);
  // empty when there is none.
  std::string text(std::string_view key) const;

  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace zorvik
