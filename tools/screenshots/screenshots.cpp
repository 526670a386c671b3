// Writes PNG pictures of the editors and dialogs into a folder, for a person to look at after
// a change of the look: the signal group page in both arrangements, the general and the
// money-management editor, each at 1280x800 and 640x420, the program settings page (as set
// and after "Default") and the toolbox export dialog; and the whole window as main() builds it
// on the demo library at 1280x800 and 1024x768 (window_*.png): the start page, GENERAL, LONG
// with an indicator open, LONG side by side, EXIT LONG, MONEYMANAGEMENT, the settings, the
// system test report and the backtest page on the demo history (a trade picked; then again
// after a change, the curve before in grey).
//
//   zorvik-screenshots <folder> [--english]
//
// The editors work on an empty system "Demo" in a temporary copy of the program's res/
// folder; nothing outside the temporary folder and the output folder is touched. Run it with
// QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "analysis/consistency_check.hpp"
#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "app/system_test_report.hpp"
#include "backtest/backtest_page.hpp"
#include "editors/export_part_dialog.hpp"
#include "editors/general_settings_editor.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/money_management_editor.hpp"
#include "editors/settings_page.hpp"
#include "editors/signal_group_editor.hpp"
#include "editors/signal_group_page.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "window/command_table.hpp"
#include "workspace/current_system.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

// Lets pending layouts and paints happen before a picture is taken.
void settle() {
  QEventLoop loop;
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
}

// A started workspace on a temporary copy of res/ with an open, empty system "Demo". The host
// records what the program says instead of showing message boxes.
struct Workbench {
  QTemporaryDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;

  explicit Workbench(bool english) {
    const fs::path root = dir.path().toStdString();
    fs::copy(fs::path(ZORVIK_SOURCE_DIR) / "res", root / "res", fs::copy_options::recursive);
    if (english) {
      QFile ini(dir.path() + "/res/Zorvik.ini");
      if (ini.open(QIODevice::WriteOnly)) ini.write("LANGUAGE=ENGLISCH\r\n");
    }
    ws = std::make_unique<Workspace>(root, host);
    ws->startUp();
    ws->system().systemFileName = "Demo.hsy.txt";
    ws->system().resetAll(systemDefaults(*ws));
  }
  TradingSystem& system() { return ws->system(); }
};

void shootEditors(const QString& out, bool english) {
  Workbench bench(english);
  for (int g = 1; g <= 4; ++g) bench.system().group(g).threshold = "100";
  bench.system().group(2).sl = "0";
  bench.system().group(4).sl = "0";
  SignalGroupPage groups(*bench.ws);
  groups.show();
  groups.showGroup(bench.system(), 2);
  for (const char* type : {"Moving Average", "RSI", "Stochastik"}) {
    groups.groupEditor().indicatorTypeChoice()->setCurrentText(type);
    groups.groupEditor().addIndicatorButton()->click();
  }
  GeneralSettingsEditor general(*bench.ws);
  MoneyManagementEditor mm(*bench.ws);
  general.show();
  mm.show();
  general.activateControls(bench.system());
  mm.activateControls(bench.system());
  for (const QSize size : {QSize(1280, 800), QSize(640, 420)}) {
    const QString suffix = QString("_%1x%2%3.png").arg(size.width()).arg(size.height()).arg(english ? "_en" : "");
    for (int arrangement : {0, 1}) {
      groups.resize(size);
      groups.setArrangement(arrangement);
      settle();
      groups.grab().save(out + QString("/ixi%1").arg(arrangement) + suffix);
    }
    general.resize(size);
    mm.resize(size);
    settle();
    general.grab().save(out + "/general" + suffix);
    mm.grab().save(out + "/mm" + suffix);
  }
}

void shootSettingsPage(const QString& out, bool english) {
  Workbench bench(english);
  // A wine prefix with one terminal, so that the page offers what it found.
  QTemporaryDir home;
  const fs::path terminalFolder = fs::path(home.path().toStdString()) / ".wine/drive_c/Program Files/MetaTrader 4";
  fs::create_directories(terminalFolder);
  QFile terminal(QString::fromStdString((terminalFolder / "terminal.exe").string()));
  if (!terminal.open(QIODevice::WriteOnly)) std::fprintf(stderr, "no terminal in the wine prefix\n");

  QWidget area;
  auto* layout = new QVBoxLayout(&area);
  auto* bar = new QTabBar(&area);
  for (const char* t : {"GENERAL", "LONG", "EXIT LONG", "SHORT", "EXIT SHORT", "MM", "EINSTELLUNGEN"}) bar->addTab(t);
  bar->setCurrentIndex(6);
  auto* tabs = new QTabWidget(&area);
  tabs->setObjectName("TC2");
  tabs->tabBar()->hide();
  auto* page = new SettingsPage(*bench.ws, bench.host);
  page->setHomeFolder(home.path());
  tabs->addTab(page, QString());
  layout->addWidget(bar);
  layout->addWidget(tabs);
  page->setTabStrips(bar, tabs);
  area.resize(800, 520);
  area.show();
  settle();
  area.grab().save(out + "/settings_page.png");
  page->applyDefaults();
  settle();
  area.grab().save(out + "/settings_page_default.png");
}

