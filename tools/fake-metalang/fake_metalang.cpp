// fake-metalang: a stand-in for MetaTrader 4's command-line compiler, for tests and for trying
// the program without a terminal.
//
//   fake-metalang SOURCE.mq4                       like metalang.exe
//   fake-metalang /compile:SOURCE.mq4 [/log[:FILE]] like metaeditor.exe
//
// It checks that the source is complete: braces and parentheses balance (outside strings and
// comments), every function of a generated Expert Advisor is defined, and no "=" or
// comparison stands without a value. Then it writes SOURCE.ex4 next to the source; with /log
// it writes SOURCE.log (UTF-16 with byte order mark, as MetaEditor does) in the same folder
// or in FILE. Errors also go to stdout. Exit status: 0 compiled, 1 errors, 2 usage.
//
// It can be told to misbehave, by environment variables or by a file named like the program
// plus ".cfg" (for "res/metalang.exe" that is "res/metalang.exe.cfg") holding key=value
// lines; the environment wins:
//   FAKE_METALANG_DELAY_MS / delay_ms=N   wait N milliseconds before compiling
//   FAKE_METALANG_WAIT_FOR / wait_for=F   wait until file F exists (at most 60 s) first
//   FAKE_METALANG_FAIL     / fail=1       report an error and write no output
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Error {
  int line = 0;
  int col = 0;
  std::string text;
};

// The functions every generated Expert Advisor defines, with their return types.
const std::vector<std::pair<std::string, std::string>> kFunctions = {
    {"void", "checkStoplevels"},      {"int", "init"},
    {"int", "deinit"},                {"double", "normalize_lots"},
    {"int", "is_long"},               {"int", "is_short"},
    {"int", "check_long_entries"},    {"int", "check_short_entries"},
    {"int", "check_long_exits"},      {"int", "check_short_exits"},
    {"void", "meldeOrderFehler"},     {"void", "enter_long"},
    {"void", "enter_short"},          {"void", "exit_long"},
    {"void", "exit_short"},           {"void", "trail_sl"},
    {"int", "start"},                 {"string", "ErrCode"},
    {"void", "showHistory"},          {"double", "getTotalLots"},
};

bool istartsWith(const std::string& s, const std::string& prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

std::string unquote(std::string s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

// The source with the contents of strings, character literals and comments blanked out, so
// that brackets and "=" inside them do not count. Line breaks stay where they were.
std::string codeOnly(const std::string& src) {
  std::string out = src;
  std::size_t i = 0;
  const std::size_t n = src.size();
  auto blank = [&](std::size_t k) {
    if (out[k] != '\n' && out[k] != '\r') out[k] = ' ';
  };
  while (i < n) {
    const char c = src[i];
    if (c == '/' && i + 1 < n && src[i + 1] == '/') {
      while (i < n && src[i] != '\n') blank(i++);
    } else if (c == '/' && i + 1 < n && src[i + 1] == '*') {
      blank(i++);
      blank(i++);
      while (i < n && !(src[i] == '*' && i + 1 < n && src[i + 1] == '/')) blank(i++);
      if (i < n) {
        blank(i++);
        blank(i++);
      }
    } else if (c == '"' || c == '\'') {
      ++i;  // the opening quote stays, so an empty string still reads as a value
      while (i < n && src[i] != c && src[i] != '\n') {
        if (src[i] == '\\' && i + 1 < n) blank(i++);
        blank(i++);
      }
      if (i < n && src[i] == c) ++i;
    } else {
      ++i;
    }
  }
  return out;
}

void position(const std::string& text, std::size_t at, int& line, int& col) {
  line = 1;
  col = 1;
  for (std::size_t i = 0; i < at && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      col = 1;
    } else {
      ++col;
    }
  }
}

std::vector<Error> check(const std::string& src) {
  std::vector<Error> errors;
  const std::string code = codeOnly(src);
  auto add = [&](std::size_t at, std::string text) {
    Error e;
    position(code, at, e.line, e.col);
    e.text = std::move(text);
    errors.push_back(std::move(e));
  };

  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '{' || c == '(') {
      open.push_back(i);
    } else if (c == '}' || c == ')') {
      const char want = c == '}' ? '{' : '(';
      if (open.empty() || code[open.back()] != want) {
        add(i, std::string("unexpected '") + c + "'");
        if (!open.empty() && code[open.back()] != want) open.pop_back();
      } else {
        open.pop_back();
      }
    }
  }
  for (std::size_t at : open) add(at, std::string("'") + code[at] + "' is not closed");

  for (const auto& [type, name] : kFunctions) {
    const std::regex definition("\\b" + type + "\\s+" + name + "\\s*\\(");
    if (!std::regex_search(code, definition)) add(0, "function '" + name + "' is missing");
  }

  // "=", "==", "!=", "<=", ">=" need something on their right.
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] != '=') continue;
    std::size_t end = i + 1;
    if (end < code.size() && code[end] == '=') ++end;
    const bool compound = i > 0 && std::string("+-*/%&|^").find(code[i - 1]) != std::string::npos;
    std::size_t k = end;
    while (k < code.size() && (code[k] == ' ' || code[k] == '\t' || code[k] == '\r' || code[k] == '\n')) ++k;
    const std::size_t from = i > 0 && std::string("!<>").find(code[i - 1]) != std::string::npos ? i - 1 : i;
    if (!compound && (k == code.size() || code[k] == ';' || code[k] == ')' || code[k] == ',' || code[k] == '}'))
      add(i, "value expected after '" + code.substr(from, end - from) + "'");
    i = end - 1;
  }
  return errors;
}

