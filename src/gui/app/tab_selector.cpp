#include "app/tab_selector.hpp"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

namespace zorvik {

namespace {

// The arrangements tried, most readable first: rows, and the font as a share of the strip's own.
struct Arrangement {
  int rows;
  double fontScale;
};
constexpr std::array<Arrangement, 7> kArrangements{
    {{1, 1.0}, {2, 1.0}, {2, 0.93}, {3, 1.0}, {3, 0.93}, {3, 0.86}, {3, 0.8}}};
constexpr double kSmallestFontScale = 0.8;

// The first tab of each row for the fewest pixels in the widest row; tabs keep their order.
std::vector<int> balancedRows(const std::vector<int>& widths, int rows) {
  const int n = static_cast<int>(widths.size());
  std::vector<int> best;
  int bestWidest = std::numeric_limits<int>::max();
  std::vector<int> firsts(static_cast<std::size_t>(rows), 0);
  // Few tabs and at most three rows: every split is tried.
  const auto rowWidth = [&](int from, int to) {
    return std::accumulate(widths.begin() + from, widths.begin() + to, 0);
  };
  const auto tryFrom = [&](auto& self, int row, int from) -> void {
    firsts[static_cast<std::size_t>(row)] = from;
    if (row == rows - 1) {
      int widest = 0;
      for (int r = 0; r < rows; ++r) {
        const int to = r + 1 < rows ? firsts[static_cast<std::size_t>(r) + 1] : n;
        widest = std::max(widest, rowWidth(firsts[static_cast<std::size_t>(r)], to));
      }
      if (widest < bestWidest) {
        bestWidest = widest;
        best = firsts;
      }
      return;
    }
    for (int next = from + 1; next <= n - (rows - 1 - row); ++next) self(self, row + 1, next);
  };
  if (n >= rows) tryFrom(tryFrom, 0, 0);
  return best;
}

}  // namespace

TabSelector::TabSelector(QWidget* parent) : QTabBar(parent) {}

void TabSelector::setFontScale(double scale) {
  if (baseFontSize_ <= 0) baseFontSize_ = font().pointSizeF();
  QFont f = font();
  f.setPointSizeF(baseFontSize_ * scale);
  if (f != font()) setFont(f);
}

void TabSelector::fitTo(int width) {
  fittedWidth_ = width;
  for (const Arrangement& a : kArrangements) {
    setFontScale(a.fontScale);
    if (arrange(a.rows, width)) return;
  }
  // An area a few letters wide: one row that scrolls.
  setFontScale(kSmallestFontScale);
  arrange(1, width);
}

int TabSelector::oneRowMinimumWidth() {
  if (baseFontSize_ <= 0) baseFontSize_ = font().pointSizeF();
  const QFont shown = font();
  setFontScale(kSmallestFontScale);
  const int width = QTabBar::sizeHint().width();
  setFont(shown);
  return width;
}

bool TabSelector::arrange(int rows, int width) {
  if (rows <= 1 || count() < 2) {
    const bool several = rows_ > 1;
    rows_ = 1;
    areas_.clear();
    setUsesScrollButtons(true);
    if (several) {
      updateGeometry();
      update();
    }
    return QTabBar::sizeHint().width() <= width;
  }
  std::vector<int> widths;
  for (int i = 0; i < count(); ++i) widths.push_back(tabSizeHint(i).width());
  const auto widestRow = [&](const std::vector<int>& firsts) {
    int widest = 0;
    for (std::size_t r = 0; r < firsts.size(); ++r) {
      const int to = r + 1 < firsts.size() ? firsts[r + 1] : count();
      widest = std::max(widest, std::accumulate(widths.begin() + firsts[r], widths.begin() + to, 0));
    }
    return widest;
  };
  // Rows along the given breaks where they fit, else any split.
  std::vector<int> firsts;
  if (static_cast<int>(rowBreaks_.size()) >= rows - 1) {
    firsts.push_back(0);
    firsts.insert(firsts.end(), rowBreaks_.begin(), rowBreaks_.begin() + (rows - 1));
    std::sort(firsts.begin(), firsts.end());
    if (std::adjacent_find(firsts.begin(), firsts.end()) != firsts.end() || firsts.back() >= count()) firsts.clear();
  }
  if (firsts.empty() || widestRow(firsts) > width) firsts = balancedRows(widths, rows);
  if (firsts.empty() || widestRow(firsts) > width) return false;
  rows_ = rows;
  // Several rows lay themselves out; QTabBar's own single row must not add arrows meanwhile.
  setUsesScrollButtons(false);
  placeRows(firsts);
  return true;
}

void TabSelector::placeRows(const std::vector<int>& firsts) {
  std::vector<int> widths;
  int rowHeight = 0;
  for (int i = 0; i < count(); ++i) {
    const QSize hint = tabSizeHint(i);
    widths.push_back(hint.width());
    rowHeight = std::max(rowHeight, hint.height());
  }
  // Every row is stretched to the widest one, so that the rows form one block.
  int widest = 0;
  for (std::size_t r = 0; r < firsts.size(); ++r) {
    const int to = r + 1 < firsts.size() ? firsts[r + 1] : count();
    widest = std::max(widest, std::accumulate(widths.begin() + firsts[r], widths.begin() + to, 0));
  }
  areas_.assign(static_cast<std::size_t>(count()), QRect());
  for (std::size_t r = 0; r < firsts.size(); ++r) {
    const int from = firsts[r];
    const int to = r + 1 < firsts.size() ? firsts[r + 1] : count();
    const int tabs = to - from;
    const int spare = widest - std::accumulate(widths.begin() + from, widths.begin() + to, 0);
    int x = 0;
    for (int i = from; i < to; ++i) {
      const int k = i - from;
      const int w = widths[static_cast<std::size_t>(i)] + spare / tabs + (k < spare % tabs ? 1 : 0);
      areas_[static_cast<std::size_t>(i)] = QRect(x, static_cast<int>(r) * rowHeight, w, rowHeight);
      x += w;
    }
  }
  rowsSize_ = QSize(widest, static_cast<int>(firsts.size()) * rowHeight);
  updateGeometry();
  update();
}

void TabSelector::tabLayoutChange() {
  QTabBar::tabLayoutChange();
  // A caption, an icon or the font changed the tabs' widths: the rows follow.
  if (rows_ > 1 && fittedWidth_ > 0 && static_cast<int>(areas_.size()) == count()) {
    std::vector<int> firsts;
    for (int i = 0; i < count(); ++i)
      if (i == 0 || areas_[static_cast<std::size_t>(i)].top() != areas_[static_cast<std::size_t>(i) - 1].top())
        firsts.push_back(i);
    placeRows(firsts);
  }
}

int TabSelector::tabIndexAt(const QPoint& pos) const {
  if (rows_ <= 1) return tabAt(pos);
  for (std::size_t i = 0; i < areas_.size(); ++i)
    if (areas_[i].contains(pos)) return static_cast<int>(i);
  return -1;
}

QRect TabSelector::tabArea(int index) const {
  if (rows_ <= 1) return tabRect(index);
  return index >= 0 && index < static_cast<int>(areas_.size()) ? areas_[static_cast<std::size_t>(index)] : QRect();
}

QSize TabSelector::sizeHint() const { return rows_ > 1 ? rowsSize_ : QTabBar::sizeHint(); }

QSize TabSelector::minimumSizeHint() const { return rows_ > 1 ? rowsSize_ : QTabBar::minimumSizeHint(); }

bool TabSelector::event(QEvent* event) {
  if (rows_ > 1) {
    switch (event->type()) {
      case QEvent::HoverEnter:
      case QEvent::HoverMove: {
        const int tab = tabIndexAt(static_cast<QHoverEvent*>(event)->position().toPoint());
        if (tab != hovered_) {
          hovered_ = tab;
          update();
        }
        return true;
      }
      case QEvent::HoverLeave:
        hovered_ = -1;
        update();
        return true;
      case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int tab = tabIndexAt(help->pos());
        if (tab >= 0 && !tabToolTip(tab).isEmpty()) {
          QToolTip::showText(help->globalPos(), tabToolTip(tab), this);
        } else {
          QToolTip::hideText();
          event->ignore();
        }
        return true;
      }
      default:
        break;
    }
  }
  return QTabBar::event(event);
}

