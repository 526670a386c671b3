#include "backtest/statistics_panel.hpp"

#include <QHeaderView>
#include <QStyle>

#include <algorithm>
#include <array>

#include "backtest/backtest_report.hpp"
#include "backtest/backtest_result.hpp"
#include "workspace/workspace.hpp"
#include "qt_text.hpp"

namespace zorvik {

namespace {

// The figures of the statistics, in the order shown.
constexpr std::array<const char*, 17> kStatisticLabels{
    "Nettogewinn",     "Bruttogewinn",       "Bruttoverlust",        "Profitfaktor",
    "Trades",          "Gewonnen %",         "Durchschnittlicher Gewinn", "Durchschnittlicher Verlust",
    "Größter Gewinn",  "Größter Verlust",    "Maximaler Drawdown",   "Maximaler Drawdown %",
    "Erholungsfaktor", "Erwartungswert",     "Kommission",           "Swap",
    "Stop Outs"};

}  // namespace

StatisticsPanel::StatisticsPanel(const Workspace& ws, QWidget* parent) : QTreeWidget(parent), ws_(ws) {
  setObjectName(QStringLiteral("backtestStatistics"));
  setHeaderLabels({q(ws_.tr("Kennzahl")), q(ws_.tr("Wert"))});
  setRootIsDecorated(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  header()->setSectionResizeMode(QHeaderView::Fixed);
  header()->setStretchLastSection(false);
}

void StatisticsPanel::fitWidth() {
  // Every label and every value whole, with room for the vertical scroll bar a short page
  // needs: the value column is never the one that is cut. Room for a six-digit sum is there
  // before any run, so that the first result does not move the curve.
  const QFontMetrics metrics = fontMetrics();
  // The item's text margins, and a pixel each side for the rounding of the glyphs' extent.
  const int cellMargin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
  int label = header()->sectionSizeHint(0);
  for (const char* text : kStatisticLabels)
    label = std::max(label, metrics.horizontalAdvance(q(ws_.tr(text))) + cellMargin);
  int value = std::max(header()->sectionSizeHint(1), metrics.horizontalAdvance(QStringLiteral("-100000.00")) + cellMargin);
  for (QTreeWidgetItemIterator it(this); *it; ++it)
    value = std::max(value, metrics.horizontalAdvance((*it)->text(1)) + cellMargin);
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  setColumnWidth(0, label);
  setColumnWidth(1, value);
  setFixedWidth(label + value + scrollBar + 2 * frameWidth());
}

void StatisticsPanel::showStatistics(const BacktestStatistics* statistics) {
  clear();
  if (!statistics) {
    fitWidth();
    return;
  }
  const BacktestStatistics& s = *statistics;
  const auto money = [](double v) { return q(fixedNumber(v, 2)); };
  const auto maybe = [&](const std::optional<double>& v) { return v ? money(*v) : QStringLiteral("-"); };
  const std::array<QString, kStatisticLabels.size()> values{
      money(s.netProfit),        money(s.grossProfit), money(s.grossLoss),   maybe(s.profitFactor),
      QString::number(s.trades), maybe(s.wonPercent),  maybe(s.averageWin),  maybe(s.averageLoss),
      maybe(s.largestWin),       maybe(s.largestLoss), money(s.maxDrawdown), money(s.maxDrawdownPercent),
      maybe(s.recoveryFactor),   maybe(s.expectancy),  money(s.totalCommission), money(s.totalSwap),
      QString::number(s.stopOuts)};
  for (std::size_t i = 0; i < values.size(); ++i) {
    auto* item = new QTreeWidgetItem(this, {q(ws_.tr(kStatisticLabels[i])), values[i]});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
  if (s.stopOuts > 0) {
    QTreeWidgetItem* stopOuts = topLevelItem(topLevelItemCount() - 1);
    for (int c : {0, 1}) stopOuts->setForeground(c, QColor(0xb0, 0x20, 0x20));
  }
  fitWidth();
}

}  // namespace zorvik
