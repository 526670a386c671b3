#pragma once
// The definition table: for every choice parameter the entries its list offers, each with the
// id stored in component files, the text the Expert Advisor gets and two captions.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct DefinitionEntry {
  std::string type;      // parameter key the entry belongs to
  std::string id;       // stored in component files, unique across the table
  std::string meta4;    // written into the Expert Advisor
  std::string deutsch;  // German caption
  std::string english;  // English caption
};

enum class CaptionLanguage { German, English, None };

// The caption language of a language name: empty or "DEUTSCH" German, "ENGLISCH" English,
// anything else none (a choice list then stays empty).
CaptionLanguage captionLanguageOf(std::string_view languageName);

class DefinitionTable {
 public:
  // Reads the table. Returns false when the file cannot be read (the table is then empty).
  // Duplicate ids are collected into duplicateReport(): each as the id followed by "/".
  bool read(const std::filesystem::path& file);
  // Parses the text of a table file (UTF-8 lines).
  void parse(const std::vector<std::string>& lines);

  const std::vector<DefinitionEntry>& entries() const { return entries_; }
  const std::string& duplicateReport() const { return duplicates_; }

  // The entries of one parameter, in file order.
  std::vector<const DefinitionEntry*> entriesOf(std::string_view type) const;
  // The captions offered for a parameter in a language (empty for CaptionLanguage::None).
  std::vector<std::string> captionsOf(std::string_view type, CaptionLanguage lang) const;

  // The id of the first entry of that parameter whose caption equals the text; else the text.
  std::string captionToId(std::string_view type, std::string_view caption, CaptionLanguage lang) const;
  // "#n" or "n": the id of the (n+1)-th entry of that parameter; else the input unchanged.
  std::string indexToId(std::string_view type, std::string_view indexText) const;
  // The caption of the entry of that parameter with that id; else the id.
  std::string idToCaption(std::string_view type, std::string_view id, CaptionLanguage lang) const;
  // The META4 text of the first entry with that id, whatever its parameter; for an unknown
  // id beginning with "#" the text after it; else the id.
  std::string idToMeta4(std::string_view id) const;
  const DefinitionEntry* findId(std::string_view id) const;

 private:
  std::vector<DefinitionEntry> entries_;
  std::string duplicates_;
};

}  // namespace zorvik
