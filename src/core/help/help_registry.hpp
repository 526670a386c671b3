#pragma once
// The help registry: every control that wants context help is entered under a topic, and F1
// over a control (or over a child of a registered control) shows the topic it carries.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class LanguageTable;
class HelpTextTable;
class Catalogue;

// Identifies a window (a control) for the whole run. The window program uses the address of
// the widget; 0 means "no window".
using WindowHandle = std::uintptr_t;

struct HelpRecord {
  std::string topic;
  std::string source;    // form and control name joined by ";"
  WindowHandle window = 0;
  std::string subtopic;  // a finer topic, may be empty
};

class HelpRegistry {
 public:
  // Enters the control, or replaces the topic and subtopic of its record: one record per
  // window for the whole run.
  void registerTopic(std::string_view form, std::string_view control, WindowHandle window,
                     std::string_view topic, std::string_view subtopic = {});
  const HelpRecord* find(WindowHandle window) const;
  // The record of the window, else the record of its parent, else none.
  const HelpRecord* findWithParent(WindowHandle window, WindowHandle parent) const;

  const std::vector<HelpRecord>& records() const { return records_; }

 private:
  std::vector<HelpRecord> records_;
};

// The key code of F1; help requests with any other key do nothing.
inline constexpr int kKeyF1 = 112;

// What a help request for a key press of a form produces.
struct HelpRequestResult {
  std::string protocolLine;  // for the program's protocol
  std::string message;       // the deferred message to show
  std::string topic;         // of the record found; empty when none was
};

// The help request of a form for a key press with the mouse over `window` (whose parent is
// `parent`). nullopt for any key but F1.
std::optional<HelpRequestResult> helpTopicRequest(const HelpRegistry& registry, const LanguageTable& language,
                                                  std::string_view form, int keyCode, WindowHandle window,
                                                  WindowHandle parent);

// Help for a menu command: the topic "MENU_" and the caption of the menu holding the command
// (or of the command bar), and the message that names it.
struct MenuHelp {
  std::string topic;
  std::string message;
};
MenuHelp menuHelp(const LanguageTable& language, std::string_view menuCaption);

// The text of the parameter help window: the translated caption, a line break, the translated
// help text of the key and four blanks (which keep the last word off the window's edge).
std::string helpWindowText(std::string_view caption, const HelpTextTable& texts, const LanguageTable& language,
                           std::string_view key);
// The same with the caption of a catalogue parameter.
std::string parameterHelpText(const Catalogue& catalogue, const HelpTextTable& texts, const LanguageTable& language,
                              std::string_view key);

// Where the parameter help window goes, in pixels: 20 to the right of and below the mouse
// pointer, moved up so that its lower edge keeps 20 pixels above the bottom of the screen.
// There is no correction to the left or right.
struct PopupPlacement {
  int x = 0;
  int y = 0;
};
PopupPlacement placeHelpPopup(int cursorX, int cursorY, int windowHeight, int screenBottom);

// The help window's strip at the top in which a click does not close it, in pixels.
inline constexpr int kHelpPopupGripHeight = 24;

}  // namespace zorvik
