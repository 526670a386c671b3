#pragma once
// What the main window needs from the help panel in its right dock: the web view with the
// start page, the start-page button and the hover help. The help system derives from
// HelpPanelBase (HelpPanel); tests may put a panel of their own in its place.
#include <QString>
#include <QWidget>

namespace zorvik {

class HelpPanelBase : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  // The address the web view shows; "about:blank" while it shows nothing.
  virtual QString shownAddress() const = 0;
  // Navigates the web view to the start page.
  virtual void showStartPage() = 0;
  // The manual of the current language at the section with this anchor; the top for "".
  virtual void showManualSection(const QString& anchor) { (void)anchor; }
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

}  // namespace zorvik
