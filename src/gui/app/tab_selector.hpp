#pragma once
// The tab strip above the editor pages. Its captions are never shortened: where all tabs do not
// fit in one row at the strip's font, they are laid out in two (or three) rows of about equal
// width, and only where even that fails does the font shrink. Scroll arrows are the last resort
// for an area a few letters wide.
#include <QTabBar>

#include <utility>
#include <vector>

namespace zorvik {

class TabSelector : public QTabBar {
  Q_OBJECT
 public:
  explicit TabSelector(QWidget* parent = nullptr);

  // Arranges the tabs for a strip of this width: rows and font as described above.
  void fitTo(int width);
  // The width one row of all tabs needs at the smallest font the strip uses.
  int oneRowMinimumWidth();

  // Tabs a row should start with, where the rows fit that way, so that tabs that belong
  // together stay in one row: two rows break at the first of them, three at the first two.
  void setRowBreaks(std::vector<int> firstTabs) { rowBreaks_ = std::move(firstTabs); }

  int rowCount() const { return rows_; }
  // The tab under a point and the rectangle a tab is drawn in, in one row and in several
  // (QTabBar's own tabAt and tabRect know only one row).
  int tabIndexAt(const QPoint& pos) const;
  QRect tabArea(int index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void tabLayoutChange() override;

 private:
  void setFontScale(double scale);
  // Splits the tabs into the given number of rows for the width; false when they do not fit.
  bool arrange(int rows, int width);
  void placeRows(const std::vector<int>& firstOfRow);

  double baseFontSize_ = 0;
  int rows_ = 1;
  int fittedWidth_ = -1;
  int hovered_ = -1;
  std::vector<int> rowBreaks_;
  std::vector<QRect> areas_;  // per tab, while there are several rows
  QSize rowsSize_;
};

}  // namespace zorvik
