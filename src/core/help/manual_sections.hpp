#pragma once
// Where in the bundled manual a help topic is explained. F1 shows a control's topic; the help
// panel then opens the section a trader needs to read about that control. The manual exists in
// German and English with anchors of their own, so a section is named once here and resolved
// per language.
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// The anchor ("indikatoren", "indicators") of the manual section that explains the topic, in
// the manual of the given language; empty for a topic that the manual's overview answers best.
// Topics are those of the help registry: fixed control topics ("IndikatorEdit"), "Reiter "
// with a tab caption, library group captions (German or English), the backtest page's topics
// and "MENU_" with a menu caption. A parameter row's topic is its caption ("Periode"), which
// says nothing about where it stands: then the object names of the widgets that enclose the
// control ("IForm", "GForm", innermost first) decide.
std::string manualAnchorOfTopic(std::string_view topic, const std::vector<std::string>& enclosingNames, bool english);

}  // namespace zorvik
