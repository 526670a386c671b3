#pragma once
// Tokens of MQL4 source. Preprocessor lines (#property, #include, #define ...) become one token
// each, holding the whole line, so the parser sees them where they stand.
#include <string>
#include <string_view>
#include <vector>

#include "mql4/diagnostic.hpp"

namespace zorvik::mql4 {

enum class TokenKind {
  End,
  Identifier,
  IntLiteral,     // 12, 0x1F, 'a'
  DoubleLiteral,  // 1.5, .5, 1e3
  StringLiteral,  // the value, escapes resolved, is stringLiteralValue(spelling)
  ColorLiteral,   // C'255,0,0' or C'0x00,0x00,0xFF': value in intValue
  DateLiteral,    // D'2020.01.01 00:00': seconds since 1970 in intValue
  Directive,      // a whole preprocessor line from '#' to its end, without a trailing comment
  Punct,          // operators and separators; text holds the spelling
};

// Equality of short texts without a library call: tokens and the words they are compared with
// are a few bytes long, and the parser compares a great many of them.
constexpr bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view spelling;  // into the source, as written
  long long intValue = 0;
  double doubleValue = 0;
  SourcePos pos;
  SourcePos end;  // just after the token: where a missing ';' belongs

  bool is(std::string_view p) const { return kind == TokenKind::Punct && sameText(spelling, p); }
  bool isWord(std::string_view w) const { return kind == TokenKind::Identifier && sameText(spelling, w); }
};

// Text without the blanks and tabs around it, as a directive's words are read.
inline std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The value of a string literal token's spelling ("a\"b" -> a"b), escapes resolved.
std::string stringLiteralValue(std::string_view spelling);

// Splits the source into tokens, ending with one End token. Lexical faults (unterminated
// string or comment, stray characters) go to `diagnostics`; the tokens are still complete.
std::vector<Token> tokenize(std::string_view source, Diagnostics& diagnostics);

// Brackets in order: a closing one without its opening one, or of the wrong kind, and opening
// ones never closed. True when they all pair up.
bool checkBrackets(const std::vector<Token>& tokens, Diagnostics& diagnostics);

}  // namespace zorvik::mql4
