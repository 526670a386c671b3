#pragma once
// Every file the program reads or writes is single-byte Windows-1252; inside the program
// every text is UTF-8. These two functions are the only crossing point.
#include <string>
#include <string_view>

namespace zorvik {

// Each of the 256 byte values maps to one code point. The five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same
// number, as Windows itself does, so any file survives a read and a write unchanged.
std::string cp1252ToUtf8(std::string_view bytes);

// Characters that have no Windows-1252 byte, and malformed UTF-8, become "?".
std::string utf8ToCp1252(std::string_view utf8);

}  // namespace zorvik
