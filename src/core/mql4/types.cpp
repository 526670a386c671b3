#include "mql4/types.hpp"

namespace zorvik::mql4 {
namespace {

struct Keyword {
  std::string_view word;
  BaseType type;
};
constexpr Keyword kKeywords[] = {
    {"void", BaseType::Void},     {"bool", BaseType::Bool},         {"char", BaseType::Char},
    {"uchar", BaseType::UChar},   {"short", BaseType::Short},       {"ushort", BaseType::UShort},
    {"int", BaseType::Int},       {"uint", BaseType::UInt},         {"long", BaseType::Long},
    {"ulong", BaseType::ULong},   {"float", BaseType::Float},       {"double", BaseType::Double},
    {"string", BaseType::String}, {"datetime", BaseType::Datetime}, {"color", BaseType::Color},
};

}  // namespace

bool baseTypeOfKeyword(std::string_view word, BaseType& out) {
  // Every keyword is 3 to 8 letters of lower case: most identifiers are out at once.
  if (word.size() < 3 || word.size() > 8 || word[0] < 'b' || word[0] > 'v') return false;
  for (const Keyword& k : kKeywords)
    if (k.word.size() == word.size() && k.word[0] == word[0] && k.word == word) {
      out = k.type;
      return true;
    }
  return false;
}

std::string typeName(Type t) {
  std::string name;
  switch (t.base) {
    case BaseType::Null: name = "NULL"; break;
    case BaseType::Any: name = "any"; break;
    case BaseType::Error: name = "?"; break;
    default:
      for (const Keyword& k : kKeywords)
        if (k.type == t.base) name = std::string(k.word);
  }
  for (int i = 0; i < t.dims; ++i) name += "[]";
  return name;
}

}  // namespace zorvik::mql4
