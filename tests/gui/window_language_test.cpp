// Every text the window shows follows the chosen language. The whole program is assembled as
// main() does it, on the demo library, in English and in German; every page, menu, dock, the
// system test report with its difference list, the export and about windows, the library's
// hints, the restart question, an F1 topic and the boxes of the host are walked. A text of the other language's side of
// the language table (whole, as a line, as the start of a line, or as a phrase of several words inside one) fails the
// test, and so does a word that occurs only on the other side. Texts that are the same in both languages and
// identifiers are left out, and so is user data (names of library files, values typed into fields): it is the trader's
// own.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QLineEdit>
#include <QtTest>

#include <set>

#include "analysis/consistency_check.hpp"
#include "app/about_window.hpp"
#include "app/main_window.hpp"
#include "app/program_parts.hpp"
#include "app/qt_host.hpp"
#include "app/system_test_report.hpp"
#include "editors/export_part_dialog.hpp"
#include "help/help_topics.hpp"
#include "library/library_panel.hpp"
#include "test_support.hpp"
#include "window/command_table.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

using namespace zorvik;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The words of a table text: tags and mnemonics off, letters only.
QStringList wordsOf(const QString& text) {
  static const QRegularExpression word(QStringLiteral("[A-Za-zÄÖÜäöüß]{4,}"));
  QStringList words;
  QString plain = text;
  plain.remove(QRegularExpression(QStringLiteral("@\\d+")));
  plain.remove(QLatin1Char('&'));
  for (auto it = word.globalMatch(plain); it.hasNext();) words << it.next().captured().toLower();
  return words;
}

// Words a careful reader would call the other language's at once, beside what the table
// gives: the table cannot catch a caption whose German source text is English ("Status Bar"),
// nor a text that bypasses it. Only words that the other language never uses belong here, and
// only words of four letters or more are looked at.
const std::set<QString>& handPickedWordsOf(bool english) {
  static const std::set<QString> german{"nicht",        "oder",      "keine",   "bitte",      "datei",
                                        "ordner",       "speichern", "fehler",  "werden",     "noch",
                                        "vorher",       "hilfe",     "sprache", "schliessen", "einstellungen",
                                        "kapitalkurve", "darf",      "negativ", "übernehmen", "über"};
  static const std::set<QString> englishWords{"please",  "save",     "file",     "folder", "cancel",  "close",
                                              "reset",   "toolbars", "cannot",   "must",   "restart", "program",
                                              "missing", "settings", "language", "about",  "licence", "manual"};
  return english ? german : englishWords;
}

// Words of one side of the table that never occur on the other side. "Chart" is German
// traders' word as well; the choice lists write it alike in both languages.
std::set<QString> wordsOnlyOn(const LanguageTable& table, bool germanSide) {
  std::set<QString> own, other;
  for (const auto& e : table.entries()) {
    for (const QString& w : wordsOf(q(e.german))) (germanSide ? own : other).insert(w);
    for (const QString& w : wordsOf(q(e.english))) (germanSide ? other : own).insert(w);
  }
  std::set<QString> only;
  for (const QString& w : own)
    if (!other.count(w) && w != QLatin1String("chart")) only.insert(w);
  return only;
}

// A table text as it is shown: without its tag ("@2"), mnemonic and outer blanks.
QString shownForm(const std::string& text) {
  QString plain = q(text);
  plain.remove(QRegularExpression(QStringLiteral("@\\d+$")));
  plain.remove(QLatin1Char('&'));
  return plain.trimmed();
}

// An identifier, a key or a mark rather than a sentence: one token without lower-case letters
// ("GENERAL", "STOP="), or with an underscore or a leading "id".
bool isIdentifier(const QString& text) {
  if (text.contains(QLatin1Char(' '))) return false;
  static const QRegularExpression lower(QStringLiteral("[a-zäöüß]"));
  return !text.contains(lower) || text.contains(QLatin1Char('_')) || text.startsWith(QLatin1String("id"));
}

