#include "window/event_sounds.hpp"

#include <array>
#include <utility>

#include "text/strings.hpp"

namespace zorvik {

std::string_view soundFileForEvent(std::string_view eventName) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kTable{{
      {"Lade Handelssystem", "scan_completed.wav"},
      {"Neues Handelssystem", "success.wav"},
      {"Generiere Expert", "sparcle.wav"},
      {"Ablage", "trash.wav"},
      {"Kill Indikator", "trash.wav"},
      {"Ablagen", "trash.wav"},
      {"Lade System", "dibbldibb.wav"},
      {"Drag&Drop", "dibbldibb.wav"},
      {"Start", "dibbldibb.wav"},
      {"Neuer Indikator", "dibbldibb.wav"},
      {"Clonen", "dibbldibb.wav"},
      {"Toolbox export", "dibbldibb.wav"},
      {"Write System", "dibbldabb.wav"},
      {"Indikator OK", "w1.wav"},
      {"Indikator Abbruch", "XPRecycl.wav"},
  }};
  for (const auto& [event, file] : kTable)
    if (iequals(event, eventName)) return file;
  return {};
}

std::string_view eventNameOf(Sound sound) {
  switch (sound) {
    case Sound::Open: return "Lade Handelssystem";
    case Sound::Save: return "Write System";
    case Sound::Generate: return "Generiere Expert";
    case Sound::Trash: return "Ablage";
    case Sound::Restore: return "Lade System";
    case Sound::Drop: return "Drag&Drop";
    case Sound::Error:
    case Sound::Info: return {};
    case Sound::NewSystem: return "Neues Handelssystem";
    case Sound::Clone: return "Clonen";
  }
  return {};
}

}  // namespace zorvik
