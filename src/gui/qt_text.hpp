#pragma once
// The core hands texts over as UTF-8 in std::string (the language table, the catalogue, the
// model); this turns one into a QString for a widget. One short name, because nearly every
// label, caption and message of the window goes through it.
#include <QString>

#include <string>

namespace zorvik {

inline QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace zorvik
