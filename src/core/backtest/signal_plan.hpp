#pragma once
// The votes of a system's four groups, evaluated on a history: every indicator of every group
// computed once over the whole history (and over the higher timeframes it reads, built from
// it), then compared as its rule says.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace zorvik {

struct BarSeries;
struct SystemRules;
class LanguageTable;

// One indicator's part in a check at one bar: what it compared and whether it added points.
struct IndicatorVote {
  int position = 0;  // 1-based in its group
  std::string type;
  std::string comment;
  bool counts = false;  // false: the rule has no test for this type and side, it never fires
  bool fired = false;
  double points = 0;    // the signal value it adds when it fires
  // The compared values k1, l1, k2, l2; NaN where not used or undefined.
  std::array<double, 4> operands{};
};

struct GroupVote {
  int group = 0;  // 1 entry long, 2 exit long, 3 entry short, 4 exit short
  std::vector<IndicatorVote> indicators;
  int sum = 0;        // the group's points after the last indicator
  int threshold = 0;  // points needed; 0 never fires
  bool fires = false;
};

// The check of all four groups at the first tick of one bar: the vote explanation.
struct BarVotes {
  std::size_t bar = 0;
  std::array<GroupVote, 4> groups;
};

class SignalPlan {
 public:
  // The plan, or why these rules cannot run on this history: an indicator on another symbol,
  // a timeframe that cannot be built from the history's, a parameter no indicator accepts.
  // The history must outlive the plan.
  static std::variant<SignalPlan, std::string> make(const SystemRules& rules, const BarSeries& history,
                                                   const LanguageTable* language = nullptr);

  SignalPlan(SignalPlan&&) noexcept;
  SignalPlan& operator=(SignalPlan&&) noexcept;
  ~SignalPlan();

  // Check bits per history bar (see expert_run.hpp) for the bars [first, end); others stay 0.
  std::vector<std::uint8_t> checks(std::size_t first, std::size_t end) const;
  // A bar beyond the history gets its groups' thresholds and no votes.
  BarVotes votes(std::size_t bar) const;

  struct Impl;

 private:
  explicit SignalPlan(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zorvik
