#include "mql4/lexer.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace zorvik::mql4 {
namespace {

bool isIdentStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isIdentChar(unsigned char c) { return isIdentStart(c) || isDigit(c); }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(unsigned char c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

// Longest first, so that "<<=" wins over "<<" and "<".
constexpr std::string_view kPunct[] = {
    "<<=", ">>=", "++", "--", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "==", "!=", "<=", ">=", "&&",
    "||",  "<<",  ">>", "::", "+",  "-",  "*",  "/",  "%",  "&",  "|",  "^",  "~",  "!",  "=",  "<",  ">",
    "?",   ":",   ";",  ",",  ".",  "(",  ")",  "[",  "]",  "{",  "}",
};

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

class Lexer {
 public:
  Lexer(std::string_view src, Diagnostics& diags) : src_(src), diags_(diags) {}

  std::vector<Token> run() {
    std::vector<Token> out;
    out.reserve(src_.size() / 4 + 1);
    bool lineStart = true;
    while (true) {
      // Whitespace and comments.
      while (i_ < src_.size()) {
        const unsigned char c = static_cast<unsigned char>(src_[i_]);
        if (c == '\n') {
          advance();
          lineStart = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
          advance();
        } else if (c == '/' && peek(1) == '/') {
          while (i_ < src_.size() && src_[i_] != '\n') advance();
        } else if (c == '/' && peek(1) == '*') {
          const SourcePos start = pos();
          advance();
          advance();
          bool closed = false;
          while (i_ < src_.size()) {
            if (src_[i_] == '*' && peek(1) == '/') {
              advance();
              advance();
              closed = true;
              break;
            }
            advance();
          }
          if (!closed) error(start, "unterminated comment");
        } else {
          break;
        }
      }
      Token t;
      t.pos = pos();
      if (i_ >= src_.size()) {
        t.kind = TokenKind::End;
        t.end = t.pos;
        out.push_back(std::move(t));
        return out;
      }
      const std::size_t start = i_;
      const unsigned char c = static_cast<unsigned char>(src_[i_]);
      if (c == '#' && lineStart) {
        t.spelling = directive();
        t.kind = TokenKind::Directive;
        lineStart = false;
        t.end = pos();
        out.push_back(std::move(t));
        continue;
      } else if (isIdentStart(c)) {
        // C'..' and D'..' literals look like an identifier followed by a quote.
        if ((c == 'C' || c == 'D') && peek(1) == '\'') {
          if (c == 'C') colorLiteral(t);
          else dateLiteral(t);
        } else {
          while (i_ < src_.size() && isIdentChar(static_cast<unsigned char>(src_[i_]))) advance();
          t.kind = TokenKind::Identifier;
        }
      } else if (isDigit(c) || (c == '.' && isDigit(static_cast<unsigned char>(peek(1))))) {
        number(t);
      } else if (c == '"') {
        stringLiteral(t);
      } else if (c == '\'') {
        charLiteral(t);
      } else {
        bool matched = false;
        for (std::string_view p : kPunct) {
          if (p[0] == src_[i_] && sameText(src_.substr(i_, p.size()), p)) {
            for (std::size_t k = 0; k < p.size(); ++k) advance();
            t.kind = TokenKind::Punct;
            matched = true;
            break;
          }
        }
        if (!matched) {
          advance();
          error(t.pos, "'" + std::string(src_.substr(start, 1)) + "' - unexpected character");
          continue;
        }
      }
      lineStart = false;
      t.spelling = src_.substr(start, i_ - start);
      t.end = pos();
      out.push_back(std::move(t));
    }
  }

 private:
  char peek(std::size_t ahead) const { return i_ + ahead < src_.size() ? src_[i_ + ahead] : '\0'; }
  SourcePos pos() const { return {line_, column_}; }
  void advance() {
    if (src_[i_] == '\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
    ++i_;
  }
  void error(SourcePos at, std::string text) { diags_.push_back({at, Severity::Error, std::move(text)}); }

  std::string_view directive() {
    const std::size_t start = i_;
    bool inString = false;
    std::size_t stop = std::string_view::npos;
    while (i_ < src_.size() && src_[i_] != '\n') {
      const char c = src_[i_];
      if (c == '"') inString = !inString;
      if (!inString && stop == std::string_view::npos && c == '/' && (peek(1) == '/' || peek(1) == '*'))
        stop = i_;
      advance();
    }
    std::string_view line = src_.substr(start, (stop == std::string_view::npos ? i_ : stop) - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line;
  }

  void number(Token& t) {
    const std::size_t start = i_;
    if (src_[i_] == '0' && (peek(1) == 'x' || peek(1) == 'X')) {
      advance();
      advance();
      unsigned long long v = 0;
      bool any = false;
      while (i_ < src_.size() && isHexDigit(static_cast<unsigned char>(src_[i_]))) {
        v = v * 16 + static_cast<unsigned>(hexValue(static_cast<unsigned char>(src_[i_])));
        advance();
        any = true;
      }
      if (!any) error(t.pos, "'" + std::string(src_.substr(start, i_ - start)) + "' - invalid number");
      t.kind = TokenKind::IntLiteral;
      t.intValue = static_cast<long long>(v);
      suffix(t);
      return;
    }
    bool isDouble = false;
    while (i_ < src_.size() && isDigit(static_cast<unsigned char>(src_[i_]))) advance();
    if (i_ < src_.size() && src_[i_] == '.') {
      isDouble = true;
      advance();
      while (i_ < src_.size() && isDigit(static_cast<unsigned char>(src_[i_]))) advance();
    }
    if (i_ < src_.size() && (src_[i_] == 'e' || src_[i_] == 'E')) {
      const char sign = peek(1);
      const std::size_t digitAt = (sign == '+' || sign == '-') ? 2 : 1;
      if (isDigit(static_cast<unsigned char>(peek(digitAt)))) {
        isDouble = true;
        for (std::size_t k = 0; k < digitAt; ++k) advance();
        while (i_ < src_.size() && isDigit(static_cast<unsigned char>(src_[i_]))) advance();
      }
    }
    const std::string_view text = src_.substr(start, i_ - start);
    // Our own parse: the C library's would follow the user's locale.
    if (isDouble) {
      t.kind = TokenKind::DoubleLiteral;
      double mantissa = 0;
      int exponent = 0;
      std::size_t k = 0;
      for (; k < text.size() && isDigit(static_cast<unsigned char>(text[k])); ++k) mantissa = mantissa * 10 + (text[k] - '0');
      if (k < text.size() && text[k] == '.') {
        for (++k; k < text.size() && isDigit(static_cast<unsigned char>(text[k])); ++k) {
          mantissa = mantissa * 10 + (text[k] - '0');
          --exponent;
        }
      }
      if (k < text.size() && (text[k] == 'e' || text[k] == 'E')) {
        ++k;
        int sign = 1;
        if (text[k] == '+' || text[k] == '-') sign = text[k++] == '-' ? -1 : 1;
        int e = 0;
        for (; k < text.size() && e < 10000; ++k) e = e * 10 + (text[k] - '0');
        exponent += sign * e;
      }
      t.doubleValue = mantissa * std::pow(10.0, exponent);
      // The literal's correctly rounded value: mantissa times a power of ten rounds twice
      // (0.3 became 0.30000000000000004), which moves a lot size off its step.
      double exact = 0;
      const auto parsed = std::from_chars(text.data(), text.data() + text.size(), exact);
      if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size()) t.doubleValue = exact;
    } else {
      t.kind = TokenKind::IntLiteral;
      unsigned long long v = 0;
      for (char ch : text) v = v * 10 + static_cast<unsigned>(ch - '0');
      t.intValue = static_cast<long long>(v);
    }
    suffix(t);
  }

  // A letter glued to a number ("12abc") is no number at all.
  void suffix(Token& t) {
    if (i_ < src_.size() && isIdentChar(static_cast<unsigned char>(src_[i_]))) {
      const SourcePos at = t.pos;
      while (i_ < src_.size() && isIdentChar(static_cast<unsigned char>(src_[i_]))) advance();
      error(at, "invalid number");
    }
  }

  // One character after a backslash; returns false at a line end.
  bool escape(std::string& out) {
    advance();  // the backslash
    if (i_ >= src_.size() || src_[i_] == '\n') return false;
    const char c = src_[i_];
    switch (c) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '0': out += '\0'; break;
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'v': out += '\v'; break;
      default: out += c; break;  // \\ \" \' and the rest stand for themselves
    }
    advance();
    return true;
  }

  void stringLiteral(Token& t) {
    t.kind = TokenKind::StringLiteral;
    advance();
    while (true) {
      if (i_ >= src_.size() || src_[i_] == '\n' || src_[i_] == '\r') {
        error(t.pos, "unterminated string");
        return;
      }
      const char c = src_[i_];
      if (c == '"') {
        advance();
        return;
      }
      if (c == '\\') {
        scratch_.clear();
        if (!escape(scratch_)) {
          error(t.pos, "unterminated string");
          return;
        }
        continue;
      }
      advance();
    }
  }

  void charLiteral(Token& t) {
    t.kind = TokenKind::IntLiteral;
    advance();
    std::string value;
    while (i_ < src_.size() && src_[i_] != '\'' && src_[i_] != '\n') {
      if (src_[i_] == '\\') {
        if (!escape(value)) break;
      } else {
        value += src_[i_];
        advance();
      }
    }
    if (i_ >= src_.size() || src_[i_] != '\'') {
      error(t.pos, "unterminated character constant");
      return;
    }
    advance();
    if (value.size() != 1) error(t.pos, "invalid character constant");
    t.intValue = value.empty() ? 0 : static_cast<unsigned char>(value[0]);
  }

  // The text between the quotes of C'..' / D'..'.
  std::string_view quoted(Token& t) {
    advance();  // C or D
    advance();  // '
    const std::size_t start = i_;
    while (i_ < src_.size() && src_[i_] != '\'' && src_[i_] != '\n') advance();
    if (i_ >= src_.size() || src_[i_] != '\'') {
      error(t.pos, "unterminated constant");
      return src_.substr(start, i_ - start);
    }
    const std::string_view inner = src_.substr(start, i_ - start);
    advance();
    return inner;
  }

  void colorLiteral(Token& t) {
    t.kind = TokenKind::ColorLiteral;
    const std::string_view inner = quoted(t);
    // Three components red, green, blue, each decimal or 0x hex, 0..255.
    long long parts[3] = {0, 0, 0};
    int n = 0;
    std::size_t k = 0;
    bool ok = true;
    while (ok && n < 3) {
      while (k < inner.size() && inner[k] == ' ') ++k;
      long long v = 0;
      bool any = false;
      if (k + 1 < inner.size() && inner[k] == '0' && (inner[k + 1] == 'x' || inner[k + 1] == 'X')) {
        k += 2;
        for (; k < inner.size() && isHexDigit(static_cast<unsigned char>(inner[k])); ++k, any = true)
          if (v <= 255) v = v * 16 + hexValue(static_cast<unsigned char>(inner[k]));
      } else {
        for (; k < inner.size() && isDigit(static_cast<unsigned char>(inner[k])); ++k, any = true)
          if (v <= 255) v = v * 10 + (inner[k] - '0');
      }
      while (k < inner.size() && inner[k] == ' ') ++k;
      if (!any || v > 255) ok = false;
      parts[n++] = v;
      if (n < 3) {
        if (k < inner.size() && inner[k] == ',') ++k;
        else ok = false;
      }
    }
    if (!ok || k != inner.size()) error(t.pos, "invalid color constant");
    t.intValue = parts[0] | (parts[1] << 8) | (parts[2] << 16);
  }

  void dateLiteral(Token& t) {
    t.kind = TokenKind::DateLiteral;
    const std::string_view inner = quoted(t);
    // yyyy.mm.dd [hh:mi[:ss]]; the date part may be left out (today), which we cannot know
    // here: the value is then the time of day alone.
    long long f[6] = {1970, 1, 1, 0, 0, 0};
    std::size_t k = 0;
    auto readInt = [&](long long& v) {
      bool any = false;
      v = 0;
      // Past 99999 a field is wrong anyway; stop growing it before it could overflow.
      for (; k < inner.size() && isDigit(static_cast<unsigned char>(inner[k])); ++k, any = true)
        if (v < 100000) v = v * 10 + (inner[k] - '0');
      return any;
    };
    bool ok = true;
    if (inner.find('.') != std::string_view::npos) {
      ok = readInt(f[0]) && k < inner.size() && inner[k++] == '.' && readInt(f[1]) && k < inner.size() &&
           inner[k++] == '.' && readInt(f[2]);
      while (k < inner.size() && inner[k] == ' ') ++k;
    }
    if (ok && k < inner.size()) {
      ok = readInt(f[3]) && k < inner.size() && inner[k++] == ':' && readInt(f[4]);
      if (ok && k < inner.size()) ok = inner[k++] == ':' && readInt(f[5]);
    }
    if (ok) ok = k == inner.size() && f[0] >= 1970 && f[0] <= 3000 && f[1] >= 1 && f[1] <= 12 && f[2] >= 1 && f[2] <= 31 && f[3] < 24 && f[4] < 60 && f[5] < 60;
    if (!ok) error(t.pos, "invalid date constant");
    t.intValue = daysFromCivil(f[0], static_cast<unsigned>(f[1]), static_cast<unsigned>(f[2])) * 86400 + f[3] * 3600 + f[4] * 60 + f[5];
  }

  std::string_view src_;
  Diagnostics& diags_;
  std::string scratch_;  // where escapes are tried out; the value itself comes later
  std::size_t i_ = 0;
  int line_ = 1;
  int column_ = 1;
};

}  // namespace

std::string stringLiteralValue(std::string_view spelling) {
  // The spelling was checked by the lexer: quotes at both ends, escapes complete.
  std::string out;
  if (spelling.size() < 2) return out;
  spelling = spelling.substr(1, spelling.size() - 2);
  out.reserve(spelling.size());
  for (std::size_t i = 0; i < spelling.size(); ++i) {
    char c = spelling[i];
    if (c == '\\' && i + 1 < spelling.size()) {
      c = spelling[++i];
      switch (c) {
        case 'n': c = '\n'; break;
        case 't': c = '\t'; break;
        case 'r': c = '\r'; break;
        case '0': c = '\0'; break;
        case 'a': c = '\a'; break;
        case 'b': c = '\b'; break;
        case 'f': c = '\f'; break;
        case 'v': c = '\v'; break;
        default: break;
      }
    }
    out += c;
  }
  return out;
}

std::vector<Token> tokenize(std::string_view source, Diagnostics& diagnostics) {
  return Lexer(source, diagnostics).run();
}

namespace {

// Where a brace pair's indentation gives the fault away: a closing brace first on its line and
// indented deeper than the line that opened it is a stray one; indented shallower, the brace it
// closes lacks its own. Compilers pair braces blindly and blame the end of the program; people
// indent, and the first pair that breaks the indentation is where they went wrong. Only pairs
// from `from` on count: those before the faulty top-level item paired up rightly, however
// sloppily they are indented.
const Token* misindentedBrace(const std::vector<Token>& tokens, const std::vector<std::pair<std::size_t, std::size_t>>& pairs,
                              std::size_t from) {
  auto lineIndent = [&](std::size_t k) {
    while (k > 0 && tokens[k - 1].pos.line == tokens[k].pos.line) --k;
    return tokens[k].pos.column;
  };
  auto firstOnLine = [&](std::size_t k) { return k == 0 || tokens[k - 1].pos.line != tokens[k].pos.line; };
  const Token* found = nullptr;
  for (const auto& [open, close] : pairs) {
    if (open < from || tokens[open].spelling != "{" || !firstOnLine(close) || tokens[open].pos.line == tokens[close].pos.line)
      continue;
    const int opened = lineIndent(open);
    const int closed = tokens[close].pos.column;
    const Token* culprit = closed > opened ? &tokens[close] : closed < opened ? &tokens[open] : nullptr;
    if (culprit && (!found || culprit->pos.line < found->pos.line)) found = culprit;
  }
  return found;
}

}  // namespace

bool checkBrackets(const std::vector<Token>& tokens, Diagnostics& diagnostics) {
  std::vector<std::size_t> open;
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  // The first bracket of the latest top-level item that starts a line unindented, as
  // declarations do; statements left outside by a premature '}' are indented and do not count.
  std::size_t topLevel = 0;
  auto startsUnindentedLine = [&](std::size_t k) {
    while (k > 0 && tokens[k - 1].pos.line == tokens[k].pos.line) --k;
    return tokens[k].pos.column == 1;
  };
  auto report = [&](const Token& fallback, std::size_t from, std::string text) {
    const Token* at = misindentedBrace(tokens, pairs, from);
    if (at) text = "'" + std::string(at->spelling) + "' - unbalanced parentheses";
    diagnostics.push_back({at ? at->pos : fallback.pos, Severity::Error, std::move(text)});
  };
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const Token& t = tokens[k];
    if (t.kind != TokenKind::Punct || t.spelling.size() != 1) continue;
    const char c = t.spelling[0];
    if (c == '(' || c == '[' || c == '{') {
      if (open.empty() && startsUnindentedLine(k)) topLevel = k;
      open.push_back(k);
    } else if (c == ')' || c == ']' || c == '}') {
      const char want = c == ')' ? '(' : c == ']' ? '[' : '{';
      if (!open.empty() && tokens[open.back()].spelling[0] != want) {
        // A parenthesis or bracket left open: it is the fault, not the brace that ends its
        // statement. Everything after would pair up wrongly: stop here.
        const Token& unclosed = tokens[open.back()];
        diagnostics.push_back({unclosed.pos, Severity::Error, "'" + std::string(unclosed.spelling) + "' - unbalanced parentheses"});
        return false;
      }
      if (open.empty()) {
        report(t, topLevel, "'" + std::string(1, c) + "' - unbalanced parentheses");
        return false;
      }
      pairs.emplace_back(open.back(), k);
      open.pop_back();
    }
  }
  if (open.empty()) return true;
  const Token& first = tokens[open.front()];
  report(first, open.front(), "'" + std::string(first.spelling) + "' - unbalanced parentheses, not closed by the end of the program");
  return false;
}

}  // namespace zorvik::mql4
