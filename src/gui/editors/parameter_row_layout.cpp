// Where the row builder puts its controls: three columns (caption, middle, value) whose widths
// follow the container's width, one row step per row.
#include "editors/parameter_row_builder.hpp"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <algorithm>

#include "editors/value_slider.hpp"

namespace zorvik {

RowColumns ParameterRowBuilder::currentColumns() const {
  const int width = container_->width();
  ColumnSet set = columnSetForContainer(columns(), width);
  // The caption column takes the widest caption, but leaves the middle column (slider, list)
  // at least as wide as itself; a caption still too long is shortened with "..." in placeRow.
  const int room = (width - 2 * (set.margin + set.gap) - set.valueWidth) / 2;
  set.captionWidth = std::max(set.captionWidth, std::min(widestCaption_ + 4, room));
  return rowColumns(set, width);
}

void ParameterRowBuilder::placeRow(const Row& row) {
  const RowColumns c = currentColumns();
  const int index = static_cast<int>(&row - rows_.data());
  if (QLabel* l = rows_[index].caption) {
    l->setGeometry(c.captionX, row.top, c.captionWidth, kControlHeight);
    const QString shown = l->fontMetrics().elidedText(row.captionText, Qt::ElideRight, c.captionWidth);
    l->setText(shown);
    // Shortened, the caption's whole text leads its tool tip.
    l->setToolTip(shown == row.captionText || row.captionText.isEmpty()
                      ? row.captionTip
                      : row.captionText + (row.captionTip.isEmpty() ? QString() : "\n\n" + row.captionTip));
  }
  switch (row.kind) {
    case RowKind::Slider:
      row.slider->setGeometry(c.middleX, row.top + 1, c.middleWidth, kControlHeight - 2);
      row.text->setGeometry(c.valueX, row.top, c.valueWidth, kControlHeight);
      break;
    case RowKind::Combo:
      // The value column of a choice row is empty: long entries (an account with its broker)
      // take it rather than being cut.
      row.combo->setGeometry(c.middleX, row.top, c.valueX + c.valueWidth - c.middleX, kControlHeight);
      break;
    case RowKind::Text:
      row.text->setGeometry(c.middleX, row.top, c.middleWidth, kControlHeight);
      break;
    case RowKind::MultiText:
      row.multi->setGeometry(c.middleX, row.top, c.valueX + c.valueWidth - c.middleX,
                             kRowStep * kMultiTextRows - (kRowStep - kControlHeight));
      break;
  }
  placeReason(row);
}

void ParameterRowBuilder::placeReason(const Row& row) {
  if (!row.reason) return;
  if (!row.refused || !row.text || row.text->isHidden()) {
    row.reason->hide();
    return;
  }
  const RowColumns c = currentColumns();
  QRect place = row.kind == RowKind::Slider ? QRect(c.middleX, row.top, c.middleWidth, kControlHeight)
                                            : QRect(c.valueX, row.top, c.valueWidth, kControlHeight);
  if (row.kind == RowKind::Slider && row.slider) row.slider->hide();
  const QString reason = row.reason->property("reason").toString();
  row.reason->setGeometry(place);
  row.reason->setText(row.reason->fontMetrics().elidedText(reason, Qt::ElideRight, place.width()));
  row.reason->show();
}

void ParameterRowBuilder::placeExtra(const Extra& e) {
  const RowColumns c = currentColumns();
  switch (e.kind) {
    case Extra::Note:
    case Extra::Pair:
      if (e.first) {
        // The caption column of these rows is empty: a copy button whose text does not fit
        // the middle column may take it too.
        const int wanted = e.first->sizeHint().width();
        const int left = wanted > c.middleWidth ? std::max(c.captionX, c.middleX + c.middleWidth - wanted) : c.middleX;
        e.first->setGeometry(left, e.top, c.middleX + c.middleWidth - left, kControlHeight);
      }
      if (e.kind == Extra::Note) break;
      if (e.second) e.second->setGeometry(c.valueX, e.top, c.valueWidth, kControlHeight);
      break;
    case Extra::Heading:
      if (e.first) e.first->setGeometry(c.captionX, e.top, std::max(0, c.valueX - c.captionX - 4), kControlHeight);
      if (e.second) e.second->setGeometry(c.valueX, e.top, c.valueWidth, kControlHeight);
      break;
    case Extra::Split: {
      const int width = c.valueX + c.valueWidth - c.middleX;
      const int half = std::max(0, (width - 4) / 2);
      if (e.first) e.first->setGeometry(c.middleX, e.top, half, kControlHeight);
      if (e.second) e.second->setGeometry(c.middleX + width - half, e.top, half, kControlHeight);
      break;
    }
  }
}

void ParameterRowBuilder::relayout() {
  for (int i = 0; i < used_; ++i) placeRow(rows_[i]);
  for (const Extra& e : extras_) placeExtra(e);
}
}  // namespace zorvik
