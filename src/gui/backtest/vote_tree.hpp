#pragma once
// Why the groups of a backtest fired or not at a bar: per bar the four signal groups with their
// sum against the threshold, and below each group the vote of every indicator with its named
// values.
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace zorvik {

struct BacktestOutcome;
class Workspace;

class VoteTree : public QTreeWidget {
 public:
  explicit VoteTree(const Workspace& ws, QWidget* parent = nullptr);

  // Shows each bar under its caption; highlightGroup 0 opens every group, 1 to 4 opens that
  // group at the first bar and the next one at the second (a trade's entry and exit group).
  // Without an outcome that can explain its bars the tree stays empty.
  void showVotes(const BacktestOutcome* outcome, const std::vector<std::pair<QString, std::size_t>>& bars,
                 int highlightGroup);

 private:
  // The compared values k1, l1 (this bar) and k2, l2 (the bar before), named; NaN left out.
  QStringList valueTexts(const std::array<double, 4>& operands) const;

  const Workspace& ws_;
};

}  // namespace zorvik