void shootExportDialog(const QString& out, bool english) {
  Workbench bench(english);
  ExportPartDialog dialog(*bench.ws, "Indikator", {1, {1}, 1}, QPoint(0, 0));
  dialog.nameEdit()->setText("Trendfilter");
  dialog.show();
  settle();
  dialog.grab().save(out + "/toolbox_plus.png");
}

void shootWindow(const QString& out, bool english) {
  for (const QSize size : {QSize(1280, 800), QSize(1024, 768)}) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    fs::copy(fs::path(ZORVIK_SOURCE_DIR) / "res", root / "res", fs::copy_options::recursive);
    fs::copy(fs::path(ZORVIK_SOURCE_DIR) / "examples" / "user", root / "user", fs::copy_options::recursive);
    if (english) {
      QFile ini(dir.path() + "/res/Zorvik.ini");
      if (ini.open(QIODevice::WriteOnly)) ini.write("LANGUAGE=ENGLISCH\r\n");
    }
    RecordingHost host;
    Workspace ws(root, host);
    MainWindow form(ws, host, nullptr, [&](MainWindow& f) { installProgramParts(f, ws, host); });
    form.heartbeatTimer()->stop();
    form.resize(size);
    form.show();
    settle();
    form.heartbeat();
    settle();
    const QString suffix = QString("_%1x%2%3.png").arg(size.width()).arg(size.height()).arg(english ? "_en" : "");
    form.grab().save(out + "/window_start" + suffix);

    form.libraryClicked();
    openSystem(ws, "MA Trendfolger.hsy.txt");
    form.heartbeat();
    settle();
    const auto shoot = [&](int tab, const QString& name) {
      form.tabSelector()->setCurrentIndex(tab);
      settle();
      form.grab().save(out + "/window_" + name + suffix);
    };
    shoot(0, "general");
    form.tabSelector()->setCurrentIndex(1);
    settle();
    if (auto* groups = qobject_cast<SignalGroupPage*>(form.editorPage(1))) {
      QTreeWidget* list = groups->groupEditor().indicatorList();
      if (list->topLevelItemCount() > 0) {
        list->setCurrentItem(list->topLevelItem(0));
        groups->groupEditor().editIndicatorButton()->click();
      }
    }
    shoot(1, "long_indicator");
    // The edit ends with "verwerfen"; each group tab then shows its own first indicator.
    if (auto* groups = qobject_cast<SignalGroupPage*>(form.editorPage(1))) groups->indicatorEditor().discardButton()->click();
    form.commandDispatch(cmd::SideBySide);
    shoot(1, "long_side_by_side");
    form.commandDispatch(cmd::OneUnderTheOther);
    shoot(2, "exit_long");
    shoot(5, "moneymanagement");
    shoot(6, "settings");

    if (auto* backtest = form.findChild<BacktestPage*>()) {
      const auto runAndWait = [&](const std::function<void()>& start) {
        QEventLoop loop;
        QObject::connect(backtest, &BacktestPage::runFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        start();
        loop.exec();
        backtest->tradeTable()->selectRow(2);
      };
      form.tabSelector()->setCurrentIndex(form.tabSelector()->count() - 1);
      runAndWait([&] { backtest->startRun(); });
      shoot(form.tabSelector()->count() - 1, "backtest");
      runAndWait([&] {
        ws.system().setParameter("mm_lots", "0.2");
        backtest->systemMayHaveChanged();
      });
      shoot(form.tabSelector()->count() - 1, "backtest_rerun");
    }

    SystemTestReport report(ws, evaluateSystem(ws, ws.system(), true), &form);
    report.show();
    settle();
    report.grab().save(out + "/system_test_report" + suffix);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments().mid(1);
  const bool english = args.contains("--english");
  QStringList folders = args;
  folders.removeAll("--english");
  if (folders.size() != 1) {
    std::fprintf(stderr, "usage: zorvik-screenshots <folder> [--english]\n");
    return 2;
  }
  const QString out = QDir(folders.front()).absolutePath();
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(out));
    return 1;
  }
  shootEditors(out, english);
  shootSettingsPage(out, english);
  shootExportDialog(out, english);
  shootWindow(out, english);
  return 0;
}
