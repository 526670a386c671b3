#pragma once
// A Host for tests and batch runs: keeps every message, answers questions and input boxes from
// queues (Yes / empty answer when a queue runs dry) and starts nothing unless told how.
#include <deque>
#include <functional>

#include "platform/host.hpp"

namespace zorvik {

class RecordingHost : public Host {
 public:
  struct Started {
    std::filesystem::path program;
    std::vector<std::string> args;
    std::filesystem::path workingDir;
  };

  std::vector<std::string> messages;      // every message box, in order
  std::vector<std::string> questions;     // every Yes/No question, in order
  std::vector<std::string> prompts;       // every input box prompt
  std::vector<std::string> statuses;
  std::vector<std::string> deferred;
  std::vector<Sound> sounds;
  std::vector<std::string> eventSounds;   // names passed to eventSound, in order
  std::vector<Started> started;
  int libraryRefreshes = 0;
  std::chrono::milliseconds waited{0};

  std::deque<bool> answers;                           // for askYesNo
  std::deque<std::optional<std::string>> inputs;      // for inputBox
  // Decides whether startProgram succeeds and may act as the started program would.
  std::function<bool(const Started&)> onStart;
  // Called on every processEvents, with the total time waited so far.
  std::function<void(std::chrono::milliseconds)> onWait;

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
};

}  // namespace zorvik
