#pragma once
// The Host of the window program: message boxes with the program title, input boxes, the
// status bar, event sounds through the sound plug-in, the deferred message and programs started
// through QProcess.
#include <QMainWindow>
#include <QPointer>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "platform/host.hpp"

class QProcess;
class QTimer;

namespace zorvik {

class SoundPlayer;

class QtHost : public Host {
 public:
  QtHost();
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;
  ~QtHost() override;

  // The window that owns message boxes and whose status bar shows status texts.
  void setMainWindow(QMainWindow* window) { window_ = window; }
  // Lists the library anew. A request is carried out once the current event is done, and
  // several requests of one event list it once: the request may come from inside a handler of
  // the library panel itself, whose items must stay alive until it returns.
  void setLibraryRefresh(std::function<void()> relist) { relist_ = std::move(relist); }
  void refreshLibrary() override;
  // Translates the German texts of the buttons of message, question and input boxes. Without
  // it Qt writes its own English "Yes"/"No"/"Cancel" even in a German program.
  void setTranslator(std::function<std::string(std::string_view)> translate) { translate_ = std::move(translate); }
  // Nobody there to answer (a start-up measurement, --exit-after-first-paint): message,
  // question and input boxes write their text to standard error instead of waiting for a
  // click, and take the cautious answer (no, cancel).
  void setUnattended(bool unattended) { unattended_ = unattended; }
  // Where the wave files of the event sounds lie.
  void setResourceFolder(const std::filesystem::path& folder) { resFolder_ = folder; }

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                const std::vector<std::string>& items, int selected, bool cancellable) override;
  void status(const std::string& text) override;
  // Queues the text and starts a 1 ms timer; the box appears once the current event is done.
  void deferredMessage(const std::string& text) override;
  void playSound(Sound sound) override;
  void eventSound(const std::string& eventName) override;
  bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                    const std::filesystem::path& workingDir) override;
  void processEvents(std::chrono::milliseconds forAtMost) override;
  // A plain input dialog whose field refuses the characters a system name may not hold.
  std::string chooseSystemName(const std::string& caption) override;
  // The new-system dialog: the name and the starting stops in pips.
  std::optional<NewSystemChoice> chooseNewSystem(const std::string& caption, const NewSystemChoice& offered) override;
  std::filesystem::path findProgram(const std::string& name) override;
  int startWatchedProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                          const std::filesystem::path& workingDir) override;
  std::optional<int> programExitCode(int handle) override;


  // The one-shot timer of the deferred message (1 ms).
  QTimer* deferredMessageTimer();
  // Deferred texts not shown yet.
  const std::deque<std::string>& pendingDeferred() const { return deferred_; }

 private:
  void showDeferred();
  QString buttonText(const char* german) const;
  // The text of a box or the status bar, with the operating system's error wording in the
  // program's language.
  QString shownText(const std::string& text) const;
  // In the unattended mode: writes the box's text to standard error and answers true.
  bool skipBox(const std::string& text) const;

  QPointer<QMainWindow> window_;
  std::function<void()> relist_;
  std::function<std::string(std::string_view)> translate_;
  bool relistQueued_ = false;
  bool unattended_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // Watched programs still running, and the exit codes of those that have ended, by handle.
  std::map<int, QProcess*> running_;
  std::map<int, int> ended_;
  int nextHandle_ = 1;
  std::filesystem::path resFolder_;
  std::unique_ptr<QTimer> deferredTimer_;
  std::deque<std::string> deferred_;
  // Made at the first sound; without the sound plug-in the program stays silent and says so once.
  std::unique_ptr<SoundPlayer> player_;
  bool playerTried_ = false;
};

}  // namespace zorvik
