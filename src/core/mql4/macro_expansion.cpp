#include "mql4/macro_expansion.hpp"

#include <algorithm>
#include <cctype>
#include <map>

namespace zorvik::mql4 {

bool expandMacros(std::vector<Token>& raw, std::vector<Token>& out, std::deque<std::string>& macroTexts,
                  Diagnostics& diagnostics) {
  const bool anyMacro = std::any_of(raw.begin(), raw.end(), [](const Token& t) {
    return t.kind == TokenKind::Directive && t.spelling.find("def") != std::string_view::npos;  // #define, #undef
  });
  if (!anyMacro) {
    out = std::move(raw);
    return true;
  }
  out.reserve(raw.size());
  std::map<std::string, std::vector<Token>, std::less<>> macros;
  // Macros that expand into each other could multiply without end; past this many tokens
  // the source is refused.
  const std::size_t maxTokens = raw.size() + 1'000'000;
  auto emit = [&](auto&& self, const Token& t, SourcePos at, int depth) -> void {
    if (out.size() > maxTokens) return;
    if (t.kind == TokenKind::Identifier && depth < 32) {
      const auto m = macros.find(t.spelling);
      if (m != macros.end()) {
        for (const Token& body : m->second) {
          if (body.kind == TokenKind::Identifier && body.spelling == t.spelling) {
            Token copy = body;
            copy.pos = at;
            copy.end = at;
            out.push_back(copy);
          } else {
            self(self, body, at, depth + 1);
          }
        }
        return;
      }
    }
    Token copy = t;
    if (depth > 0) copy.pos = copy.end = at;
    out.push_back(std::move(copy));
  };
  for (Token& t : raw) {
    if (t.kind == TokenKind::Directive) {
      std::string_view line = t.spelling.substr(1);
      line = trimmed(line);
      const std::string_view word = line.substr(0, line.find_first_of(" \t"));
      std::string_view rest = trimmed(line.substr(word.size()));
      if (word == "define") {
        std::size_t n = 0;
        while (n < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[n])) || rest[n] == '_')) ++n;
        const std::string name(rest.substr(0, n));
        if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) {
          diagnostics.push_back({t.pos, Severity::Error, "'#define' - identifier expected"});
          return false;
        }
        if (n < rest.size() && rest[n] == '(') {
          diagnostics.push_back({t.pos, Severity::Error, "'" + name + "' - macros with parameters are not supported"});
          return false;
        }
        macroTexts.emplace_back(rest.substr(n));
        Diagnostics inner;
        std::vector<Token> body = tokenize(macroTexts.back(), inner);
        body.pop_back();  // End
        for (Token& b : body) b.pos = b.end = t.pos;
        if (!inner.empty()) {
          diagnostics.push_back({t.pos, Severity::Error, "'" + name + "' - " + inner.front().message});
          return false;
        }
        macros[name] = std::move(body);
        continue;
      }
      if (word == "undef") {
        const auto m = macros.find(rest);
        if (m != macros.end()) macros.erase(m);
        continue;
      }
    }
    if (t.kind != TokenKind::Identifier || macros.empty() || !macros.count(t.spelling)) {
      out.push_back(std::move(t));
      continue;
    }
    emit(emit, t, t.pos, 0);
    if (out.size() > maxTokens) {
      diagnostics.push_back({t.pos, Severity::Error, "macro expansion too large"});
      return false;
    }
  }
  return true;
}

}  // namespace zorvik::mql4