void TabSelector::paintEvent(QPaintEvent* event) {
  if (rows_ <= 1 || static_cast<int>(areas_.size()) != count()) {
    QTabBar::paintEvent(event);
    return;
  }
  QStylePainter p(this);
  const int current = currentIndex();
  const int lastRowTop = areas_.back().top();
  if (drawBase()) {
    QStyleOptionTabBarBase base;
    base.initFrom(this);
    base.shape = shape();
    base.documentMode = documentMode();
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    base.rect = QRect(0, height() - overlap, width(), overlap);
    base.tabBarRect = QRect(0, lastRowTop, rowsSize_.width(), areas_.back().height());
    if (current >= 0 && areas_[static_cast<std::size_t>(current)].top() == lastRowTop)
      base.selectedTabRect = areas_[static_cast<std::size_t>(current)];
    p.drawPrimitive(QStyle::PE_FrameTabBarBase, base);
  }
  const auto drawTab = [&](int i) {
    QStyleOptionTab tab;
    initStyleOption(&tab, i);
    const QRect area = areas_[static_cast<std::size_t>(i)];
    tab.rect = area;
    const bool firstInRow = i == 0 || areas_[static_cast<std::size_t>(i) - 1].top() != area.top();
    const bool lastInRow = i + 1 == count() || areas_[static_cast<std::size_t>(i) + 1].top() != area.top();
    tab.position = firstInRow && lastInRow ? QStyleOptionTab::OnlyOneTab
                   : firstInRow            ? QStyleOptionTab::Beginning
                   : lastInRow             ? QStyleOptionTab::End
                                           : QStyleOptionTab::Middle;
    tab.selectedPosition = QStyleOptionTab::NotAdjacent;
    if (current >= 0 && areas_[static_cast<std::size_t>(current)].top() == area.top()) {
      if (current == i - 1) tab.selectedPosition = QStyleOptionTab::PreviousIsSelected;
      if (current == i + 1) tab.selectedPosition = QStyleOptionTab::NextIsSelected;
    }
    if (i == hovered_ && isEnabled()) {
      tab.state |= QStyle::State_MouseOver;
    } else {
      tab.state &= ~QStyle::State_MouseOver;
    }
    p.drawControl(QStyle::CE_TabBarTabShape, tab);
    // The caption is laid out in the tab's place in QTabBar's own row (a style sheet looks its
    // text rectangle up there) and moved into the tab's place in its row.
    const QRect ownPlace = tabRect(i);
    tab.rect = ownPlace;
    p.save();
    p.translate(area.center() - ownPlace.center());
    p.drawControl(QStyle::CE_TabBarTabLabel, tab);
    p.restore();
  };
  // The selected tab last, so that it lies over its neighbours as in one row.
  for (int i = 0; i < count(); ++i)
    if (i != current) drawTab(i);
  if (current >= 0) drawTab(current);
}

void TabSelector::mousePressEvent(QMouseEvent* event) {
  if (rows_ <= 1) {
    QTabBar::mousePressEvent(event);
    return;
  }
  if (event->button() == Qt::LeftButton) {
    const int tab = tabIndexAt(event->position().toPoint());
    if (tab >= 0 && isTabEnabled(tab)) setCurrentIndex(tab);
  }
  event->accept();
}

void TabSelector::mouseMoveEvent(QMouseEvent* event) {
  if (rows_ <= 1) {
    QTabBar::mouseMoveEvent(event);
    return;
  }
  event->accept();
}

void TabSelector::mouseReleaseEvent(QMouseEvent* event) {
  if (rows_ <= 1) {
    QTabBar::mouseReleaseEvent(event);
    return;
  }
  event->accept();
}

}  // namespace zorvik
