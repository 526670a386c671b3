#include "window/command_table.hpp"

#include <algorithm>

#include "model/language.hpp"
#include "text/strings.hpp"

namespace zorvik {

const std::vector<CommandMenu>& commandMenus() {
  using enum EntryKind;
  static const std::vector<CommandMenu> menus{
      {"&Datei@2",
       {{cmd::NewSystem, "&Neues Handelssystem@2", Command},
        {cmd::SaveSystem, "&Handelssystem speichern", Command, "Ctrl+S"},
        {cmd::Quit, "&Programm beenden@2", Command}}},
      {"&Anzeige@2",
       {{0, "&Toolbars@2", Submenu},
        {cmd::StatusBar, "Status Bar", Checkable},
        {cmd::Reset, "&Reset@2", Command},
        {cmd::EditMode, "&Editiermodus@2", Checkable},
        {cmd::HelpMode, "&Hilfemodus@2", Checkable},
        {cmd::StartMode, "&Startmodus@2", Checkable},
        {cmd::ProgramSettings, "&Einstellungen@2", Command}}},
      {"&Systemeditor@2",
       {{cmd::SideBySide, "&Anzeige nebeneinander@2", Command},
        {cmd::OneUnderTheOther, "&Anzeige untereinander@2", Command}}},
      {"&Systemtest@2", {{cmd::CheckSystem, "&System testen@2", Command}}},
      {"&Expert Advisor@2", {{cmd::GenerateNow, "&jetzt erzeugen@2", Command}}},
      {"&Sprache@2", {{cmd::German, "&Deutsch@2", Checkable}, {cmd::English, "&Englisch@2", Checkable}}},
      {"&Hilfe@2",
       {{cmd::Manual, "&Handbuch@2", Command},
        {cmd::UpdateCheck, "Nach &Updates suchen@2", Command},
        {cmd::About, "&Über...@2", Command}}},
  };
  return menus;
}

const std::vector<CommandEntry>& libraryContextEntries() {
  using enum EntryKind;
  static const std::vector<CommandEntry> entries{
      {cmd::MoveToTrash, "Ablegen", Command},         {cmd::Delete, "Löschen", Command},
      {cmd::GenerateExpert, "Expert erzeugen", Command}, {cmd::Rename, "Umbenennen", Command},
      {cmd::Cancel, "Abbrechen", Command},     {cmd::ApplyExpert, "Expert anwenden", Command},
      {cmd::Restore, "Wiederherstellen", Command}, {cmd::SaveAs, "Speichern unter", Command},
  };
  return entries;
}

std::string_view commandCaption(std::int32_t id) {
  if (id == 0) return {};
  for (const auto& menu : commandMenus())
    for (const auto& e : menu.entries)
      if (e.id == id) return e.caption;
  for (const auto& e : libraryContextEntries())
    if (e.id == id) return e.caption;
  return {};
}

bool isDispatchedCommand(std::int32_t id) { return !commandCaption(id).empty(); }

std::int32_t checkedLanguageCommand(std::string_view languageName) {
  const std::string upper = toUpper(languageName);
  if (upper.empty() || upper == "DEUTSCH") return cmd::German;
  if (upper == "ENGLISCH") return cmd::English;
  return 0;
}

std::int32_t checkedModeCommand(std::int16_t displayMode) {
  switch (displayMode) {
    case 0: return cmd::EditMode;
    case 1: return cmd::HelpMode;
    case -1: return cmd::StartMode;
    default: return 0;
  }
}

std::vector<std::int32_t> offeredContextCommands(std::string_view groupCaption, const LanguageTable& language) {
  using namespace cmd;
  struct Rule {
    std::vector<std::string_view> groups;  // German captions with their tag
    std::vector<std::int32_t> offered;
  };
  static const std::vector<Rule> rules{
      {{"Handelssysteme@3"}, {MoveToTrash, Delete, GenerateExpert, Rename, Cancel, SaveAs}},
      {{"Signalgruppen@3", "Indikatorgruppen@3", "Indikatoren@3", "MM-Einstellungen@3", "STOP-Einstellungen@3"},
       {MoveToTrash, Delete, Rename, Cancel}},
      {{"Expert Advisors@3"}, {Delete, Rename, Cancel, ApplyExpert}},
      {{"Ablage@3"}, {Delete, Cancel, Restore}},
      {{"Powerswitch@3"}, {Cancel}},
  };
  if (!groupCaption.empty()) {
    for (const Rule& rule : rules) {
      const bool matches = std::any_of(rule.groups.begin(), rule.groups.end(), [&](std::string_view g) {
        return groupCaption == withoutTag(g) || groupCaption == language.translate(g);
      });
      if (matches) return rule.offered;
    }
  }
  std::vector<std::int32_t> all;
  for (const auto& e : libraryContextEntries()) all.push_back(e.id);
  return all;
}

}  // namespace zorvik
