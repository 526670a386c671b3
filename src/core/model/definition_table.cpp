#include "model/definition_table.hpp"

#include <unordered_map>

#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {

CaptionLanguage captionLanguageOf(std::string_view languageName) {
  if (languageName.empty() || languageName == "DEUTSCH") return CaptionLanguage::German;
  if (languageName == "ENGLISCH") return CaptionLanguage::English;
  return CaptionLanguage::None;
}

namespace {
const std::string& captionIn(const DefinitionEntry& e, CaptionLanguage lang) {
  return lang == CaptionLanguage::English ? e.english : e.deutsch;
}
// A very long duplicate report is of no use in a message box.
constexpr std::size_t kMaxDuplicateReport = 2000;
}  // namespace

bool DefinitionTable::read(const std::filesystem::path& file) {
  auto lines = readTextLines(file);
  if (!lines) {
    entries_.clear();
    duplicates_.clear();
    return false;
  }
  parse(*lines);
  return true;
}

void DefinitionTable::parse(const std::vector<std::string>& lines) {
  entries_.clear();
  duplicates_.clear();
  if (lines.empty()) return;

  enum Field { kTyp, kId, kMeta4, kDeutsch, kEnglish, kIgnored };
  std::vector<Field> columns;
  for (const auto& name : splitList(lines.front(), ";")) {
    const std::string up = toUpper(name);
    columns.push_back(up == "TYP"       ? kTyp
                      : up == "ID"      ? kId
                      : up == "META4"   ? kMeta4
                      : up == "DEUTSCH" ? kDeutsch
                      : up == "ENGLISH" ? kEnglish
                                        : kIgnored);
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line.front() == '\'') continue;
    auto fields = splitList(line, ";");
    DefinitionEntry e;
    for (std::size_t c = 0; c < fields.size() && c < columns.size(); ++c) {
      switch (columns[c]) {
        case kTyp: e.type = std::move(fields[c]); break;
        case kId: e.id = std::move(fields[c]); break;
        case kMeta4: e.meta4 = std::move(fields[c]); break;
        case kDeutsch: e.deutsch = std::move(fields[c]); break;
        case kEnglish: e.english = std::move(fields[c]); break;
        case kIgnored: break;
      }
    }
    entries_.push_back(std::move(e));
  }

  // Every pair of equal ids adds the id once: an id used three times is reported three times,
  // in the order of the first entry of each pair. Counted from the end to stay linear.
  std::unordered_map<std::string, std::size_t> later;
  std::vector<std::size_t> laterCount(entries_.size());
  for (std::size_t i = entries_.size(); i-- > 0;) laterCount[i] = later[entries_[i].id]++;
  for (std::size_t i = 0; i < entries_.size() && duplicates_.size() < kMaxDuplicateReport; ++i)
    for (std::size_t k = 0; k < laterCount[i] && duplicates_.size() < kMaxDuplicateReport; ++k)
      duplicates_ += entries_[i].id + "/";
}

std::vector<const DefinitionEntry*> DefinitionTable::entriesOf(std::string_view type) const {
  std::vector<const DefinitionEntry*> out;
  for (const auto& e : entries_)
    if (e.type == type) out.push_back(&e);
  return out;
}

std::vector<std::string> DefinitionTable::captionsOf(std::string_view type, CaptionLanguage lang) const {
  std::vector<std::string> out;
  if (lang == CaptionLanguage::None) return out;
  for (const auto& e : entries_)
    if (e.type == type) out.push_back(captionIn(e, lang));
  return out;
}

std::string DefinitionTable::captionToId(std::string_view type, std::string_view caption, CaptionLanguage lang) const {
  if (lang != CaptionLanguage::None)
    for (const auto& e : entries_)
      if (e.type == type && captionIn(e, lang) == caption) return e.id;
  return std::string(caption);
}

std::string DefinitionTable::indexToId(std::string_view type, std::string_view indexText) const {
  std::string_view digits = indexText;
  if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  const double n = leadingNumber(digits);
  if (n >= 0) {
    std::size_t wanted = static_cast<std::size_t>(roundHalfEven(n));
    for (const auto& e : entries_) {
      if (e.type != type) continue;
      if (wanted == 0) return e.id;
      --wanted;
    }
  }
  return std::string(indexText);
}

std::string DefinitionTable::idToCaption(std::string_view type, std::string_view id, CaptionLanguage lang) const {
  if (lang != CaptionLanguage::None)
    for (const auto& e : entries_)
      if (e.type == type && e.id == id) return captionIn(e, lang);
  return std::string(id);
}

std::string DefinitionTable::idToMeta4(std::string_view id) const {
  if (const auto* e = findId(id)) return e->meta4;
  if (!id.empty() && id.front() == '#') return std::string(id.substr(1));
  return std::string(id);
}

const DefinitionEntry* DefinitionTable::findId(std::string_view id) const {
  for (const auto& e : entries_)
    if (e.id == id) return &e;
  return nullptr;
}

}  // namespace zorvik
