#pragma once
// The trades of a backtest as a table: one row per trade, a click on a header sorts by the
// column's value (not its text), and the row remembers which trade of the result it shows.
#include <QTableView>

#include <cstddef>
#include <optional>

class QStandardItemModel;

namespace zorvik {

struct BacktestResult;
class Workspace;

class TradeTable : public QTableView {
 public:
  explicit TradeTable(const Workspace& ws, QWidget* parent = nullptr);

  QStandardItemModel* tradeModel() const { return model_; }
  // Fills the rows anew, sorted by ticket; no result empties the table.
  void showTrades(const BacktestResult* result);

  // The ticket of the selected row, 0 when none is selected.
  qulonglong selectedTicket() const;
  // Selects and shows the row of the ticket, or the first row when no row has it.
  void selectTicketOrFirst(qulonglong ticket);
  // The index in the result of the trade selected, and the shown reason of its close.
  std::optional<std::size_t> selectedTrade() const;
  QString selectedCloseReason() const;

 private:
  const Workspace& ws_;
  QStandardItemModel* model_ = nullptr;
};

}  // namespace zorvik
