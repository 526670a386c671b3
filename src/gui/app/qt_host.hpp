#pragma once
// The Host of the window program: message boxes with the program title, input boxes, the
// status bar, event sounds with QSoundEffect, the deferred message and programs started
// through QProcess.
#include <QPointer>

#include <deque>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/host.hpp"

class QMainWindow;
class QSoundEffect;
class QTimer;

namespace zorvik {

class QtHost : public Host {
 public:
  QtHost();
  ~QtHost() override;

  // The window that owns message boxes and whose status bar shows status texts.
  void setMainWindow(QMainWindow* window) { window_ = window; }
  // Where the wave files of the event sounds lie.
  void setResourceFolder(const std::filesystem::path& folder) { resFolder_ = folder; }

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  void status(const std::string& text) override;
  // Queues the text and starts `TimerHelp`; the box appears once the current event is done.
  void deferredMessage(const std::string& text) override;
  void playSound(Sound sound) override;
  void eventSound(const std::string& eventName) override;
  bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                    const std::filesystem::path& workingDir) override;
  void processEvents(std::chrono::milliseconds forAtMost) override;

  // The one-shot timer of the deferred message (1 ms).
  QTimer* timerHelp();
  // Deferred texts not shown yet.
  const std::deque<std::string>& pendingDeferred() const { return deferred_; }

 private:
  void showDeferred();

  QPointer<QMainWindow> window_;
  std::filesystem::path resFolder_;
  std::unique_ptr<QTimer> timerHelp_;
  std::deque<std::string> deferred_;
  std::map<std::string, std::unique_ptr<QSoundEffect>> sounds_;
};

}  // namespace zorvik
