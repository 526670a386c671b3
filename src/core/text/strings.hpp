#pragma once
// Small text helpers with the semantics of the old Basic string functions the file formats
// were designed around: 1-based thinking stays in the callers, these work on std::string.
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// Upper case for ASCII and the Latin-1 letters (ä -> Ä, é -> É) of a UTF-8 text.
std::string toUpper(std::string_view s);
std::string toLower(std::string_view s);

// Case-insensitive comparison in the sense of toUpper.
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view text, std::string_view prefix);
// Position of needle in text ignoring case, or npos.
std::size_t ifind(std::string_view text, std::string_view needle);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);
bool contains(std::string_view text, std::string_view needle);

// Removes blanks and tabs at both ends.
std::string trim(std::string_view s);
// Removes one pair of enclosing double quotes, if there is one.
std::string unquote(std::string_view s);

// Splits at every separator; an empty text gives one empty field. maxFields > 0 limits the
// number of fields, the last one keeping the rest of the text.
std::vector<std::string> split(std::string_view s, std::string_view sep, std::size_t maxFields = 0);
// Splits, then trims each field and removes one pair of enclosing quotes.
std::vector<std::string> splitList(std::string_view s, std::string_view sep);

std::string join(const std::vector<std::string>& parts, std::string_view sep);
// Replaces every occurrence of from by to.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

// Whether a UTF-8 text holds a control character: C0 (below 0x20, tab included), DEL, or a C1
// code point (U+0080 to U+009F). Text read from a file with one of them could retitle or clear
// the trader's terminal when printed.
bool hasControlCharacter(std::string_view s);
// The text with each such character written as "\xNN" (the code point for C1), safe to print.
std::string withControlsEscaped(std::string_view s);

}  // namespace zorvik
