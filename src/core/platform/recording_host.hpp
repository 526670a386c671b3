#pragma once
// A Host for tests and batch runs: keeps every message, answers questions and input boxes from
// queues (Yes / empty answer when a queue runs dry) and starts nothing unless told how.
#include <deque>
#include <functional>
#include <map>

#include "platform/host.hpp"

namespace zorvik {

class RecordingHost : public Host {
 public:
  struct Started {
    std::filesystem::path program;
    std::vector<std::string> args;
    std::filesystem::path workingDir;
    bool watched = false;  // started through startWatchedProgram
  };

  std::vector<std::string> messages;      // every message box, in order
  std::vector<std::string> questions;     // every Yes/No question, in order
  std::vector<std::string> prompts;       // every input box prompt
  struct Choice {
    std::string title;
    std::string label;
    std::vector<std::string> items;
    int selected = 0;
    bool cancellable = true;
  };
  std::vector<Choice> choicesShown;       // every list choice, in order
  std::vector<std::string> statuses;
  std::vector<std::string> deferred;
  std::vector<Sound> sounds;
  std::vector<std::string> eventSounds;   // names passed to eventSound, in order
  std::vector<Started> started;
  int libraryRefreshes = 0;
  std::chrono::milliseconds waited{0};

  std::deque<bool> answers;                           // for askYesNo
  std::deque<std::optional<std::string>> inputs;      // for inputBox
  std::deque<std::optional<int>> choices;             // for chooseItem: index or cancel
  std::deque<std::string> chosenNames;                // for chooseSystemName ("" = Cancel)
  std::vector<std::string> nameDialogs;               // caption of every such dialog
  // Decides whether startProgram succeeds and may act as the started program would.
  std::function<bool(const Started&)> onStart;
  // Called on every processEvents, with the total time waited so far.
  std::function<void(std::chrono::milliseconds)> onWait;
  // Programs findProgram knows, by name ("wine" -> "/usr/bin/wine"); nothing else is found.
  std::map<std::string, std::filesystem::path> programsOnPath;
  // Exit codes of watched programs that have ended, by handle. A watched program's handle is
  // its position in `started`, counted from 1, so onStart can end it at once with
  // exitCodes[started.size()] = 0.
  std::map<int, int> exitCodes;

  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> inputBox(const std::string& prompt, const std::string&,
                                      const std::string& defaultText) override {
    prompts.push_back(prompt);
    if (inputs.empty()) return defaultText;
    auto a = inputs.front();
    inputs.pop_front();
    return a;
  }
  // A dry queue keeps the preselected entry, as pressing OK at once would.
  std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                const std::vector<std::string>& items, int selected, bool cancellable) override {
    choicesShown.push_back({title, label, items, selected, cancellable});
    std::optional<int> answer = selected;
    if (!choices.empty()) {
      answer = choices.front();
      choices.pop_front();
    }
    if (!answer && !cancellable) answer = selected;
    if (items.empty() || (answer && (*answer < 0 || *answer >= static_cast<int>(items.size()))))
      return std::nullopt;
    return answer;
  }
  void status(const std::string& text) override { statuses.push_back(text); }
  void deferredMessage(const std::string& text) override { deferred.push_back(text); }
  void playSound(Sound sound) override { sounds.push_back(sound); }
  void eventSound(const std::string& eventName) override { eventSounds.push_back(eventName); }
  bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                    const std::filesystem::path& workingDir) override {
    Started s{program, args, workingDir};
    started.push_back(s);
    return onStart ? onStart(s) : false;
  }
  void processEvents(std::chrono::milliseconds forAtMost) override {
    waited += forAtMost;
    if (onWait) onWait(waited);
  }
  void refreshLibrary() override { ++libraryRefreshes; }
  // Answers as the dialog would: refused characters never reach the name; Cancel when dry.
  std::string chooseSystemName(const std::string& caption) override {
    nameDialogs.push_back(caption);
    if (chosenNames.empty()) return {};
    std::string a = withoutRefusedNameCharacters(chosenNames.front());
    chosenNames.pop_front();
    return a;
  }

  // The clock stands still except while processEvents "waits".
  std::chrono::milliseconds now() override { return waited; }
  std::filesystem::path findProgram(const std::string& name) override {
    auto it = programsOnPath.find(name);
    return it == programsOnPath.end() ? std::filesystem::path() : it->second;
  }
  int startWatchedProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                          const std::filesystem::path& workingDir) override {
    Started s{program, args, workingDir, true};
    started.push_back(s);
    return (onStart && onStart(s)) ? static_cast<int>(started.size()) : 0;
  }
  std::optional<int> programExitCode(int handle) override {
    auto it = exitCodes.find(handle);
    if (it == exitCodes.end()) return std::nullopt;
    return it->second;
  }
};

}  // namespace zorvik
