#include "app/program_parts.hpp"

#include <QCursor>
#include <QPointer>
#include <QTreeWidget>

#include "analysis/uniform_symbols.hpp"
#include "app/app_commands.hpp"
#include "app/main_window.hpp"
#include "app/qt_host.hpp"
#include "app/qt_translations.hpp"
#include "backtest/backtest_page.hpp"
#include "editors/export_part_dialog.hpp"
#include "editors/general_settings_editor.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/money_management_editor.hpp"
#include "editors/settings_page.hpp"
#include "editors/signal_group_editor.hpp"
#include "editors/signal_group_page.hpp"
#include "help/help_panel.hpp"
#include "help/help_popup.hpp"
#include "help/help_registry.hpp"
#include "help/help_topics.hpp"
#include "library/library_panel.hpp"
#include "model/trading_system.hpp"
#include "platform/host.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

// A parameter's help text in the small help window beside the mouse.
template <class Editor>
void connectParameterHelp(Editor* editor, HelpPopup* popup, Workspace& ws) {
  QObject::connect(editor, &Editor::helpRequested, popup, [popup, &ws](const QString& key) {
    // Caption line, then the help text in the user's language; a key without help text still
    // shows its caption. Keys outside the catalogue (the settings page) have no caption line.
    std::string text = parameterHelpText(ws.catalogue, ws.helpTexts, ws.language, key.toStdString());
    if (!text.empty() && text.front() == '\n') text.erase(0, 1);
    if (text.find_first_not_of(" \n") == std::string::npos) return;
    popup->showText(QString::fromStdString(text), QCursor::pos());
  });
}

// What every editor reports goes to the same places: tab icons, sounds, help.
template <class Editor>
void connectEditor(Editor* editor, MainWindow& form, HelpTopics* topics, HelpPopup* popup, Workspace& ws) {
  QObject::connect(editor, &Editor::overviewChanged, &form, [&form] { form.updateGroupTabIcons(); });
  connectParameterHelp(editor, popup, ws);
  QObject::connect(editor, &Editor::helpRegistration, topics,
                   [topics](QWidget* control, const QString&, const QString&, const QString& topic) {
                     topics->registerHelp(control, topic);
                   });
}

}  // namespace

void installProgramParts(MainWindow& form, Workspace& ws, Host& host) {
  // The library on the left. The window lists it and opens the last system once every part
  // is in place.
  auto* library = new LibraryPanel(ws, host);
  form.setLibraryPanel(library);
  if (auto* qtHost = dynamic_cast<QtHost*>(&host)) {
    qtHost->setLibraryRefresh([panel = QPointer<LibraryPanel>(library)] {
      if (panel) panel->relistLibrary();
    });
  }
  auto commands = std::make_unique<AppCommands>(ws, host, &form);
  commands->systemSaved = [panel = QPointer<LibraryPanel>(library)] {
    if (panel && panel->library().boldId() != 0) panel->refreshItem(panel->library().boldId());
  };
  form.setCommands(std::move(commands));

  auto* topics = new HelpTopics(ws, host, &form);
  topics->installF1Hook();
  // The window's own help panel is the real one; a test may have put another in its place.
  if (auto* help = qobject_cast<HelpPanel*>(form.helpPanel())) help->registerHelpTopics(*topics);
  QObject::connect(topics, &HelpTopics::manualSectionWanted, &form, &MainWindow::showManualSection);
  topics->watchTabSelector(form.tabSelector());
  topics->registerHelp(form.editorTabs(), QStringLiteral("TC2"));
  // The library's first entry creates a new system: until a click registers the clicked
  // group, F1 over the library explains that.
  topics->registerHelp(library->tree(), QStringLiteral("Neues Handelssystem"));
  QObject::connect(library, &LibraryPanel::helpRegistration, topics,
                   [topics](QWidget* control, const QString&, const QString&, const QString& topic,
                            const QString& subtopic) { topics->registerHelp(control, topic, subtopic); });

  // After the editors: the backtest of the open system. Its tab is there from the start, its
  // controls and charts come with the late pages.
  auto* backtest = new BacktestPage(ws, host, nullptr, false);
  form.addPage(QString::fromStdString(ws.tr("BACKTEST")), backtest);

  // No editor is in view at start-up (the editor tabs wait for the first heartbeat): they are
  // built after the first paint, or when they are wanted before.
  form.setLatePages([&form, &ws, &host, topics, backtest = QPointer<BacktestPage>(backtest)] {
    // Qt's own dialogs and context menus, none of them open before this, speak the language
    // the start-up read.
    followLanguageInQtTexts(ws.language.english());
    // The parameter help beside the mouse, for the editors' parameters.
    auto* popup = new HelpPopup(&form);
    // Tab 0: general settings; tab 5: money management. Both edit the open system in place.
    auto* general = new GeneralSettingsEditor(ws);
    auto* mm = new MoneyManagementEditor(ws);
    general->setMoneyManagementEditor(mm);
    general->switchBroker = [&ws](int, const std::string& account) { switchToBrokerOfAccount(ws, account); };
    connectEditor(general, form, topics, popup, ws);
    connectEditor(mm, form, topics, popup, ws);
    form.setEditorPage(0, general, [general, &ws](int) { general->activateControls(ws.system(), true); });
    form.setEditorPage(5, mm, [mm, &ws](int) { mm->activateControls(ws.system(), true); });

    // Tabs 1 to 4 share one signal-group host; it moves to whichever of them is shown.
    auto* groups = new SignalGroupPage(ws);
    connectEditor(groups, form, topics, popup, ws);
    QObject::connect(groups, &SignalGroupPage::eventSound, &form,
                     [&form](const QString& name) { form.eventSound(name.toStdString()); });
    QObject::connect(&form, &MainWindow::signalGroupArrangementChanged, groups, &SignalGroupPage::setArrangement);
    groups->setArrangement(form.signalGroupArrangement());
    QObject::connect(&form, &MainWindow::sideBySideAsked, groups, &SignalGroupPage::askRoomForSideBySide);
    QObject::connect(groups, &SignalGroupPage::widthWanted, &form, &MainWindow::widenEditorArea);
    groups->registerHelpTopics();
    for (int tab = 1; tab <= 4; ++tab)
      form.setEditorPage(tab, groups, [groups, &ws](int t) { groups->showGroup(ws.system(), t); });

    // The "->Toolbox" buttons of the group, indicator and money-management editors.
    connectToolboxButtons(*groups, *mm, ws, [&form] { return form.selectedTab(); });

    // Tab 6: the program settings.
    auto* settingsPage = new SettingsPage(ws, host);
    settingsPage->setTabStrips(form.tabSelector(), form.editorTabs());
    connectParameterHelp(settingsPage, popup, ws);
    form.setEditorPage(6, settingsPage);
    // A page in view that was a stand-in until now shows its editor.
    const int shown = form.selectedTab();
    if (shown >= 0 && shown < MainWindow::kTabCount) form.onEditorTabChanged(shown);

    if (backtest) {
      backtest->build();
      // The page's topics are this program's own words, not fixed ids: F1 names them in the
      // trader's language.
      for (const auto& [control, topic] : backtest->helpTopics())
        topics->registerHelp(control, QString::fromStdString(ws.tr(topic.toStdString())));
    }
  });

  // The page in view is chosen at once; its editor comes with the late pages.
  form.onEditorTabChanged(form.selectedTab());
}

}  // namespace zorvik
