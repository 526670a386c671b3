#pragma once
// Context help of the window program: controls are registered under a help topic, F1 over a
// control (or over a child of a registered control) and F1 in an open menu show the topic.
#include <QObject>
#include <QPointer>
#include <QString>

#include "help/help_registry.hpp"

class QMenu;
class QTabBar;
class QWidget;

namespace zorvik {

class Host;
class Workspace;

class HelpTopics : public QObject {
  Q_OBJECT
 public:
  HelpTopics(Workspace& ws, Host& host, QObject* parent = nullptr);
  ~HelpTopics() override;

  // Enters the control or replaces the topic it carries. The source names the control's
  // window and the control by their object names.
  void registerHelp(QWidget* control, const QString& topic, const QString& subtopic = {});

  // A key press of a form: only F1 (112) shows the topic of the window under the mouse
  // pointer or of its parent, as a deferred message. False for every other key.
  bool helpTopicRequest(QWidget* form, int keyCode);
  // The same for a given window under the pointer.
  bool helpTopicRequestAt(QWidget* form, int keyCode, QWidget* underCursor);

  // Help for a command of a menu: the topic "MENU_" and the menu's caption.
  void menuHelpRequest(QMenu* menu);

  // Watches every key press of the program, so that each form passes F1 on without code of its
  // own; F1 in an open menu asks for menu help.
  void installF1Hook();

  // The tab selector carries "TC1"; while the mouse moves over one of its tabs it carries
  // "Reiter " and that tab's caption, so F1 names the tab under the pointer.
  void watchTabSelector(QTabBar* tabs);

  const HelpRegistry& registry() const { return registry_; }
  static WindowHandle handleOf(const QWidget* w) { return reinterpret_cast<WindowHandle>(w); }

 signals:
  // A line for the program's protocol (kept by the about window).
  void protocolLine(const QString& line);
  // F1 found a topic: the manual's section for it, by its anchor in the manual of the current
  // language (empty: the manual's overview).
  void manualSectionWanted(const QString& anchor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Workspace& ws_;
  Host& host_;
  HelpRegistry registry_;
  bool hooked_ = false;
  QPointer<QTabBar> tabSelector_;
};

}  // namespace zorvik
