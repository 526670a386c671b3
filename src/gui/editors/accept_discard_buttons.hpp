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

  // Index 1 is the left button (Command1), 2 the right one (Command2); other indexes are
  // ignored.
  void setIcon(int index, const QIcon& picture);
  void setCaption(int index, const QString& text);
  QPushButton* command(int index) const;

  QSize sizeHint() const override;

 signals:
  // 1 when Command1 was clicked, 2 when Command2 was.
  void clicked(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPushButton* command1_;
  QPushButton* command2_;
};

}  // namespace zorvik
