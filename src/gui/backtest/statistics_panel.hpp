#pragma once
// The statistics of a backtest as label and value, exactly as wide as its texts: the equity
// curve beside it takes the rest of the row.
#include <QTreeWidget>

namespace zorvik {

struct BacktestStatistics;
class Workspace;

class StatisticsPanel : public QTreeWidget {
 public:
  explicit StatisticsPanel(const Workspace& ws, QWidget* parent = nullptr);

  // Fills the figures anew; none leaves the panel empty.
  void showStatistics(const BacktestStatistics* statistics);
  // Every label and every value whole, at the panel's current font and style.
  void fitWidth();

 private:
  const Workspace& ws_;
};

}  // namespace zorvik
