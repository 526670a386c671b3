#include "generator/mql_literal.hpp"

namespace zorvik {

std::string mqlStringLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) out += '?';
        else out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace zorvik
