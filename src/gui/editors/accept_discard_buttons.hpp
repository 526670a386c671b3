#pragma once
// Two push buttons side by side, each taking half of the control's width; the editors use it
// as their "OK" control and put a picture or a caption on each half.
#include <QIcon>
#include <QString>
#include <QWidget>

class QPushButton;

namespace zorvik {

class AcceptDiscardButtons : public QWidget {
  Q_OBJECT
 public:
  explicit AcceptDiscardButtons(QWidget* parent = nullptr);

  // Index 1 is the left (accept) button, 2 the right (discard) one; other indexes are
  // ignored.
  void setIcon(int index, const QIcon& picture);
  void setCaption(int index, const QString& text);
  QPushButton* acceptButton() const { return accept_; }
  QPushButton* discardButton() const { return discard_; }

  QSize sizeHint() const override;

 signals:
  // 1 when the accept button was clicked, 2 for the discard button.
  void clicked(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPushButton* button(int index) const;

  QPushButton* accept_;
  QPushButton* discard_;
};

}  // namespace zorvik