std::map<std::string, std::string> readConfig(const fs::path& program) {
  std::map<std::string, std::string> cfg;
  std::ifstream in(program.string() + ".cfg");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq == std::string::npos || line[0] == '#') continue;
    cfg[line.substr(0, eq)] = line.substr(eq + 1);
  }
  const std::pair<const char*, const char*> env[] = {
      {"FAKE_METALANG_DELAY_MS", "delay_ms"}, {"FAKE_METALANG_WAIT_FOR", "wait_for"}, {"FAKE_METALANG_FAIL", "fail"}};
  for (const auto& [var, key] : env)
    if (const char* v = std::getenv(var)) cfg[key] = v;
  return cfg;
}

fs::path programPath(const char* argv0) {
  // Tests start the program through a link named like the compiler; the link's name finds the
  // configuration beside it, so argv[0] comes first.
  if (argv0 && std::string(argv0).find('/') != std::string::npos) return fs::path(argv0);
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path(argv0 ? argv0 : "fake-metalang") : self;
}

void writeLog(const fs::path& log, const std::vector<std::string>& lines) {
  std::string bytes = "\xFF\xFE";
  for (const auto& line : lines) {
    for (unsigned char c : line + "\r\n") {
      bytes += static_cast<char>(c);  // the messages are ASCII
      bytes += '\0';
    }
  }
  std::ofstream(log, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path source;
  fs::path log;
  bool wantLog = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (istartsWith(arg, "/compile:")) {
      source = unquote(arg.substr(9));
    } else if (istartsWith(arg, "/log:")) {
      wantLog = true;
      log = unquote(arg.substr(5));
    } else if (istartsWith(arg, "/log")) {
      wantLog = true;
    } else if (istartsWith(arg, "/inc:") || istartsWith(arg, "/s")) {
      // accepted and ignored, as options of the real editor
    } else {
      source = arg;
    }
  }
  if (source.empty()) {
    std::cerr << "usage: fake-metalang SOURCE.mq4 | /compile:SOURCE.mq4 [/log[:FILE]]\n";
    return 2;
  }
  if (wantLog && log.empty()) log = fs::path(source).replace_extension(".log");

  // Like a real compiler, read the source first and take the time afterwards: the caller may
  // remove the source while a slow compiler is still busy.
  std::vector<Error> errors;
  std::ifstream in(source, std::ios::binary);
  std::stringstream text;
  if (!in) {
    errors.push_back({0, 0, "cannot open the source"});
  } else {
    text << in.rdbuf();
    errors = check(text.str());
  }

  const auto cfg = readConfig(programPath(argc > 0 ? argv[0] : nullptr));
  if (auto it = cfg.find("wait_for"); it != cfg.end() && !it->second.empty()) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(it->second) && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (auto it = cfg.find("delay_ms"); it != cfg.end())
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(it->second.c_str())));
  if (auto it = cfg.find("fail"); it != cfg.end() && it->second == "1") errors.push_back({0, 0, "failing on request"});

  std::vector<std::string> lines;
  for (std::size_t i = 0; i < errors.size(); ++i) {
    const Error& e = errors[i];
    lines.push_back(source.string() + "(" + std::to_string(e.line) + "," + std::to_string(e.col) + ") : error " +
                    std::to_string(i + 1) + ": " + e.text);
  }
  lines.push_back("Result: " + std::to_string(errors.size()) + " error(s), 0 warning(s)");
  for (const auto& l : lines) std::cout << l << "\n";
  if (wantLog) writeLog(log, lines);
  if (!errors.empty()) return 1;

  std::ofstream out(fs::path(source).replace_extension(".ex4"), std::ios::binary | std::ios::trunc);
  out << "FAKE-EX4 " << source.filename().string() << "\n" << text.str();
  return out ? 0 : 1;
}
