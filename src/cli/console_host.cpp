#include "console_host.hpp"

#include <cstdlib>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zorvik::cli {

void ConsoleHost::message(const std::string& text) { std::cerr << text << "\n"; }

bool ConsoleHost::askYesNo(const std::string& text) {
  std::cerr << text;
  if (assumeYes) {
    std::cerr << " [yes]\n";
    return true;
  }
  if (!::isatty(STDIN_FILENO)) {
    std::cerr << " [no: not asked without a terminal; use --yes]\n";
    return false;
  }
  std::cerr << " (j/n) ";
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'j' || answer[0] == 'J' || answer[0] == 'y' || answer[0] == 'Y');
}

std::optional<std::string> ConsoleHost::inputBox(const std::string& prompt, const std::string&,
                                                 const std::string& defaultText) {
  if (!::isatty(STDIN_FILENO)) return defaultText;
  std::cerr << prompt << " [" << defaultText << "] ";
  std::string answer;
  if (!std::getline(std::cin, answer)) return std::nullopt;
  return answer.empty() ? defaultText : answer;
}

// Numbered entries on the terminal; an empty answer takes the preselected one. Without a
// terminal (or with --yes) the preselected entry is taken, unless the choice may be cancelled,
// in which case nothing is chosen: a script must never change a system by a guess.
std::optional<int> ConsoleHost::chooseItem(const std::string& title, const std::string& label,
                                           const std::vector<std::string>& items, int selected, bool cancellable) {
  if (items.empty()) return std::nullopt;
  if (selected < 0 || selected >= static_cast<int>(items.size())) selected = 0;
  if (assumeYes || !::isatty(STDIN_FILENO)) {
    if (cancellable) return std::nullopt;
    return selected;
  }
  if (!title.empty()) std::cerr << title << "\n";
  if (!label.empty()) std::cerr << label << "\n";
  for (std::size_t i = 0; i < items.size(); ++i) std::cerr << "  " << i + 1 << ". " << items[i] << "\n";
  for (;;) {
    std::cerr << "[" << selected + 1 << "]" << (cancellable ? " (0 = cancel)" : "") << " ";
    std::string answer;
    if (!std::getline(std::cin, answer)) return cancellable ? std::nullopt : std::optional<int>(selected);
    if (answer.empty()) return selected;
    char* end = nullptr;
    const long n = std::strtol(answer.c_str(), &end, 10);
    if (end && *end == '\0') {
      if (n == 0 && cancellable) return std::nullopt;
      if (n >= 1 && n <= static_cast<long>(items.size())) return static_cast<int>(n - 1);
    }
  }
}

std::string ConsoleHost::chooseSystemName(const std::string& caption) {
  if (!::isatty(STDIN_FILENO)) return {};
  std::cerr << caption << " (ohne " << kRefusedSystemNameCharacters << "): ";
  std::string answer;
  if (!std::getline(std::cin, answer)) return {};
  return withoutRefusedNameCharacters(answer);
}

void ConsoleHost::status(const std::string&) {}

void ConsoleHost::deferredMessage(const std::string& text) { message(text); }

int ConsoleHost::spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
                       const std::filesystem::path& workingDir) {
  std::vector<std::string> argv{program.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
  // Our standard output carries the command's results (file names for scripts); whatever a
  // started program prints goes to the diagnostics instead.
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, cargv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? static_cast<int>(pid) : 0;
}

bool ConsoleHost::startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                               const std::filesystem::path& workingDir) {
  return spawn(program, args, workingDir) != 0;
}

int ConsoleHost::startWatchedProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                                     const std::filesystem::path& workingDir) {
  const int pid = spawn(program, args, workingDir);
  if (pid != 0) watched_[pid] = std::nullopt;
  return pid;
}

namespace {
int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
}  // namespace

std::optional<int> ConsoleHost::programExitCode(int handle) {
  auto it = watched_.find(handle);
  if (it == watched_.end()) return std::nullopt;
  if (!it->second) {
    int status = 0;
    if (::waitpid(handle, &status, WNOHANG) == handle) it->second = exitCodeOf(status);
  }
  return it->second;
}

void ConsoleHost::processEvents(std::chrono::milliseconds forAtMost) {
  // Reap finished children so they do not linger as zombies while we wait on their output;
  // a watched child keeps its exit code for programExitCode.
  int status = 0;
  pid_t pid = 0;
  while ((pid = ::waitpid(-1, &status, WNOHANG)) > 0) {
    if (auto it = watched_.find(pid); it != watched_.end()) it->second = exitCodeOf(status);
  }
  std::this_thread::sleep_for(forAtMost);
}

}  // namespace zorvik::cli
