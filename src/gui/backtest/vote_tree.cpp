#include "backtest/vote_tree.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "backtest/backtest_job.hpp"
#include "market/history_files.hpp"
#include "workspace/workspace.hpp"
#include "qt_text.hpp"

namespace zorvik {

VoteTree::VoteTree(const Workspace& ws, QWidget* parent) : QTreeWidget(parent), ws_(ws) {
  setObjectName(QStringLiteral("backtestVotes"));
  setHeaderLabels({q(ws_.tr("Signal")), q(ws_.tr("ausgelöst")), q(ws_.tr("Punkte")), q(ws_.tr("Werte"))});
  setMinimumWidth(180);
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
                                                   q(historyTimeText(outcome->history->time[bar]))});
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
        QStringList operands;
        for (double o : v.operands)
          if (!std::isnan(o)) operands << QString::number(o, 'g', 8);
        QString name = QStringLiteral("#") + QString::number(v.position) + QStringLiteral(" ") + q(v.type);
        if (!v.comment.empty()) name += QStringLiteral(" (") + q(v.comment) + QStringLiteral(")");
        auto* item = new QTreeWidgetItem(groupItem, {name, v.counts ? (v.fired ? yes : no) : t("kein Signal"),
                                                     QString::number(v.points, 'g', 6), operands.join(QStringLiteral("; "))});
        if (v.fired) item->setForeground(1, QColor(0x2e, 0xa0, 0x43));
        // The columns outgrow a narrow tree: the row's tool tip says all of it.
        const QString whole = name + QStringLiteral("\n") + headerItem()->text(1) + QStringLiteral(": ") +
                              item->text(1) + QStringLiteral("\n") + headerItem()->text(2) + QStringLiteral(": ") +
                              item->text(2) +
                              (operands.isEmpty() ? QString()
                                                  : QStringLiteral("\n") + headerItem()->text(3) +
                                                        QStringLiteral(": ") + item->text(3));
        for (int c = 0; c < columnCount(); ++c) item->setToolTip(c, whole);
      }
    }
  }
  for (int c = 0; c < columnCount(); ++c) resizeColumnToContents(c);
}

}  // namespace zorvik
