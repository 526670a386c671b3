#pragma once
// The help panel in the right dock: a title picture, the start-page button and the web view
// showing the manual.
//
// The start page is the manual shipped in "res/manual" (the English file when the program
// runs in English). Shift with a right click on the button lets the user type another
// address for the rest of the run: a file, or an http(s) page that is fetched from the net.
#include <QString>
#include <QUrl>
#include <QWidget>

#include <memory>

#include "help/help_panel_base.hpp"

class QLabel;
class QPushButton;
class QTextBrowser;

namespace zorvik {

class Host;
class HelpTopics;
class WebClient;
class Workspace;

class HelpPanel : public HelpPanelBase {
  Q_OBJECT
 public:
  HelpPanel(Workspace& ws, Host& host, QWidget* parent = nullptr);
  ~HelpPanel() override;

  // The address the web view shows; "about:blank" while it shows nothing.
  QString shownAddress() const override;
  // Navigates the web view to the start page address.
  void showStartPage() override;
  // Shows any address: a local file, a "file:" address or an http(s) page.
  void navigate(const QString& address);

  // The title picture and the web view; hidden until the main window's first heartbeat and
  // while a side panel's edge is dragged.
  void setViewVisible(bool visible) override;
  bool viewVisible() const override;

  // The program left its start mode: the button now reads "Startseite" and brings the
  // manual back.
  void startModeLeft() override;
  bool inStartMode() const { return !startLeft_; }

  // The help text of a key as a tool tip at the mouse pointer (hover help of the information
  // strip and similar controls).
  void hoverHelp(const QString& context, const QString& key) override;

  QString startPageAddress() const { return startAddress_; }
  void setStartPageAddress(const QString& address) { startAddress_ = address; }
  // The manual's overview page for the current language.
  static QString manualAddress(const Workspace& ws);
  // The manual of the current language at the section with this anchor (the top for an empty
  // one). A help panel squeezed to nothing in edit mode is the only thing that hides it: the
  // caller decides about the panel's width.
  void showManualSection(const QString& anchor) override;

  // Registers the start-page button under its help topic.
  void registerHelpTopics(HelpTopics& topics);

  QPushButton* startPageButton() const { return startPage_; }
  QTextBrowser* webView() const { return webView_; }
  QLabel* titlePicture() const { return titlePicture_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void startPagePressed();
  void askForAddress();
  void linkClicked(const QUrl& url);
  void showFetched(const QUrl& url);
  void loaded();

  Workspace& ws_;
  Host& host_;
  QLabel* titlePicture_ = nullptr;
  QPushButton* startPage_ = nullptr;
  QTextBrowser* webView_ = nullptr;
  std::unique_ptr<WebClient> web_;  // made at the first web page
  QString startAddress_;
  QUrl remote_;  // the http(s) page shown, empty while a file (or nothing) is shown
  bool startLeft_ = false;
};

}  // namespace zorvik
