#pragma once
// A one-line label that, when its text is wider than the label, shows the start of it with
// "..." instead of cutting it off, and then offers the whole text as its tool tip.
#include <QLabel>

namespace zorvik {

class ElidingLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

  // Whether the text is shown shortened at the label's present width.
  bool isElided() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};

}  // namespace zorvik
