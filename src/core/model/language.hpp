#pragma once
// The language table and the translation of the program's German texts.
//
// Every caption and message is written in German and may end in a language tag ("@"
// followed by a digit) that keeps equal German words of different places apart. In German
// the tag is cut off; in English the whole text, tag included, is the key of the table.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class LanguageTable {
 public:
  // 0 German, 1 English.
  int flag() const { return flag_; }
  bool english() const { return flag_ == 1; }
  const std::string& name() const { return name_; }

  // "DEUTSCH" or "ENGLISCH" in any case; English only when the table file could be loaded.
  // Any other name changes nothing.
  void switchLanguage(std::string_view languageName, const std::filesystem::path& resFolder);

  // Reads the table from a file; false when it does not exist.
  bool loadLanguageFile(const std::filesystem::path& file);
  // Fills the table from the lines of a table file (UTF-8).
  void loadLines(const std::vector<std::string>& lines);

  std::string translate(std::string_view text) const;

  // Texts that English mode asked for and the table did not know, each once, in order.
  const std::vector<std::string>& missingTexts() const { return missing_; }
  // Appends every missing text as a line "text" to the table file, creating it if needed.
  bool appendMissingTexts(const std::filesystem::path& file) const;

  struct Entry {
    std::string german;
    std::string english;
  };
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  int flag_ = 0;
  std::string name_;
  std::vector<Entry> entries_;
  mutable std::vector<std::string> missing_;
};

// The text without its language tag: everything before the first "@".
std::string withoutTag(std::string_view text);
// The text as German mode shows it: without its tag, and in German for the few captions whose
// source text is English.
std::string germanShownText(std::string_view text);

}  // namespace zorvik