// The texts of the other side of the table that the shown language never uses itself.
struct ForeignTexts {
  std::set<QString> whole;    // a shown line must not be one of these
  QStringList prefixes;       // nor start with one of these (texts that lead into a detail)
  QStringList phrases;        // nor hold one of these (several words)
};

ForeignTexts foreignTextsOf(const LanguageTable& table, bool english) {
  std::set<QString> own, other;
  for (const auto& e : table.entries()) {
    const QString german = shownForm(e.german), shownEnglish = shownForm(e.english);
    // An id's German caption comes from the definition table, not from this side.
    if (shownEnglish.isEmpty() || isIdentifier(german)) continue;
    // A text both languages write alike belongs to either side.
    if (german == shownEnglish) {
      own.insert(german);
      continue;
    }
    (english ? own : other).insert(shownEnglish);
    (english ? other : own).insert(german);
  }
  ForeignTexts foreign;
  static const QRegularExpression letters(QStringLiteral("[A-Za-zÄÖÜäöüß]{2,}"));
  for (const QString& text : other) {
    if (own.count(text) || isIdentifier(text) || !text.contains(letters)) continue;
    foreign.whole.insert(text);
    const QString raw = text;
    if (text.size() >= 4 && (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char('!')))) foreign.prefixes << raw;
    if (text.count(QLatin1Char(' ')) >= 2) foreign.phrases << raw;
  }
  return foreign;
}

// A host whose boxes never block: messages are kept, questions answered No.
class QuietHost : public QtHost {
 public:
  QStringList shown;
  QStringList deferred;
  void message(const std::string& text) override { shown << q(text); }
  void deferredMessage(const std::string& text) override { deferred << q(text); }
  bool askYesNo(const std::string& text) override {
    shown << q(text);
    return false;
  }
};

struct Seen {
  QString text;
  QString where;
};

void collect(QWidget* root, std::vector<Seen>& seen, const QWidget* skip) {
  const auto add = [&seen](const QString& text, const QObject* from) {
    if (!text.trimmed().isEmpty()) seen.push_back({text, from->objectName() + "/" + from->metaObject()->className()});
  };
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* w : widgets) {
    if (!w->isVisibleTo(root) && w != root) continue;
    if (skip && (w == skip || skip->isAncestorOf(w))) continue;
    add(w->toolTip(), w);
    // The about window's folders are paths of this machine, not words of the program.
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->objectName().endsWith(QLatin1String("Folder")))
      add(label->text(), w);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) add(button->text(), w);
    if (auto* box = qobject_cast<QGroupBox*>(w)) add(box->title(), w);
    if (auto* dock = qobject_cast<QDockWidget*>(w)) add(dock->windowTitle(), w);
    if (auto* tabs = qobject_cast<QTabBar*>(w))
      for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i), w), add(tabs->tabToolTip(i), w);
    if (auto* combo = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < combo->count(); ++i) add(combo->itemText(i), w);
    if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
      for (int c = 0; c < tree->columnCount(); ++c) add(tree->headerItem()->text(c), w);
      for (QTreeWidgetItemIterator it(tree); *it; ++it)
        for (int c = 0; c < tree->columnCount(); ++c) add((*it)->text(c), w);
    }
  }
}

void collectMenu(QMenu* menu, const QString& where, std::vector<Seen>& seen) {
  for (QAction* a : menu->actions()) {
    seen.push_back({a->text(), where});
    // Qt gives an action its text as tool tip when none was set; only a tool tip of its own counts.
    if (a->toolTip() != QString(a->text()).remove(QLatin1Char('&')))
      seen.push_back({a->toolTip(), where + " tool tip"});
    if (a->menu()) collectMenu(a->menu(), where + "/" + a->text(), seen);
  }
}

