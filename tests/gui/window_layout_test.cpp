// The whole window as main() builds it, on the demo library with a system open, at the two
// screen sizes a trader is likely to have (1280 x 800 and 1024 x 700) and in both languages:
// every tab caption of the editor area readable at once, the manual without a horizontal
// scroll bar, the indicator list's entries whole where the list is wide enough, and every
// figure of the backtest's statistics inside its column.
#include <QDockWidget>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QtCharts/QChartView>
#include <QtTest>

#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "app/tab_selector.hpp"
#include "backtest/backtest_page.hpp"
#include "editors/eliding_label.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/signal_group_editor.hpp"
#include "editors/signal_group_page.hpp"
#include "help/help_panel.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

using namespace zorvik;

namespace {

struct Case {
  QSize size;
  bool english;
  QString name() const {
    return QStringLiteral("%1x%2 %3").arg(size.width()).arg(size.height()).arg(english ? "en" : "de");
  }
};

const std::vector<Case>& cases() {
  static const std::vector<Case> all{
      {{1280, 800}, false}, {{1280, 800}, true}, {{1024, 700}, false}, {{1024, 700}, true}};
  return all;
}

// The program as main() assembles it, in edit mode with the demo system open.
struct Window {
  testing::TempDir dir;
  RecordingHost host;
  std::unique_ptr<Workspace> ws;
  std::unique_ptr<MainWindow> form;

  explicit Window(const Case& c) {
    testing::FolderSeed seed;
    seed.demoLibrary = true;
    seed.settings = c.english ? "LANGUAGE=ENGLISCH\r\n" : "LANGUAGE=DEUTSCH\r\n";
    testing::seedWorkingFolder(dir.path(), seed);
    ws = std::make_unique<Workspace>(dir.path(), host);
    form =
        std::make_unique<MainWindow>(*ws, host, nullptr, [this](MainWindow& f) { installProgramParts(f, *ws, host); });
    form->heartbeatTimer()->stop();
    form->resize(c.size);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) qWarning("window not exposed");
    QTest::qWait(30);  // the first picture, and what waits for it
    form->heartbeat();
    form->libraryClicked();  // leaves the start mode as a click into the library does
    openSystem(*ws, "MA Trendfolger.hsy.txt");
    form->heartbeat();
    QTest::qWait(30);
  }

  void select(int tab) {
    form->tabSelector()->setCurrentIndex(tab);
    QTest::qWait(20);
  }
};

