#pragma once
// What the main window needs from the help panel in its right dock: the web view with the
// start page, the start-page button and the hover help. The help system derives from
// HelpPanelBase; until it is built the window shows HelpPanelPlaceholder, a QTextBrowser on
// the bundled manual "res/manual/index.html" ("index_en.html" in English).
#include <QString>
#include <QWidget>

#include <filesystem>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace zorvik {

class Workspace;

class HelpPanelBase : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  // The address the web view shows; "about:blank" while it shows nothing.
  virtual QString shownAddress() const = 0;
  // Navigates the web view to the start page (`initExplorer`).
  virtual void initExplorer() = 0;
  // The title picture and the web view. Hidden until the first heartbeat and while a side
  // panel's edge is dragged.
  virtual void setViewVisible(bool visible) = 0;
  virtual bool viewVisible() const = 0;
  // Called once when the program leaves its start mode: the start-page button now reads
  // "Startseite".
  virtual void startModeLeft() = 0;
  // The mouse rests on a control with a help key (the information strip: context "SysInfo").
  virtual void hoverHelp(const QString& context, const QString& key) {
    (void)context;
    (void)key;
  }

 signals:
  // The start-page button was pressed while it read "Browserfenster schliessen".
  void startPageCloseRequested();
};

class HelpPanelPlaceholder : public HelpPanelBase {
  Q_OBJECT
 public:
  explicit HelpPanelPlaceholder(Workspace& ws, QWidget* parent = nullptr);

  QString shownAddress() const override;
  void initExplorer() override;
  void setViewVisible(bool visible) override;
  bool viewVisible() const override;
  void startModeLeft() override;
  void hoverHelp(const QString& context, const QString& key) override;

  QPushButton* startPageButton() const { return startPage_; }
  QTextBrowser* webView() const { return wb1_; }

 private:
  Workspace& ws_;
  QLabel* phtop_ = nullptr;
  QPushButton* startPage_ = nullptr;
  QTextBrowser* wb1_ = nullptr;
  bool startLeft_ = false;
};

}  // namespace zorvik
