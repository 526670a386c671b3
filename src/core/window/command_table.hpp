#pragma once
// The commands of the main window as data: the seven menus with their entries in order, the
// context menu of the library and the rules for its check marks and offered entries. The
// window builds its menus from this table, so a test of the table is a test of the menus.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class LanguageTable;

// Command ids. They are the ids the dispatcher receives; the numbers are fixed because the
// library panel and the editors name them too.
namespace cmd {
inline constexpr std::int32_t NewSystem = 100;
inline constexpr std::int32_t SaveSystem = 103;
inline constexpr std::int32_t Quit = 104;
inline constexpr std::int32_t StatusBar = 110;
inline constexpr std::int32_t Reset = 98;
inline constexpr std::int32_t EditMode = 200;
inline constexpr std::int32_t HelpMode = 201;
inline constexpr std::int32_t StartMode = 202;
inline constexpr std::int32_t ProgramSettings = 96;
inline constexpr std::int32_t SideBySide = 141;
inline constexpr std::int32_t OneUnderTheOther = 142;
inline constexpr std::int32_t CheckSystem = 97;
inline constexpr std::int32_t GenerateNow = 99;
inline constexpr std::int32_t German = 94;
inline constexpr std::int32_t English = 95;
inline constexpr std::int32_t About = 112;
// The bundled manual in the help panel, and the update check on demand (it says what it found).
inline constexpr std::int32_t Manual = 114;
inline constexpr std::int32_t UpdateCheck = 115;

// The library context menu, acting on the library's current item.
inline constexpr std::int32_t MoveToTrash = 11001;
inline constexpr std::int32_t Delete = 11002;
inline constexpr std::int32_t GenerateExpert = 11003;
inline constexpr std::int32_t Rename = 11004;
inline constexpr std::int32_t Cancel = 11005;
inline constexpr std::int32_t ApplyExpert = 11006;
inline constexpr std::int32_t Restore = 11007;
inline constexpr std::int32_t SaveAs = 11008;
}  // namespace cmd

enum class EntryKind {
  Command,      // a plain entry
  Checkable,    // an entry that carries a check mark
  Submenu,      // an (empty) submenu; id 0
};

struct CommandEntry {
  std::int32_t id;
  std::string_view caption;  // German, with its language tag
  EntryKind kind;
  std::string_view shortcut{};  // as a key sequence is written ("Ctrl+S"); empty for none
};

struct CommandMenu {
  std::string_view caption;  // German, with its language tag
  std::vector<CommandEntry> entries;
};

// The menu bar, menus and entries in display order.
const std::vector<CommandMenu>& commandMenus();

// The library context menu 11001..11008 in id order.
const std::vector<CommandEntry>& libraryContextEntries();

// The German caption of a command of either table; empty for an unknown id.
std::string_view commandCaption(std::int32_t id);

// True for the ids the dispatcher carries out; every other id (10000..10200 included) is
// ignored.
bool isDispatchedCommand(std::int32_t id);

// The language entry (94 or 95) that carries the check mark for a language name: German when
// the name, upper-cased, is empty or "DEUTSCH", English for "ENGLISCH", none (0) otherwise.
std::int32_t checkedLanguageCommand(std::string_view languageName);

// The mode entry that carries the check mark: 200 for edit mode (0), 201 for help mode (1),
// 202 for start mode (-1), none (0) for any other value.
std::int32_t checkedModeCommand(std::int16_t displayMode);

// The context-menu entries offered for the library group of the current item. The group is
// the caption the library shows, so it is compared with the translated caption of each group
// as well as with its German name (the trash records carry "Ablage", the fixed entries
// "Powerswitch" whatever the language).
std::vector<std::int32_t> offeredContextCommands(std::string_view groupCaption, const LanguageTable& language);

}  // namespace zorvik