// An entry of the list shown whole in its cell, on as many lines as the row has room for.
bool shownWhole(const QTreeWidget* list, const QTreeWidgetItem* item, int column) {
  const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
  const int width = list->columnWidth(column) - margins;
  const QRect needed =
      list->fontMetrics().boundingRect(QRect(0, 0, width, 1 << 16), Qt::TextWordWrap, item->text(column));
  return needed.width() <= width && needed.height() <= list->visualItemRect(item).height();
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void everyTabCaptionIsReadableAtOnce() {
    for (const Case& c : cases()) {
      Window w(c);
      auto* tabs = qobject_cast<TabSelector*>(w.form->tabSelector());
      QVERIFY(tabs);
      QCOMPARE(tabs->count(), MainWindow::kTabCount + 1);
      for (int tab = 0; tab < tabs->count(); ++tab) {
        w.select(tab);
        const QString where = c.name() + " tab " + QString::number(tab);
        QVERIFY2(tabs->isVisible(), qPrintable(where));
        QVERIFY2(tabs->sizeHint().width() <= tabs->width(), qPrintable(where));
        // Readable: the strip's own font, in no more than two rows.
        QVERIFY2(tabs->font().pointSizeF() >= 0.9 * QApplication::font().pointSizeF() - 0.01, qPrintable(where));
        QVERIFY2(tabs->rowCount() <= 2, qPrintable(where));
        for (const QToolButton* arrow : tabs->findChildren<QToolButton*>())
          QVERIFY2(!arrow->isVisible(), qPrintable(where));
        for (int i = 0; i < tabs->count(); ++i) {
          const QRect area = tabs->tabArea(i);
          const QString caption = where + " caption " + tabs->tabText(i);
          QVERIFY2(tabs->rect().contains(area), qPrintable(caption));
          const int icon = tabs->tabIcon(i).isNull() ? 0 : tabs->iconSize().width();
          QVERIFY2(area.width() > tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + icon, qPrintable(caption));
          for (int k = 0; k < i; ++k) QVERIFY2(!area.intersects(tabs->tabArea(k)), qPrintable(caption));
          QCOMPARE(tabs->tabIndexAt(area.center()), i);
        }
      }
    }
  }

  void theManualNeedsNoHorizontalScrolling() {
    for (const Case& c : cases()) {
      Window w(c);
      auto* help = qobject_cast<HelpPanel*>(w.form->helpPanel());
      QVERIFY(help);
      QTextBrowser* view = help->webView();
      // The manual comes after the first picture.
      QTRY_VERIFY(view->source().isLocalFile());
      QVERIFY(view->isVisible());
      const QString where = c.name() + " " + view->source().fileName();
      QVERIFY2(view->source().fileName() == (c.english ? "index_en.html" : "index.html"), qPrintable(where));
      // The page is laid out a part at a time; the scroll bar's range settles with the last part.
      QTRY_COMPARE_WITH_TIMEOUT(view->horizontalScrollBar()->maximum(), 0, 3000);
    }
  }

  void theIndicatorListShowsItsEntriesWhole() {
    // Name, date, share and number whole, on one line or two; the parameters (a long string
    // without blanks) are the only entries that may be shortened; every caption whole.
    for (const Case& c : cases()) {
      Window w(c);
      for (int tab = 1; tab <= 4; ++tab) {
        w.select(tab);
        auto* groups = qobject_cast<SignalGroupPage*>(w.form->editorPage(tab));
        QVERIFY(groups);
        QTreeWidget* list = groups->groupEditor().indicatorList();
        const QString where = c.name() + " tab " + QString::number(tab);
        QVERIFY2(list->topLevelItemCount() > 0, qPrintable(where));
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
          for (int col : {0, 1, 3, 4})
            QVERIFY2(shownWhole(list, list->topLevelItem(i), col),
                     qPrintable(where + " entry " + list->topLevelItem(i)->text(col)));
        const QFontMetrics header = list->header()->fontMetrics();
        for (int col = 0; col < list->columnCount(); ++col) {
          const QString caption = list->headerItem()->text(col);
          const QStringList lines = caption.split(QLatin1Char('\n'));
          for (const QString& line : lines)
            QVERIFY2(header.horizontalAdvance(line) < list->columnWidth(col), qPrintable(where + " caption " + line));
          QVERIFY2(lines.size() * header.lineSpacing() <= list->header()->height(),
                   qPrintable(where + " caption " + caption));
        }
      }
    }
  }

  // Side by side from the menu: where the screen allows it, the help and library panels make
  // room; where it does not, the status bar says why the editors stay one under the other.
  void sideBySideTakesTheRoomItNeedsOrSaysWhyNot() {
    for (const Case& c : cases()) {
      Window w(c);
      w.select(1);
      auto* groups = qobject_cast<SignalGroupPage*>(w.form->editorPage(1));
      QVERIFY(groups);
      w.form->commandDispatch(142);  // one under the other
      QVERIFY(!groups->showsSideBySide());
      const int helpWidth = w.form->helpDock()->width();
      const std::size_t statuses = w.host.statuses.size();
      w.form->commandDispatch(141);
      QTest::qWait(20);
      const QString where = c.name();
      if (c.size.width() >= 1280) {
        QVERIFY2(groups->showsSideBySide(), qPrintable(where));
        // Both editors whole in their panels: nothing to scroll sideways.
        for (QWidget* editor : {static_cast<QWidget*>(&groups->groupEditor()), static_cast<QWidget*>(&groups->indicatorEditor())}) {
          auto* area = qobject_cast<QScrollArea*>(editor->parentWidget()->parentWidget());
          QVERIFY2(area, qPrintable(where));
          QVERIFY2(area->horizontalScrollBar()->maximum() == 0, qPrintable(where + " " + editor->metaObject()->className()));
        }
        // A heading too long for the narrower editor ends in "..." rather than being cut.
        QLabel* heading = groups->indicatorEditor().heading();
        QVERIFY2(heading->fontMetrics().horizontalAdvance(heading->text()) <= heading->contentsRect().width() ||
                     qobject_cast<ElidingLabel*>(heading),
                 qPrintable(where + " " + heading->text()));
        // The narrower manual still wraps its lines.
        auto* help = qobject_cast<HelpPanel*>(w.form->helpPanel());
        QVERIFY(help);
        QTRY_VERIFY(help->webView()->source().isLocalFile());
        QTRY_COMPARE_WITH_TIMEOUT(help->webView()->horizontalScrollBar()->maximum(), 0, 3000);
        // One under the other gives the help panel its width back.
        QVERIFY2(w.form->helpDock()->width() < helpWidth, qPrintable(where));
        w.form->commandDispatch(142);
        QTest::qWait(20);
        QVERIFY2(std::abs(w.form->helpDock()->width() - helpWidth) <= 2, qPrintable(where));
      } else {
        QVERIFY2(!groups->showsSideBySide(), qPrintable(where));
        QVERIFY2(w.host.statuses.size() > statuses, qPrintable(where));
        QVERIFY2(w.host.statuses.back().find(c.english ? "too narrow" : "zu schmal") != std::string::npos,
                 qPrintable(where));
      }
    }
  }

  void theBacktestStatisticsShowEveryFigureWhole() {
    for (const Case& c : cases()) {
      Window w(c);
      auto* page = w.form->findChild<BacktestPage*>();
      QVERIFY(page);
      w.select(w.form->tabSelector()->count() - 1);
      QSignalSpy finished(page, &BacktestPage::runFinished);
      page->startRun();
      QVERIFY(finished.wait(20000) || finished.count() > 0);
      QTest::qWait(20);
      QTreeWidget* statistics = page->statisticsView();
      const QString where = c.name();
      QCOMPARE(statistics->topLevelItemCount(), 17);
      QCOMPARE(statistics->horizontalScrollBar()->maximum(), 0);
      for (int i = 0; i < statistics->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = statistics->topLevelItem(i);
        for (int col : {0, 1})
          QVERIFY2(shownWhole(statistics, item, col), qPrintable(where + " " + item->text(0) + " " + item->text(1)));
      }
      const int used = statistics->columnWidth(0) + statistics->columnWidth(1);
      QVERIFY2(used <= statistics->viewport()->width(), qPrintable(where));
    }
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
