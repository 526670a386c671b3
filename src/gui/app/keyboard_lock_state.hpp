#pragma once
// The state of the caps-lock, num-lock and scroll-lock keys for the status bar. Qt offers no
// portable way to read them; on Linux the keyboard LEDs in /sys/class/leds tell it. Where
// they cannot be read the state stays unknown and the panes show their label dimmed.
#include <filesystem>
#include <optional>
#include <vector>

namespace zorvik {

class KeyboardLockState {
 public:
  enum Key { Caps = 0, Num = 1, Scroll = 2 };

  // Looks for the LEDs below ledFolder (normally /sys/class/leds).
  explicit KeyboardLockState(const std::filesystem::path& ledFolder = "/sys/class/leds");

  // On or off; nullopt when the state cannot be read here.
  std::optional<bool> isOn(Key key) const;

 private:
  std::vector<std::filesystem::path> brightness_[3];
};

}  // namespace zorvik
