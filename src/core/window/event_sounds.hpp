#pragma once
// The event sounds of the main window: which wave file of the resource folder announces an
// event. Events are named as the program names them ("Lade Handelssystem", "Write System");
// names are compared without regard to case.
#include <string_view>

#include "platform/host.hpp"

namespace zorvik {

// The wave file of an event; empty when the event has no sound ("Ende" and every unknown name).
std::string_view soundFileForEvent(std::string_view eventName);

// The event a Host sound stands for; empty for sounds without an event of their own.
std::string_view eventNameOf(Sound sound);

}  // namespace zorvik
