// "history FILE | --list | --demo": price history as the backtest will read it.
//   FILE    reads the whole file (every bar checked) and describes it
//   --list  the demo history and the .hst files below the MetaTrader folders
//   --demo  writes the synthetic demo history into the working folder
#include <cstdlib>
#include <iostream>

#include "command.hpp"
#include "market/demo_history.hpp"
#include "market/history_files.hpp"
#include "market/timeframes.hpp"
#include "option_values.hpp"
#include "terminal/history_listing.hpp"
#include "text/numbers.hpp"

namespace zorvik::cli {
namespace {

int describe(const std::vector<std::string>& args) {
  CsvHistoryOptions options;
  for (std::size_t i = 1; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return kUsage;
    const std::string& option = args[i];
    const std::string& value = args[i + 1];
    // A value that is not of its kind is a usage error, like an unknown option.
    std::string refusal;
    bool read = false;
    if (option == "--symbol") {
      read = !value.empty();
      options.symbol = value;
    } else if (option == "--timeframe") read = readOption(kMinutesOption, option, value, options.timeframeMinutes, refusal);
    else if (option == "--digits") read = readOption(kDigitsOption, option, value, options.digits, refusal);
    if (!read) return kUsage;
  }
  const HistoryRead read = readHistoryFile(args[0], options);
  if (!read.ok()) {
    std::cerr << read.error->message() << "\n";
    return kFailed;
  }
  const BarSeries& s = read.series;
  std::cout << "file\t" << args[0] << "\n"
            << "format\t" << historyFormatName(read.format) << "\n"
            << "symbol\t" << s.symbol << "\n"
            << "timeframe\t" << timeframeName(s.timeframeMinutes) << "\n"
            << "digits\t" << s.digits << "\n"
            << "bars\t" << s.size() << "\n"
            << "first\t" << historyTimeText(s.time.front()) << "\n"
            << "last\t" << historyTimeText(s.time.back()) << "\n";
  return kDone;
}

int list(const Workspace& ws) {
  const char* home = std::getenv("HOME");
  const auto folders = metatraderFoldersToSearch(ws.settings.metatraderFolder, home ? home : "");
  const auto files = listHistoryFiles(folders, ws.root());
  if (files.empty()) std::cerr << "no history files found\n";
  bool allRead = true;
  for (const HistoryFileInfo& f : files) {
    if (!f.error.empty()) {
      // Listed all the same, so that the trader sees which file is damaged.
      std::cout << f.server << "\t?\t?\t?\t?\t?\t?\t" << f.path.string() << "\n";
      std::cerr << f.path.string() << ": " << f.error << "\n";
      allRead = false;
      continue;
    }
    std::cout << f.server << "\t" << f.symbol << "\t" << timeframeName(f.timeframeMinutes) << "\t" << f.bars << "\t"
              << historyTimeText(f.firstTime) << "\t" << historyTimeText(f.lastTime) << "\t"
              << historyFormatName(f.format) << "\t" << f.path.string() << "\n";
  }
  return allRead ? kDone : kFailed;
}

int writeDemo(const Workspace& ws) {
  const auto path = demoHistoryPath(ws.root());
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::string error;
  if (!writeHistoryFile(path, makeDemoHistory(), HistoryFormat::Hst401, &error)) {
    std::cerr << path.string() << ": " << error << "\n";
    return kFailed;
  }
  std::cout << path.string() << "\n";
  return kDone;
}

int runHistory(Context& ctx) {
  const auto& args = ctx.args;
  if (args.empty()) return kUsage;
  if (args[0] == "--list") return args.size() == 1 ? list(ctx.ws) : kUsage;
  if (args[0] == "--demo") return args.size() == 1 ? writeDemo(ctx.ws) : kUsage;
  if (args[0].starts_with("-")) return kUsage;
  return describe(args);
}

}  // namespace

Command historyCommand() {
  return {"history", "history (FILE [--symbol S] [--timeframe MIN] [--digits N] | --list | --demo)",
          "describe a price history file, list the history found, or write the demo history",
          runHistory};
}

}  // namespace zorvik::cli
