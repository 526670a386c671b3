#include "run_budget_options.hpp"

#include "option_values.hpp"

namespace zorvik::cli {
namespace {

constexpr long long kMegabyte = 1LL << 20;

// A megabyte count up to a terabyte: more than any machine gives a run anyway.
std::optional<long long> megabytes(const std::string& text) { return wholeNumber(text, 1, 1LL << 20); }
std::optional<long long> steps(const std::string& text) { return wholeNumber(text, 1, 1'000'000'000'000'000LL); }
std::optional<long long> seconds(const std::string& text) { return wholeNumber(text, 1, 86'400); }

const OptionKind<long long> kStepsOption{steps, "a whole number of steps from 1 to 10^18"};
const OptionKind<long long> kMegabytesOption{megabytes, "a whole number of megabytes from 1 to 1048576"};
const OptionKind<long long> kSecondsOption{seconds, "a whole number of seconds from 1 to 86400"};

}  // namespace

bool isBudgetOption(const std::string& option) {
  return option == "--max-steps" || option == "--max-memory" || option == "--max-log" || option == "--max-tick-seconds";
}

bool readBudgetOption(const std::string& option, const std::string& value, mql4::RunBudget& budget,
                      std::string& refusal) {
  long long read = 0;
  if (option == "--max-steps") return readOption(kStepsOption, option, value, budget.steps, refusal);
  if (option == "--max-memory") {
    if (!readOption(kMegabytesOption, option, value, read, refusal)) return false;
    budget.memoryBytes = read * kMegabyte;
    return true;
  }
  if (option == "--max-log") {
    if (!readOption(kMegabytesOption, option, value, read, refusal)) return false;
    budget.logBytes = read * kMegabyte;
    return true;
  }
  if (!readOption(kSecondsOption, option, value, read, refusal)) return false;
  budget.tickTime = std::chrono::seconds(read);
  return true;
}

}  // namespace zorvik::cli
