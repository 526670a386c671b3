#pragma once
// Host of the command-line program: messages go to stderr, questions are asked on the
// terminal (or answered from --yes), programs are started with posix_spawn.
#include <map>

#include "platform/host.hpp"

namespace zorvik::cli {

class ConsoleHost : public Host {
 public:
  bool assumeYes = false;

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                const std::vector<std::string>& items, int selected, bool cancellable) override;
  void status(const std::string& text) override;
  void deferredMessage(const std::string& text) override;
  void playSound(Sound) override {}
  bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                    const std::filesystem::path& workingDir) override;
  void processEvents(std::chrono::milliseconds forAtMost) override;
  // Asked on the terminal; without one the dialog counts as cancelled.
  std::string chooseSystemName(const std::string& caption) override;
  int startWatchedProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                          const std::filesystem::path& workingDir) override;
  std::optional<int> programExitCode(int handle) override;

 private:
  // Process id of the started program, or 0.
  int spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
            const std::filesystem::path& workingDir);
  // Watched programs by process id, with their exit code once they have been reaped.
  std::map<int, std::optional<int>> watched_;
};

}  // namespace zorvik::cli
