#include "backtest/vote_tree.hpp"

#include <QHeaderView>

#include <algorithm>
#include <array>
#include <cmath>

#include "backtest/backtest_job.hpp"
#include "backtest/trader_times.hpp"
#include "workspace/workspace.hpp"
#include "qt_text.hpp"

namespace zorvik {

VoteTree::VoteTree(const Workspace& ws, QWidget* parent) : QTreeWidget(parent), ws_(ws) {
  setObjectName(QStringLiteral("backtestVotes"));
  setHeaderLabels({q(ws_.tr("Signal")), q(ws_.tr("ausgelöst")), q(ws_.tr("Punkte"))});
  setMinimumWidth(180);
  // The decision columns keep their width; the names give way (their tool tips say all), so
  // that a narrow tree shows whether a signal fired without scrolling sideways.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Stretch);
  header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  setTextElideMode(Qt::ElideMiddle);
}

QStringList VoteTree::valueTexts(const std::array<double, 4>& operands) const {
  // The operands are the indicator's value and what it is compared with (another line or a
  // level), at the checked bar and at the bar before it.
  const auto number = [](double v) { return QString::number(v, 'g', 8); };
  QStringList rows;
  for (std::size_t at : {0, 2}) {
    QStringList parts;
    if (!std::isnan(operands[at])) parts << q(ws_.tr("Wert")) + QStringLiteral(" ") + number(operands[at]);
    if (!std::isnan(operands[at + 1])) parts << q(ws_.tr("Vergleich")) + QStringLiteral(" ") + number(operands[at + 1]);
    if (parts.isEmpty()) continue;
    rows << (at == 0 ? q(ws_.tr("Diese Bar:")) : q(ws_.tr("Bar davor:"))) + QStringLiteral(" ") +
                parts.join(QStringLiteral(", "));
  }
  return rows;
}

void VoteTree::showVotes(const BacktestOutcome* outcome, const std::vector<std::pair<QString, std::size_t>>& bars,
                         int highlightGroup) {
  clear();
  if (!outcome || !outcome->backtest) return;
  static constexpr std::array<const char*, 4> kGroupNames{"Einstieg Long", "Ausstieg Long", "Einstieg Short",
                                                          "Ausstieg Short"};
  const auto t = [this](const char* german) { return q(ws_.tr(german)); };
  const QString yes = t("ja");
  const QString no = t("nein");
  for (std::size_t b = 0; b < bars.size(); ++b) {
    const std::size_t bar = bars[b].second;
    const BarVotes votes = outcome->backtest->votes(bar);
    auto* barItem = new QTreeWidgetItem(this, {bars[b].first + QStringLiteral(": ") +
                                                   traderTime(ws_, outcome->history->time[bar])});
    barItem->setFirstColumnSpanned(true);
    barItem->setExpanded(true);
    for (const GroupVote& g : votes.groups) {
      const QString sum = t("Summe") + QStringLiteral(" ") + QString::number(g.sum) + QStringLiteral(" / ") +
                          t("Schwelle") + QStringLiteral(" ") + QString::number(g.threshold);
      auto* groupItem = new QTreeWidgetItem(
          barItem, {t(kGroupNames[static_cast<std::size_t>(std::clamp(g.group, 1, 4) - 1)]), g.fires ? yes : no, sum});
      QFont bold = groupItem->font(0);
      bold.setBold(true);
      groupItem->setFont(0, bold);
      // Entry bar: the entry group of the trade's side; exit bar: its exit group; a picked bar: all.
      const int wanted = highlightGroup == 0 ? g.group : highlightGroup + static_cast<int>(b);
      groupItem->setExpanded(g.group == wanted);
      for (const IndicatorVote& v : g.indicators) {
        QString name = QStringLiteral("#") + QString::number(v.position) + QStringLiteral(" ") + q(v.type);
        if (!v.comment.empty()) name += QStringLiteral(" (") + q(v.comment) + QStringLiteral(")");
        auto* item = new QTreeWidgetItem(groupItem, {name, v.counts ? (v.fired ? yes : no) : t("kein Signal"),
                                                     QString::number(v.points, 'g', 6)});
        if (v.fired) item->setForeground(1, QColor(0x2e, 0xa0, 0x43));
        // The compared values in rows of their own under the vote, named: one row for the
        // checked bar, one for the bar before it, so that the tree needs no sideways scrolling.
        const QStringList valueRows = valueTexts(v.operands);
        for (const QString& values : valueRows) {
          auto* valueItem = new QTreeWidgetItem(item, {values});
          valueItem->setFirstColumnSpanned(true);
          valueItem->setForeground(0, palette().color(QPalette::PlaceholderText));
        }
        item->setExpanded(true);
        // A narrow tree may still cut the name: the row's tool tip says all of it.
        QString whole = name + QStringLiteral("\n") + headerItem()->text(1) + QStringLiteral(": ") + item->text(1) +
                        QStringLiteral("\n") + headerItem()->text(2) + QStringLiteral(": ") + item->text(2);
        for (const QString& values : valueRows) whole += QStringLiteral("\n") + values;
        for (int c = 0; c < columnCount(); ++c) item->setToolTip(c, whole);
      }
    }
  }
}

}  // namespace zorvik
