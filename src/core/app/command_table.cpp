#include "app/command_table.hpp"

#include <algorithm>

#include "model/language.hpp"
#include "text/strings.hpp"

namespace zorvik {

const std::vector<CommandMenu>& commandMenus() {
  using enum EntryKind;
  static const std::vector<CommandMenu> menus{
      {"&Datei@2",
       {{cmd::NeuesHandelssystem, "&Neues Handelssystem@2", Command},
        {cmd::HandelssystemSpeichern, "&Handelssystem speichern", Command},
        {cmd::ProgrammBeenden, "&Programm beenden@2", Command}}},
      {"&Anzeige@2",
       {{0, "&Toolbars@2", Submenu},
        {cmd::StatusBar, "Status Bar", Checkable},
        {cmd::Reset, "&Reset@2", Command},
        {cmd::Editiermodus, "&Editiermodus@2", Checkable},
        {cmd::Hilfemodus, "&Hilfemodus@2", Checkable},
        {cmd::Startmodus, "&Startmodus@2", Checkable},
        {cmd::Einstellungen, "&Einstellungen@2", Command}}},
      {"&Systemeditor@2",
       {{cmd::AnzeigeNebeneinander, "&Anzeige nebeneinander@2", Command},
        {cmd::AnzeigeUntereinander, "&Anzeige untereinander@2", Command}}},
      {"&Systemtest@2", {{cmd::SystemTesten, "&System testen@2", Command}}},
      {"&Expert Advisor@2", {{cmd::JetztErzeugen, "&jetzt erzeugen@2", Command}}},
      {"&Sprache@2", {{cmd::Deutsch, "&Deutsch@2", Checkable}, {cmd::Englisch, "&Englisch@2", Checkable}}},
      {"&Hilfe@2", {{cmd::Ueber, "&Über...@2", Command}}},
  };
  return menus;
}

const std::vector<CommandEntry>& libraryContextEntries() {
  using enum EntryKind;
  static const std::vector<CommandEntry> entries{
      {cmd::Ablegen, "Ablegen", Command},         {cmd::Loeschen, "Löschen", Command},
      {cmd::ExpertErzeugen, "Expert erzeugen", Command}, {cmd::Umbenennen, "Umbenennen", Command},
      {cmd::Abbrechen, "Abbrechen", Command},     {cmd::ExpertAnwenden, "Expert anwenden", Command},
      {cmd::Wiederherstellen, "Wiederherstellen", Command}, {cmd::SpeichernUnter, "Speichern unter", Command},
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
  if (upper.empty() || upper == "DEUTSCH") return cmd::Deutsch;
  if (upper == "ENGLISCH") return cmd::Englisch;
  return 0;
}

std::int32_t checkedModeCommand(std::int16_t displayMode) {
  switch (displayMode) {
    case 0: return cmd::Editiermodus;
    case 1: return cmd::Hilfemodus;
    case -1: return cmd::Startmodus;
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
      {{"Handelssysteme@3"}, {Ablegen, Loeschen, ExpertErzeugen, Umbenennen, Abbrechen, SpeichernUnter}},
      {{"Signalgruppen@3", "Indikatorgruppen@3", "Indikatoren@3", "MM-Einstellungen@3", "STOP-Einstellungen@3"},
       {Ablegen, Loeschen, Umbenennen, Abbrechen}},
      {{"Expert Advisors@3"}, {Loeschen, Umbenennen, Abbrechen, ExpertAnwenden}},
      {{"Ablage@3"}, {Loeschen, Abbrechen, Wiederherstellen}},
      {{"Powerswitch@3"}, {Abbrechen}},
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
