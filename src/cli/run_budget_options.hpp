#pragma once
// The options that set the interpreter's budgets for run-mq4: how far a runaway Expert Advisor
// may go before it is stopped.
//   --max-steps N          user calls and loop turns in the whole run
//   --max-memory MB        arrays and strings held at one time
//   --max-log MB           the log written with --log
//   --max-tick-seconds S   wall time of one call of init(), start() or deinit()
#include <string>

#include "mql4/interpreter.hpp"
#include "rules/refusals.hpp"

namespace zorvik::cli {

// The usage text of these options, for the command's help line.
inline constexpr const char* kBudgetOptionsUsage =
    "[--max-steps N] [--max-memory MB] [--max-log MB] [--max-tick-seconds S]";

bool isBudgetOption(const std::string& option);

// Reads a budget option's value into the budget; false, with the sentence that refuses it in
// `refusal`, when the value is not of the kind.
bool readBudgetOption(const std::string& option, const std::string& value, mql4::RunBudget& budget,
                      std::string& refusal, const LanguageTable* language = nullptr);

}  // namespace zorvik::cli
