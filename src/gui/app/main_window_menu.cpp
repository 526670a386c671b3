// The main window's menus, library context menu, commands and status bar.
#include "app/main_window.hpp"

#include <QDockWidget>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>

#include <algorithm>

#include "app/about_window.hpp"
#include "app/keyboard_lock_state.hpp"
#include "app/main_commands.hpp"
#include "help/help_panel_base.hpp"
#include "library/library_panel_base.hpp"
#include "model/trading_system.hpp"
#include "qt_text.hpp"
#include "window/command_table.hpp"
#include "window/display_modes.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

// The ids whose images the icon strip "Toolbar.png" holds, in strip order.
constexpr std::array<std::int32_t, 13> kIconStripIds{100, 101, 103, 113, 108, 106, 107, 120, 121, 122, 123, 124, 125};

}  // namespace

void MainWindow::buildMenus() {
  for (const CommandMenu& menu : commandMenus()) {
    QMenu* m = menuBar()->addMenu(q(ws_.tr(menu.caption)));
    for (const CommandEntry& e : menu.entries) {
      if (e.kind == EntryKind::Submenu) {
        m->addMenu(q(ws_.tr(e.caption)));
        continue;
      }
      QAction* a = m->addAction(q(ws_.tr(e.caption)));
      a->setData(e.id);
      a->setCheckable(e.kind == EntryKind::Checkable);
      if (!e.shortcut.empty()) {
        // Window-wide, so that it works whichever editor has the focus; the menu shows it.
        a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut.data(), static_cast<qsizetype>(e.shortcut.size()))));
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
      }
      actions_[e.id] = a;
      const std::int32_t id = e.id;
      connect(a, &QAction::triggered, this, [this, id, a] { commandDispatch(id, a->text()); });
    }
  }

  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName(QStringLiteral("LibraryContextMenu"));
  for (const CommandEntry& e : libraryContextEntries()) {
    QAction* a = contextMenu_->addAction(q(ws_.tr(e.caption)));
    a->setData(e.id);
    actions_[e.id] = a;
    const std::int32_t id = e.id;
    connect(a, &QAction::triggered, this, [this, id, a] { commandDispatch(id, a->text()); });
  }

  buildStatusBar();
  checkLanguageCommand(checkedLanguageCommand(ws_.language.name()));
}

void MainWindow::setMenuIcons() {
  // Only seen in an open menu, so set after the first paint. The strip "Toolbar.png" holds one
  // square image per id; without it the toolkit's own new and save icons stand in.
  QPixmap strip;
  const auto stripFile = ws_.resFile("Toolbar.png");
  if (std::filesystem::exists(stripFile)) strip.load(q(stripFile.string()));
  auto iconOf = [&](std::int32_t id, QStyle::StandardPixmap fallback) {
    if (!strip.isNull()) {
      const int w = strip.width() / static_cast<int>(kIconStripIds.size());
      for (std::size_t i = 0; i < kIconStripIds.size(); ++i)
        if (kIconStripIds[i] == id) return QIcon(strip.copy(static_cast<int>(i) * w, 0, w, strip.height()));
    }
    return style()->standardIcon(fallback);
  };
  actions_[cmd::NewSystem]->setIcon(iconOf(cmd::NewSystem, QStyle::SP_FileIcon));
  actions_[cmd::SaveSystem]->setIcon(iconOf(cmd::SaveSystem, QStyle::SP_DialogSaveButton));

}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  const std::array<const char*, 3> labels{"CAPS", "NUM", "SCRL"};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    auto* pane = new QLabel(q(ws_.tr(labels[i])), bar);
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 14);
    pane->setEnabled(false);
    bar->addPermanentWidget(pane);
    lockPanes_[i] = pane;
  }
  lockState_ = std::make_unique<KeyboardLockState>();
  refreshLockPanes();
  bar->show();
  setActionChecked(cmd::StatusBar, true);
}

// ---------------------------------------------------------------------------------------------
// Commands

