#include "app/keyboard_lock_state.hpp"

#include <fstream>
#include <string>

namespace zorvik {

KeyboardLockState::KeyboardLockState(const std::filesystem::path& ledFolder) {
  static const char* kSuffix[3] = {"::capslock", "::numlock", "::scrolllock"};
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ledFolder, ec)) {
    const std::string name = entry.path().filename().string();
    for (int k = 0; k < 3; ++k) {
      const std::string suffix = kSuffix[k];
      if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        brightness_[k].push_back(entry.path() / "brightness");
    }
  }
}

std::optional<bool> KeyboardLockState::isOn(Key key) const {
  const auto& files = brightness_[key];
  if (files.empty()) return std::nullopt;
  // Several keyboards each have their LED; the lock is on when any of them is lit.
  bool any = false;
  bool readable = false;
  for (const auto& file : files) {
    std::ifstream in(file);
    int value = 0;
    if (in >> value) {
      readable = true;
      any = any || value != 0;
    }
  }
  if (!readable) return std::nullopt;
  return any;
}

}  // namespace zorvik
