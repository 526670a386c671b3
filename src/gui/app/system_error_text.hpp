#pragma once
// Messages from the file layer carry the C library's English wording of an operating-system
// error ("File name too long") and a few English phrases around the path ("cannot write ...").
// Before such a message reaches the user these parts become the program's own text in the
// chosen language; the path and every other detail stay as they are.
#include <functional>
#include <string>
#include <string_view>

namespace zorvik {

// translate maps a German text of the language table to the text to show.
std::string localizeSystemErrors(std::string text, const std::function<std::string(std::string_view)>& translate);

}  // namespace zorvik