QAction* MainWindow::commandAction(std::int32_t id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::setActionChecked(std::int32_t id, bool checked) {
  if (QAction* a = commandAction(id)) a->setChecked(checked);
}

void MainWindow::commandDispatch(std::int32_t id, const QString& caption) {
  (void)caption;
  if (!isDispatchedCommand(id)) return;
  const bool hasSystem = !ws_.system().systemFileName.empty();
  switch (id) {
    case cmd::NewSystem:
      commands_->newSystem();
      break;
    case cmd::SaveSystem:
      if (hasSystem && commands_->saveSystem()) {
        eventSound("Write System");
        // A sound alone is easily missed (or switched off): the status bar says it too.
        statusBar()->showMessage(
            q(ws_.tr("Gespeichert:")) + QLatin1Char(' ') + q(titleOfFileName(ws_.system().systemFileName)),
            kSavedMessageMs);
        updateWindowTitle();
      }
      break;
    case cmd::Quit:
      close();
      break;
    case cmd::StatusBar:
      statusBar()->setVisible(statusBar()->isHidden());
      setActionChecked(cmd::StatusBar, !statusBar()->isHidden());
      settleLayout();
      break;
    case cmd::Reset:
      resetLayout();
      break;
    case cmd::EditMode:
    case cmd::HelpMode:
    case cmd::StartMode:
      modeCommand(id);
      break;
    case cmd::ProgramSettings:
      // The program settings live on the last tab; the menu entry takes the user there.
      libraryClicked();
      tabSelector_->setCurrentIndex(6);
      break;
    case cmd::SideBySide:
    case cmd::OneUnderTheOther:
      arrangement_ = id == cmd::SideBySide ? 0 : 1;
      // The panels that gave way to side by side get their widths back with one under the other.
      if (id == cmd::SideBySide) {
        if (panelWidthsBeforeSideBySide_.isEmpty())
          panelWidthsBeforeSideBySide_ = {helpDock_->width(), libraryDock_->width()};
      } else if (!panelWidthsBeforeSideBySide_.isEmpty()) {
        resizeDocks({helpDock_, libraryDock_}, panelWidthsBeforeSideBySide_, Qt::Horizontal);
        panelWidthsBeforeSideBySide_.clear();
        settleLayout();
      }
      emit signalGroupArrangementChanged(arrangement_);
      if (id == cmd::SideBySide) emit sideBySideAsked();
      layoutEditorArea();
      break;
    case cmd::CheckSystem:
      applyInfoRows(commands_->checkSystem(1));
      break;
    case cmd::GenerateNow:
      if (hasSystem) {
        commands_->generateExpert();
      } else {
        ws_.message("Zuerst ein System laden");
      }
      break;
    case cmd::German:
    case cmd::English:
      languageCommand(id);
      break;
    case cmd::About:
      showAbout();
      break;
    case cmd::Manual:
      showManualSection({});
      break;
    case cmd::UpdateCheck:
      commands_->checkForUpdateAsked();
      break;
    default:
      if (id >= cmd::MoveToTrash && id <= cmd::SaveAs && library_) library_->contextCommand(id);
      break;
  }
}

void MainWindow::offerContextEntries(const std::string& groupCaption) {
  const auto offered = offeredContextCommands(groupCaption, ws_.language);
  for (const CommandEntry& e : libraryContextEntries())
    if (QAction* a = commandAction(e.id))
      a->setVisible(std::find(offered.begin(), offered.end(), e.id) != offered.end());
}

void MainWindow::showLibraryContextMenu(const QString& groupCaption, const QPoint& globalPos) {
  offerContextEntries(groupCaption.toStdString());
  contextMenu_->popup(globalPos);
}

void MainWindow::libraryClicked() {
  if (mode_ == mode::Start) commandDispatch(cmd::EditMode);
}

void MainWindow::modeCommand(std::int32_t id) {
  // The arrangement of the mode being left survives; then the target layout and its share.
  const bool fromResults = mode_ == mode::Results;
  saveLayout(mode_);
  loadLayout(modeOfModeCommand(id));
  if (fromResults) {
    // Asked for by the trader on a results page: the panels come back even there.
    libraryDock_->show();
    helpDock_->show();
  }
  checkModeCommand();
  leaveStartMode();
  if (const auto share = shareAfterModeCommand(id, helpPanelPercent())) setHelpPanelPercent(*share);
}

void MainWindow::languageCommand(std::int32_t id) {
  const std::string target = id == cmd::German ? "DEUTSCH" : "ENGLISCH";
  // The question comes in the language the window speaks now, not in the one it will speak
  // after the restart.
  const std::string restart = ws_.tr("Bitte Programm neu starten");
  if (ws_.language.name() == target) {
    ws_.message(id == cmd::German ? "Deutsch ist bereits eingestellt" : "Englisch ist bereits eingestellt");
  } else {
    ws_.language.switchLanguage(target, ws_.resFolder());
    if (ws_.language.name() != target) {
      // Without the English table nothing would change after the restart; say why instead.
      ws_.message("Die Sprachdatei fehlt: ", ws_.resFile("langEng.txt").string());
      checkLanguageCommand(checkedLanguageCommand(ws_.language.name()));
      return;
    }
    host_.message(restart);
    exitRequested_ = true;
  }
  checkLanguageCommand(id);
}

void MainWindow::checkLanguageCommand(std::int32_t id) {
  setActionChecked(cmd::German, false);
  setActionChecked(cmd::English, false);
  if (id == cmd::German || id == cmd::English) setActionChecked(id, true);
}

void MainWindow::showManualSection(const QString& anchor) {
  if (!help_) return;
  help_->showManualSection(anchor);
  // In edit mode the panel may have been narrowed to nothing; the trader asked to read.
  if (mode_ == mode::Edit && helpPanelPercent() < kReadableHelpPercent) setHelpPanelPercent(kReadableHelpPercent);
}

void MainWindow::showAbout() {
  if (!about_) {
    about_ = new AboutWindow(ws_, protocol_, this);
    about_->move(geometry().center() - about_->rect().center());
  }
  about_->refresh();
  about_->show();
  about_->raise();
}

void MainWindow::refreshLockPanes() {
  for (int k = 0; k < 3; ++k) {
    const auto on = lockState_->isOn(static_cast<KeyboardLockState::Key>(k));
    lockPanes_[static_cast<std::size_t>(k)]->setEnabled(on.value_or(false));
  }
}

}  // namespace zorvik
