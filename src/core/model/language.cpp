#include "model/language.hpp"

#include <algorithm>

#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {

std::string withoutTag(std::string_view text) {
  return std::string(text.substr(0, text.find('@')));
}

namespace {

// A few captions of the window were written in English in the German source ("Status Bar"):
// cutting the tag alone would leave English in the German menus, so German mode shows these.
struct GermanCaption {
  std::string_view source;
  std::string_view german;
};
constexpr GermanCaption kGermanCaptions[] = {
    {"&Toolbars@2", "&Symbolleisten"},
    {"Status Bar", "Status&leiste"},
    {"&Reset@2", "&Zurücksetzen"},
};

}  // namespace

std::string germanShownText(std::string_view text) {
  for (const GermanCaption& c : kGermanCaptions)
    if (c.source == text) return std::string(c.german);
  return withoutTag(text);
}

void LanguageTable::switchLanguage(std::string_view languageName, const std::filesystem::path& resFolder) {
  // The name is kept in one spelling whatever case it came in: everything that asks for the
  // language (the choice lists' caption column among them) compares with these.
  if (iequals(languageName, "DEUTSCH")) {
    flag_ = 0;
    name_ = "DEUTSCH";
  } else if (iequals(languageName, "ENGLISCH")) {
    if (loadLanguageFile(resFolder / "langEng.txt")) {
      flag_ = 1;
      name_ = "ENGLISCH";
    }
  }
}

bool LanguageTable::loadLanguageFile(const std::filesystem::path& file) {
  auto lines = readTextLines(file);
  if (!lines) return false;
  loadLines(*lines);
  return true;
}

void LanguageTable::loadLines(const std::vector<std::string>& lines) {
  entries_.clear();
  entries_.reserve(lines.size());
  for (const std::string& line : lines) {
    Entry e;
    // The separator is the quote-semicolon-quote between the two texts: a text may hold a ";"
    // of its own ("Erster Tag des Tests; die Bars davor ..."), and cutting at the first one
    // left such a text untranslatable. A line without it is split at its first ";" as before.
    const std::size_t quoted = line.find("\";\"");
    const std::size_t p = quoted != std::string::npos ? quoted + 1 : line.find(';');
    if (p != std::string::npos) {
      // "German";"English": the key sits between the first character and the character
      // before the quote that precedes ";", the English text after the quote that follows it.
      if (p >= 2) e.german = line.substr(1, p - 2);
      if (line.size() >= p + 3) e.english = line.substr(p + 2, line.size() - p - 3);
    } else {
      if (line.size() >= 2) e.german = line.substr(1, line.size() - 2);
      e.english = e.german;
    }
    entries_.push_back(std::move(e));
  }
}

std::string LanguageTable::translate(std::string_view text) const {
  if (flag_ != 1) return germanShownText(text);
  for (const Entry& e : entries_) {
    if (e.german == text) return e.english.empty() ? withoutTag(e.german) : e.english;
  }
  std::string t(text);
  if (std::find(missing_.begin(), missing_.end(), t) == missing_.end()) missing_.push_back(t);
  return t;
}

bool LanguageTable::appendMissingTexts(const std::filesystem::path& file) const {
  std::vector<std::string> lines;
  lines.reserve(missing_.size());
  for (const auto& m : missing_) lines.push_back("\"" + m + "\"");
  return appendTextLines(file, lines);
}

}  // namespace zorvik
