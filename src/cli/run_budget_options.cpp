#include "run_budget_options.hpp"

#include "option_values.hpp"

namespace zorvik::cli {
namespace {

constexpr long long kMegabyte = 1LL << 20;

// A megabyte count up to a terabyte: more than any machine gives a run anyway.
std::optional<long long> megabytes(const std::string& text) { return wholeNumber(text, 1, 1LL << 20); }
std::optional<long long> steps(const std::string& text) { return wholeNumber(text, 1, 1'000'000'000'000'000LL); }
std::optional<long long> seconds(const std::string& text) { return wholeNumber(text, 1, 86'400); }

const OptionKind<long long> kStepsOption{steps, "ist keine ganze Zahl von Schritten zwischen 1 und 10^18"};
const OptionKind<long long> kMegabytesOption{megabytes, "ist keine ganze Zahl von Megabyte zwischen 1 und 1048576"};
const OptionKind<long long> kSecondsOption{seconds, "ist keine ganze Zahl von Sekunden zwischen 1 und 86400"};

}  // namespace

bool isBudgetOption(const std::string& option) {
  return option == "--max-steps" || option == "--max-memory" || option == "--max-log" || option == "--max-tick-seconds";
}

bool readBudgetOption(const std::string& option, const std::string& value, mql4::RunBudget& budget,
                      std::string& refusal, const LanguageTable* language) {
  long long read = 0;
  if (option == "--max-steps") return readOption(kStepsOption, option, value, budget.steps, refusal, language);
  if (option == "--max-memory") {
    if (!readOption(kMegabytesOption, option, value, read, refusal, language)) return false;
    budget.memoryBytes = read * kMegabyte;
    return true;
  }
  if (option == "--max-log") {
    if (!readOption(kMegabytesOption, option, value, read, refusal, language)) return false;
    budget.logBytes = read * kMegabyte;
    return true;
  }
  if (!readOption(kSecondsOption, option, value, read, refusal, language)) return false;
  budget.tickTime = std::chrono::seconds(read);
  return true;
}

}  // namespace zorvik::cli