void collectMenus(QMenuBar* bar, std::vector<Seen>& seen) {
  for (QAction* top : bar->actions()) {
    seen.push_back({top->text(), QStringLiteral("menu bar")});
    if (QMenu* menu = top->menu()) collectMenu(menu, top->text(), seen);
  }
}

}  // namespace

class WindowLanguageTest : public QObject {
  Q_OBJECT

  // Everything the window shows in the given language, page by page.
  static std::vector<Seen> walkWindow(bool english, QuietHost& host, std::unique_ptr<Workspace>& ws,
                                      testing::TempDir& dir) {
    testing::FolderSeed seed;
    seed.demoLibrary = true;
    seed.settings = english ? "LANGUAGE=ENGLISCH\r\n" : "LANGUAGE=DEUTSCH\r\n";
    testing::seedWorkingFolder(dir.path(), seed);
    ws = std::make_unique<Workspace>(dir.path(), host);
    MainWindow form(*ws, host, nullptr, [&](MainWindow& f) { installProgramParts(f, *ws, host); });
    form.heartbeatTimer()->stop();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
    form.heartbeat();
    form.libraryClicked();  // leaves the start mode as a click into the library does
    openSystem(*ws, "MA Trendfolger.hsy.txt");
    form.heartbeat();
    QTest::qWait(20);

    std::vector<Seen> seen;
    // The library's entries are the trader's file names; its group captions are ours.
    auto* library = qobject_cast<LibraryPanel*>(form.libraryPanel());
    if (library)
      for (int i = 0; i < library->tree()->topLevelItemCount(); ++i)
        seen.push_back({library->tree()->topLevelItem(i)->text(0), QStringLiteral("library group")});
    form.buildLatePages();
    // Every tab, the backtest page after the editors included.
    for (int tab = 0; tab < form.tabSelector()->count(); ++tab) {
      form.tabSelector()->setCurrentIndex(tab);
      QTest::qWait(10);
      collect(&form, seen, library);
    }
    collectMenus(form.menuBar(), seen);
    collectMenu(form.libraryContextMenu(), QStringLiteral("library context menu"), seen);
    // A click on the empty Expert Advisors group explains where they come from.
    if (library) {
      for (int i = 0; i < library->tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = library->tree()->topLevelItem(i);
        if (group->text(0) == QLatin1String("Expert Advisors") && group->childCount() == 0)
          seen.push_back(
              {q(library->library().emptyGroupMessage(libgroup::ExpertAdvisors)), QStringLiteral("library hint")});
      }
      seen.push_back({q(library->library().emptyGroupMessage(libgroup::Indicators)), QStringLiteral("library hint")});
    }
    // The F1 topic of a control on the backtest page.
    if (auto* topics = form.findChild<HelpTopics*>()) {
      const auto* page = form.findChild<QWidget*>(QStringLiteral("backtestStart"));
      if (page && topics->helpTopicRequestAt(&form, kKeyF1, const_cast<QWidget*>(page)))
        for (const QString& text : host.deferred) seen.push_back({text, QStringLiteral("F1 topic")});
    }

    SystemTestReport report(*ws, evaluateSystem(*ws, ws->system(), true), &form);
    collect(&report, seen, report.differenceView());
    for (const QString& line : report.differenceView()->toPlainText().split(QLatin1Char('\n')))
      seen.push_back({line, QStringLiteral("difference list")});

    ExportPartDialog exportDialog(*ws, QStringLiteral("Indikator"), {1, {1}, 1}, QPoint(0, 0), &form);
    exportDialog.show();
    collect(&exportDialog, seen, nullptr);
    AboutWindow about(*ws, {}, &form);
    about.show();
    collect(&about, seen, nullptr);
    // What the program says in its boxes while the window was walked.
    for (const QString& text : host.shown) seen.push_back({text, QStringLiteral("message")});

    // The boxes of the host: their buttons are Qt's unless the host names them.
    QtHost plain;
    plain.setTranslator([&ws](std::string_view german) { return ws->tr(german); });
    QTimer::singleShot(0, [&seen] {
      if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
        collect(dialog, seen, nullptr);
        dialog->reject();
      }
    });
    plain.chooseSystemName(ws->tr("Name Handelssystem"));
    QTimer::singleShot(0, [&seen] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        collect(box, seen, nullptr);
        box->reject();
      }
    });
    plain.askYesNo("?");
    // Last, as it switches the table: the restart question, asked in the language of the
    // window that asks.
    const qsizetype before = host.shown.size();
    form.commandDispatch(english ? cmd::German : cmd::English);
    for (qsizetype i = before; i < host.shown.size(); ++i)
      seen.push_back({host.shown[i], QStringLiteral("restart question")});
    return seen;
  }

  static void check(bool english) {
    QuietHost host;
    std::unique_ptr<Workspace> ws;
    testing::TempDir dir;
    const std::vector<Seen> seen = walkWindow(english, host, ws, dir);
    QVERIFY(seen.size() > 50);
    // The German program loads no table; both sides come from the English one.
    LanguageTable table;
    QVERIFY(table.loadLanguageFile(ws->resFile("langEng.txt")));
    QVERIFY(table.entries().size() > 100);
    std::set<QString> foreignWords = wordsOnlyOn(table, english);
    foreignWords.insert(handPickedWordsOf(english).begin(), handPickedWordsOf(english).end());
    const ForeignTexts foreign = foreignTextsOf(table, english);
    QStringList wrong;
    for (const Seen& s : seen) {
      const QString where = QStringLiteral(" in \"%1\" (%2)").arg(s.text.left(80), s.where);
      for (const QString& w : wordsOf(s.text))
        if (foreignWords.count(w)) wrong << w + where;
      for (QString line : s.text.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('&'));
        line = line.trimmed();
        if (foreign.whole.count(line)) wrong << line + where;
        for (const QString& prefix : foreign.prefixes)
          if (line.startsWith(prefix)) wrong << prefix + where;
        for (const QString& phrase : foreign.phrases)
          if (line.contains(phrase)) wrong << phrase + where;
      }
    }
    wrong.removeDuplicates();
    if (!wrong.isEmpty()) qWarning().noquote() << wrong.join(QLatin1Char('\n'));
    QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + " texts in the wrong language"));
    // Everything the walk asked the table for was there: the about window's list stays empty.
    if (english) {
      QStringList missing;
      for (const auto& text : ws->language.missingTexts()) missing << q(text);
      QVERIFY2(missing.isEmpty(), qPrintable(missing.join(" | ")));
    }
  }

 private slots:
  void englishWindowShowsNoGerman() { check(true); }
  void germanWindowShowsNoEnglish() { check(false); }

  // Qt's own texts follow too: a text box's context menu in German, then in English.
  void qtsOwnTextsFollowTheLanguage() {
    for (const bool english : {false, true}) {
      QuietHost host;
      testing::TempDir dir;
      testing::FolderSeed seed;
      seed.settings = english ? "LANGUAGE=ENGLISCH\r\n" : "LANGUAGE=DEUTSCH\r\n";
      testing::seedWorkingFolder(dir.path(), seed);
      Workspace ws(dir.path(), host);
      MainWindow form(ws, host, nullptr, [&](MainWindow& f) { installProgramParts(f, ws, host); });
      form.heartbeatTimer()->stop();
      form.show();
      if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
      QLineEdit box;
      const auto entries = [&box] {
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList out;
        for (QAction* a : menu->actions())
          if (!a->isSeparator()) out << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        return out;
      };
      // The catalogue comes after the first paint, before any dialog or menu can open.
      QTRY_VERIFY2(entries().contains(english ? "Paste" : "Einfügen"), qPrintable(entries().join(", ")));
    }
  }
};

QTEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
