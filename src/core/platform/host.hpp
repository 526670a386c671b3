#pragma once
// Host: everything core needs from its surroundings. The window program implements it with
// Qt, the command-line program with the terminal, tests with RecordingHost. Texts passed in
// are already translated for display; the host shows them as they are.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// Event sounds of the main window.
enum class Sound { Open, Save, Generate, Error, Trash, Restore, Drop, Info, NewSystem, Clone };

// What the new-system dialog asks: the name and the stops to start with, in pips, with the
// decimals of the quotes they are meant for (5 or 3 for yen: 10 points to the pip; 4 or 2: 1).
// A pip distance of 0 leaves that stop off.
struct NewSystemChoice {
  std::string name;
  int digits = 5;
  double stoplossPips = 0;
  double takeprofitPips = 0;
  double trailingPips = 0;
};

// Characters the dialog that names a new trading system does not accept. A "/" is not among
// them: the file name holds it encoded ("Mein Test%2F1.hsy.txt"), as every name of the library.
inline constexpr std::string_view kRefusedSystemNameCharacters = "\\\"?.;,";

// The text without the characters that dialog refuses.
inline std::string withoutRefusedNameCharacters(std::string_view text) {
  std::string out;
  for (char c : text)
    if (kRefusedSystemNameCharacters.find(c) == std::string_view::npos) out += c;
  return out;
}

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
  // A modal choice of one entry of a list: a combo box with OK, and Cancel when cancellable.
  // Returns the 0-based index of the chosen entry, nullopt when cancelled or when the list is
  // empty. A host that cannot ask keeps the preselected entry of a choice that cannot be
  // cancelled.
  virtual std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                        const std::vector<std::string>& items, int selected, bool cancellable) {
    (void)title;
    (void)label;
    if (cancellable || items.empty()) return std::nullopt;
    return selected >= 0 && selected < static_cast<int>(items.size()) ? selected : 0;
  }
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

  // A monotonic clock in milliseconds. Waits measure their time limits with it, so a test
  // host can let ten seconds pass without anybody waiting for them.
  virtual std::chrono::milliseconds now();
  // The full path of a program found on the search path (PATH), or an empty path.
  virtual std::filesystem::path findProgram(const std::string& name);

  // Starts a program whose end the caller wants to see. Returns a handle > 0 to ask
  // programExitCode with, kProgramNotWatched when the program was started but this host
  // cannot follow it, and 0 when it could not be started at all.
  static constexpr int kProgramNotWatched = -1;
  virtual int startWatchedProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                                  const std::filesystem::path& workingDir) {
    return startProgram(program, args, workingDir) ? kProgramNotWatched : 0;
  }
  // The exit code of a watched program once it has ended (a crash counts as -1); nullopt while
  // it still runs, and always for a handle this host cannot follow.
  virtual std::optional<int> programExitCode(int /*handle*/) { return std::nullopt; }

  // Asks the library panel to list the folder "user" anew after a file was written.
  virtual void refreshLibrary() {}

  // The new-system dialog: the name as chooseSystemName asks it, and the starting stops with
  // `offered` filled in. nullopt on Cancel. Hosts without a dialog of their own ask only the
  // name and take the offered stops.
  virtual std::optional<NewSystemChoice> chooseNewSystem(const std::string& caption, const NewSystemChoice& offered) {
    NewSystemChoice choice = offered;
    choice.name = chooseSystemName(caption);
    if (choice.name.empty()) return std::nullopt;
    return choice;
  }

  // The modal dialog that names a new trading system: captioned caption, its name field
  // refuses kRefusedSystemNameCharacters. OK gives the text, Cancel "". Hosts without a
  // dialog of their own ask with an input box and drop the refused characters.
  virtual std::string chooseSystemName(const std::string& caption) {
    const auto answer = inputBox(caption, caption, "");
    return answer ? withoutRefusedNameCharacters(*answer) : std::string();
  }
};

}  // namespace zorvik
