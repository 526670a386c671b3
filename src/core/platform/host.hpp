#pragma once
// Host: everything core needs from its surroundings. The window program implements it with
// Qt, the command-line program with the terminal, tests with RecordingHost. Texts passed in
// are already translated for display; the host shows them as they are.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorvik {

// Event sounds of the main window.
enum class Sound { Open, Save, Generate, Error, Trash, Restore, Drop, Info };

class Host {
 public:
  virtual ~Host() = default;

  // A message box with an OK button and the program title.
  virtual void message(const std::string& text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
  // A modal input box; nullopt when cancelled. An empty answer is "" (not cancelled).
  virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText) = 0;
  // Text of the status bar.
  virtual void status(const std::string& text) = 0;
  // A message shown once the current event has finished (the main window's deferred message).
  virtual void deferredMessage(const std::string& text) = 0;
  virtual void playSound(Sound sound) = 0;
  // An event sound named as the main window's sound table names it ("Lade Handelssystem",
  // "Write System", "Indikator OK", ...); events without a sound stay silent.
  virtual void eventSound(const std::string& eventName) { (void)eventName; }

  // Starts a program without waiting for it; false when it cannot be started at all.
  virtual bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                            const std::filesystem::path& workingDir) = 0;
  // Lets window events run for about the given time (a wait that keeps the window alive).
  virtual void processEvents(std::chrono::milliseconds forAtMost) = 0;

  // Asks the library panel to list the folder "user" anew after a file was written.
  virtual void refreshLibrary() {}
};

}  // namespace zorvik
