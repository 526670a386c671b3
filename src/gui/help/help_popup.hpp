#pragma once
// The small borderless window that explains a parameter. It stays on top of every
// window, shows one text beside the mouse pointer and goes away with the next click anywhere
// in the program except on its own top strip.
#include <QPoint>
#include <QWidget>

class QLabel;
class QTimer;

namespace zorvik {

class HelpPopup : public QWidget {
  Q_OBJECT
 public:
  explicit HelpPopup(QWidget* parent = nullptr);
  ~HelpPopup() override;

  // Shows the text with the window's top-left corner 20 pixels right of and below `cursor`
  // (global coordinates), kept 20 pixels above the bottom of the screen. Never blocks.
  void showText(const QString& text, QPoint cursor);
  void showText(const QString& text);

  // While the program runs a close request only hides the window; once it is exiting the
  // window may really close.
  void setProgramExiting(bool exiting) { exiting_ = exiting; }

  QLabel* textField() const { return text_; }
  QTimer* pollTimer() const { return poll_; }

  // The window's fixed width in pixels.
  static constexpr int kWidth = 360;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void poll();
  void hideHelp();

  QLabel* text_ = nullptr;
  QTimer* poll_ = nullptr;
  bool exiting_ = false;
  // A left press seen since the last tick, and where it happened (global pixels).
  bool pressed_ = false;
  QPoint pressedAt_;
};

}  // namespace zorvik
