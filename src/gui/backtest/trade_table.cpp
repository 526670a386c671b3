#include "backtest/trade_table.hpp"

#include <QHeaderView>
#include <QStandardItemModel>

#include "backtest/backtest_report.hpp"
#include "backtest/backtest_result.hpp"
#include "backtest/trader_times.hpp"
#include "workspace/workspace.hpp"
#include "qt_text.hpp"

namespace zorvik {

namespace {

enum TradeColumn { kTicket, kType, kLots, kOpenTime, kOpenPrice, kCloseTime, kClosePrice, kStopLoss, kTakeProfit,
                   kProfit, kCommission, kSwap, kResult, kReason, kTradeColumns };
// The trade's index in the result, kept in the first column of its row (rows get sorted).
constexpr int kTradeIndexRole = Qt::UserRole + 1;

// Sorting goes by Qt::UserRole: numbers and times as numbers, not as their texts.
QStandardItem* cell(const QString& text, const QVariant& sortValue) {
  auto* item = new QStandardItem(text);
  item->setData(sortValue, Qt::UserRole);
  item->setEditable(false);
  return item;
}

const char* reasonText(CloseReason reason) {
  switch (reason) {
    case CloseReason::Signal: return "Signal";
    case CloseReason::StopLoss: return "Stop Loss";
    case CloseReason::TakeProfit: return "Take Profit";
    case CloseReason::Hedge: return "Gegenposition";
    case CloseReason::EndOfTest: return "Testende";
    case CloseReason::StopOut: return "Stop Out";
  }
  return "Signal";
}

}  // namespace

TradeTable::TradeTable(const Workspace& ws, QWidget* parent) : QTableView(parent), ws_(ws) {
  const auto t = [&ws](const char* german) { return q(ws.tr(german)); };
  model_ = new QStandardItemModel(0, kTradeColumns, this);
  model_->setHorizontalHeaderLabels({t("Ticket"), t("Typ"), t("Lots"), t("Eröffnet"), t("Kurs"), t("Geschlossen"),
                                     t("Kurs"), t("SL"), t("TP"), t("Gewinn"), t("Kommission"), t("Swap"),
                                     t("Ergebnis"), t("Grund")});
  model_->setSortRole(Qt::UserRole);
  setObjectName(QStringLiteral("backtestTrades"));
  setModel(model_);
  setSortingEnabled(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  setMinimumHeight(90);
  setToolTip(t("Alle Trades des Tests; ein Klick zeigt die Kurse um den Trade und warum er eröffnet und geschlossen wurde"));
}

void TradeTable::showTrades(const BacktestResult* result) {
  setSortingEnabled(false);
  model_->removeRows(0, model_->rowCount());
  if (!result) return;
  const BacktestResult& r = *result;
  const auto t = [this](const char* german) { return q(ws_.tr(german)); };
  const auto price = [&](double v) { return v == 0 ? QString() : q(fixedNumber(v, r.digits)); };
  const auto time = [this](std::int64_t v) { return traderTime(ws_, v); };
  const auto money = [](double v) { return q(fixedNumber(v, 2)); };
  for (std::size_t i = 0; i < r.trades.size(); ++i) {
    const Trade& tr = r.trades[i];
    QList<QStandardItem*> row{
        cell(QString::number(tr.ticket), tr.ticket),
        cell(t(tr.type == TradeType::Buy ? "Kauf" : "Verkauf"), static_cast<int>(tr.type)),
        cell(q(fixedNumber(tr.lots, 2)), tr.lots),
        cell(time(tr.openTime), static_cast<qlonglong>(tr.openTime)),
        cell(price(tr.openPrice), tr.openPrice),
        cell(time(tr.closeTime), static_cast<qlonglong>(tr.closeTime)),
        cell(price(tr.closePrice), tr.closePrice),
        cell(price(tr.stopLoss), tr.stopLoss),
        cell(price(tr.takeProfit), tr.takeProfit),
        cell(money(tr.profit), tr.profit),
        cell(money(tr.commission), tr.commission),
        cell(money(tr.swap), tr.swap),
        cell(money(tr.result()), tr.result()),
        cell(t(reasonText(tr.reason)), static_cast<int>(tr.reason)),
    };
    row[0]->setData(static_cast<qulonglong>(i), kTradeIndexRole);
    for (int c : {kTicket, kLots, kOpenPrice, kClosePrice, kStopLoss, kTakeProfit, kProfit, kCommission, kSwap, kResult})
      row[c]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int c : {kProfit, kCommission, kSwap, kResult})
      if (row[c]->data(Qt::UserRole).toDouble() < 0) row[c]->setForeground(QColor(0xb0, 0x20, 0x20));
    QFont bold = row[kResult]->font();
    bold.setBold(true);
    row[kResult]->setFont(bold);
    if (tr.reason == CloseReason::StopOut) {
      // The account's forced close stands out from the trader's own exits in the whole row.
      for (QStandardItem* item : row) item->setBackground(QColor(0xf8, 0xd0, 0xd0));
      row[kReason]->setFont(bold);
      row[kReason]->setToolTip(t("Die Position wurde geschlossen, weil die Equity unter das Stop-Out-Niveau der Margin fiel"));
    }
    model_->appendRow(row);
  }
  setSortingEnabled(true);
  sortByColumn(kTicket, Qt::AscendingOrder);
}

qulonglong TradeTable::selectedTicket() const {
  const QModelIndexList rows = selectionModel()->selectedRows(kTicket);
  return rows.isEmpty() ? 0 : rows.front().data(Qt::UserRole).toULongLong();
}

void TradeTable::selectTicketOrFirst(qulonglong ticket) {
  if (model_->rowCount() == 0) return;
  int row = 0;
  for (int r = 0; r < model_->rowCount() && ticket != 0; ++r)
    if (model_->item(r, kTicket)->data(Qt::UserRole).toULongLong() == ticket) row = r;
  selectRow(row);
  scrollTo(model_->index(row, kTicket));
}

std::optional<std::size_t> TradeTable::selectedTrade() const {
  const QModelIndexList rows = selectionModel()->selectedRows(kTicket);
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<std::size_t>(rows.front().data(kTradeIndexRole).toULongLong());
}

QString TradeTable::selectedCloseReason() const {
  const QModelIndexList rows = selectionModel()->selectedRows(kTicket);
  if (rows.isEmpty()) return QString();
  return model_->itemFromIndex(rows.front().siblingAtColumn(kReason))->text();
}

}  // namespace zorvik
