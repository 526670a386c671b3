#include "app/system_error_text.hpp"

#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

namespace zorvik {
namespace {

struct Phrase {
  std::string raw;     // as the file layer writes it
  std::string german;  // the language table's key
};

const std::vector<Phrase>& phrases() {
  static const std::vector<Phrase> all = [] {
    // The wording of the running C library is looked for, not a copy of it: another libc
    // words its errors differently.
    const std::pair<int, const char*> errors[] = {
        {ENAMETOOLONG, "Dateiname zu lang"},
        {ENOENT, "Datei oder Verzeichnis nicht gefunden"},
        {EACCES, "Zugriff verweigert"},
        {EPERM, "Aktion nicht erlaubt"},
        {ENOSPC, "Kein Speicherplatz mehr auf dem Gerät"},
        {EROFS, "Dateisystem ist nur lesbar"},
        {EEXIST, "Datei existiert bereits"},
        {ENOTDIR, "Ist kein Verzeichnis"},
        {EISDIR, "Ist ein Verzeichnis"},
        {EBUSY, "Gerät oder Ressource belegt"},
        {EMFILE, "Zu viele offene Dateien"},
        {EIO, "Ein-/Ausgabefehler"},
        {EDQUOT, "Festplattenkontingent überschritten"},
        {EFBIG, "Datei zu groß"},
        {ENOTEMPTY, "Verzeichnis nicht leer"},
        {ELOOP, "Zu viele Ebenen symbolischer Links"},
        {EINVAL, "Ungültiges Argument"},
        {ETIMEDOUT, "Zeitüberschreitung"},
        {ECONNREFUSED, "Verbindung abgelehnt"},
    };
    std::vector<Phrase> list;
    for (const auto& [code, german] : errors) list.push_back({std::generic_category().message(code), german});
    list.push_back({"cannot create a temporary file in ", "Keine temporäre Datei möglich in "});
    list.push_back({"cannot write ", "Schreiben nicht möglich: "});
    list.push_back({"cannot replace ", "Ersetzen nicht möglich: "});
    list.push_back({" is read-only", " ist schreibgeschützt"});
    list.push_back({" is not a regular file", " ist keine normale Datei"});
    return list;
  }();
  return all;
}

}  // namespace

std::string localizeSystemErrors(std::string text, const std::function<std::string(std::string_view)>& translate) {
  for (const Phrase& p : phrases()) {
    if (p.raw.empty()) continue;
    std::string shown;
    for (std::size_t at = text.find(p.raw); at != std::string::npos; at = text.find(p.raw, at + shown.size())) {
      if (shown.empty()) shown = translate ? translate(p.german) : p.german;
      text.replace(at, p.raw.size(), shown);
    }
  }
  return text;
}

}  // namespace zorvik
