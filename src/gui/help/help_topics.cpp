#include "help/help_topics.hpp"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QWidget>

#include "app/tab_selector.hpp"
#include "help/manual_sections.hpp"
#include "platform/host.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

std::string nameOf(const QWidget* w) {
  if (!w) return {};
  const QString name = w->objectName();
  return (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name).toStdString();
}

// The caption as the user reads it: "&Ansicht" shows as "Ansicht", "&&" as one "&".
QString withoutMnemonic(const QString& caption) {
  QString plain;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

}  // namespace

HelpTopics::HelpTopics(Workspace& ws, Host& host, QObject* parent) : QObject(parent), ws_(ws), host_(host) {}

HelpTopics::~HelpTopics() {
  if (hooked_ && qApp) qApp->removeEventFilter(this);
}

void HelpTopics::registerHelp(QWidget* control, const QString& topic, const QString& subtopic) {
  if (!control) return;
  registry_.registerTopic(nameOf(control->window()), nameOf(control), handleOf(control), topic.toStdString(),
                          subtopic.toStdString());
}

bool HelpTopics::helpTopicRequest(QWidget* form, int keyCode) {
  return helpTopicRequestAt(form, keyCode, QApplication::widgetAt(QCursor::pos()));
}

bool HelpTopics::helpTopicRequestAt(QWidget* form, int keyCode, QWidget* underCursor) {
  QWidget* parent = underCursor ? underCursor->parentWidget() : nullptr;
  auto result = zorvik::helpTopicRequest(registry_, ws_.language, nameOf(form), keyCode, handleOf(underCursor),
                                         handleOf(parent));
  if (!result) return false;
  emit protocolLine(QString::fromStdString(result->protocolLine));
  host_.deferredMessage(result->message);
  // The topic message names the control; the manual's section beside it explains it.
  if (!result->topic.empty()) {
    std::vector<std::string> enclosing;
    for (const QWidget* w = underCursor; w; w = w->parentWidget()) enclosing.push_back(w->objectName().toStdString());
    emit manualSectionWanted(
        QString::fromStdString(manualAnchorOfTopic(result->topic, enclosing, ws_.language.english())));
  }
  return true;
}

void HelpTopics::menuHelpRequest(QMenu* menu) {
  if (!menu) return;
  // A menu opened from the menu bar carries its caption; a free popup is named by itself.
  QString caption = withoutMnemonic(menu->title());
  if (caption.isEmpty()) caption = QString::fromStdString(nameOf(menu));
  const MenuHelp help = menuHelp(ws_.language, caption.toStdString());
  QWidget* bar = nullptr;
  for (QWidget* w = menu->parentWidget(); w && !bar; w = w->parentWidget())
    if (auto* mb = qobject_cast<QMenuBar*>(w)) bar = mb;
  registerHelp(bar ? bar : menu, QString::fromStdString(help.topic));
  host_.deferredMessage(help.message);
  emit manualSectionWanted(QString::fromStdString(manualAnchorOfTopic(help.topic, {}, ws_.language.english())));
}

void HelpTopics::installF1Hook() {
  if (hooked_) return;
  qApp->installEventFilter(this);
  hooked_ = true;
}

void HelpTopics::watchTabSelector(QTabBar* tabs) {
  if (!tabs) return;
  tabSelector_ = tabs;
  tabs->setMouseTracking(true);
  registerHelp(tabs, QStringLiteral("TC1"));
  installF1Hook();
}

bool HelpTopics::eventFilter(QObject* watched, QEvent* event) {
  // Every event of the program passes here, also while the window's widgets are torn down:
  // only the few kinds this filter cares about may touch its members.
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::MouseMove && type != QEvent::MouseButtonPress) return false;
  if (type != QEvent::KeyPress && tabSelector_ && watched == tabSelector_) {
    const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
    // The window's strip may lay its tabs out in several rows, which QTabBar::tabAt does not know.
    const auto* rows = qobject_cast<const TabSelector*>(tabSelector_.data());
    const int tab = rows ? rows->tabIndexAt(pos) : tabSelector_->tabAt(pos);
    // Over no tab the topic stays as it was.
    if (tab >= 0) registerHelp(tabSelector_, QStringLiteral("Reiter ") + withoutMnemonic(tabSelector_->tabText(tab)));
    return QObject::eventFilter(watched, event);
  }
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return QObject::eventFilter(watched, event);
  auto* widget = static_cast<QWidget*>(watched);
  if (auto* menu = qobject_cast<QMenu*>(widget)) {
    menuHelpRequest(menu);
    return true;
  }
  // The key press travels up to the parents when a child ignores it; it is answered once,
  // at the widget it was sent to first, and then taken.
  helpTopicRequest(widget->window(), kKeyF1);
  return true;
}

}  // namespace zorvik
