// The component editors driven as a user would: the signal group editor with its indicator
// editor, the money-management and the general settings editor, offscreen.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

#include "editors/accept_discard_buttons.hpp"
#include "editors/general_settings_editor.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/money_management_editor.hpp"
#include "editors/parameter_row_builder.hpp"
#include "editors/signal_group_editor.hpp"
#include "editors/signal_group_page.hpp"
#include "editors/value_slider.hpp"
#include "gui_workspace.hpp"
#include "model/trading_system.hpp"
#include "platform/recording_host.hpp"
#include "workspace/workspace.hpp"

namespace fs = std::filesystem;
using namespace zorvik;

namespace {

// A started workspace on a copy of res/ with a fresh system.
struct Env : testing::GuiWorkspace {
  explicit Env(bool english = false)
      : GuiWorkspace(english ? QByteArray("LANGUAGE=ENGLISCH\r\n") : QByteArray(), true) {
    for (int g = 1; g <= 4; ++g) ws->system().group(g).threshold = "100";
    ws->system().group(2).sl = "0";
    ws->system().group(4).sl = "0";
  }
  TradingSystem& system() { return ws->system(); }
};

int rowOf(ParameterRowBuilder& rows, const char* key) { return rows.rowOfKey(key); }

void typeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

void addIndicator(SignalGroupEditor& xi, const QString& type) {
  xi.indicatorTypeChoice()->setCurrentText(type);
  QTest::mouseClick(xi.addIndicatorButton(), Qt::LeftButton);
}

QStringList column(QTreeWidget* list, int c) {
  QStringList out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(c);
  return out;
}

}  // namespace

class EditorsTest : public QObject {
  Q_OBJECT
 private slots:
  void addEditByTextAndSliderAndAccept() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    host.showGroup(env.system(), 1);
    SignalGroupEditor& xi = host.groupEditor();
    IndicatorEditor& i = host.indicatorEditor();
    QSignalSpy overview(&host, &SignalGroupPage::overviewChanged);

    addIndicator(xi, "RSI");
    SignalGroup& g = env.system().group(1);
    QCOMPARE(g.count(), 1);
    QCOMPARE(xi.indicatorList()->topLevelItemCount(), 1);
    QCOMPARE(i.heading()->text(), QString("RSI-Einstellungen"));
    QVERIFY(overview.count() >= 1);
    const std::string createdAt = g.indicator(1).parameter("lastedittime");

    const int period = rowOf(i.rows(), "period");
    QVERIFY(period >= 0);
    ValueSlider* slider = i.rows().slider(period);
    QLineEdit* text = i.rows().textBox(period);
    QCOMPARE(text->text(), QString("55"));
    slider->setValue(30);
    QCOMPARE(text->text(), QString("30"));
    QCOMPARE(g.indicator(1).parameter("period"), std::string("30"));
    typeInto(text, "45");
    QCOMPARE(slider->value(), 45);
    QCOMPARE(g.indicator(1).parameter("period"), std::string("45"));

    // A choice row stores the id of the chosen caption.
    QComboBox* timeframe = i.rows().comboBox(rowOf(i.rows(), "timeframe"));
    timeframe->setCurrentIndex(5);
    QCOMPARE(g.indicator(1).parameter("timeframe"), std::string("idH1"));

    g.editok = 0;
    QTest::mouseClick(i.acceptButton(), Qt::LeftButton);
    QCOMPARE(g.indicator(1).parameter("period"), std::string("45"));
    QCOMPARE(g.editok, 1);
    QVERIFY(g.indicator(1).parameter("lastedittime") >= createdAt);
    QVERIFY(xi.indicatorList()->topLevelItem(0)->text(2).contains("/45/"));
    QCOMPARE(xi.indicatorList()->topLevelItem(0)->text(3), QString("1 von 1=100%"));
    QCOMPARE(env.host.statuses.back(), std::string("Indikator OK"));
    // The edited indicator is open again, ready for the next change.
    QCOMPARE(xi.edit().number(), 1);
    QVERIFY(xi.edit().copyValid());
  }

  // A value that can never be valid is refused where it is typed: its reason stands beside the
  // field, the indicator keeps the last valid value (typed key by key, "72,5" leaves "72"), and
  // "übernehmen" does not pretend to take it. A German decimal comma is a decimal point.
  void aValueThatCanNeverBeValidIsRefusedBesideItsField() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    host.showGroup(env.system(), 1);
    addIndicator(host.groupEditor(), "Bollinger Bands");
    IndicatorEditor& editor = host.indicatorEditor();
    ParameterRowBuilder& rows = editor.rows();
    const Indicator& ind = env.system().group(1).indicator(1);
    const int period = rowOf(rows, "period");
    const int deviation = rowOf(rows, "bo_stab");
    QCOMPARE(rows.valueProblemText(period), QString());
    const struct {
      int row;
      const char* typed;
      const char* stored;  // what the indicator holds afterwards: the last valid text typed
      const char* reason;  // beside the field; empty when taken
    } cases[] = {
        {period, "abc", "55", "ist keine Zahl"},
        {period, "-50", "55", "darf nicht negativ sein"},
        {period, "72,5", "72", "muss eine ganze Zahl sein"},
        {period, "500", "50", "liegt außerhalb des erlaubten Bereichs: 1 \u2013 200"},
        {period, "14", "14", ""},
        {deviation, "2,5", "2.5", ""},
        {deviation, "2.25", "2.25", ""},
        {deviation, "1e3", "1", "ist keine Zahl"},
    };
    for (const auto& c : cases) {
      const char* key = c.row == period ? "period" : "bo_stab";
      typeInto(rows.textBox(c.row), c.typed);
      QCOMPARE(QString::fromStdString(ind.parameter(key)), QString(c.stored));
      QCOMPARE(rows.valueProblemText(c.row), QString::fromUtf8(c.reason));
      auto* reason = host.findChild<QLabel*>(QString("ValueReason_%1").arg(c.row));
      QCOMPARE(reason != nullptr && reason->isVisible(), *c.reason != 0);
      if (*c.reason) QVERIFY(reason->toolTip() == QString::fromUtf8(c.reason));
      // The slider gives the reason its place and comes back once the text is valid.
      if (c.row == period) QCOMPARE(rows.slider(period)->isVisible(), *c.reason == 0);
    }

    // "übernehmen" with a refused field keeps the edit open and names the field.
    env.system().group(1).editok = 0;
    QSignalSpy closed(&editor, &IndicatorEditor::closed);
    QTest::mouseClick(editor.acceptButton(), Qt::LeftButton);
    QCOMPARE(closed.count(), 0);
    QCOMPARE(env.system().group(1).editok, 0);
    QVERIFY(QString::fromStdString(env.host.statuses.back()).startsWith("Nicht übernommen, ungültiger Wert: Standardabweichung"));
    typeInto(rows.textBox(deviation), "2");
    QTest::mouseClick(editor.acceptButton(), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(env.system().group(1).indicator(1).parameter("bo_stab"), std::string("2"));
  }

  // A value read from a file stays readable: shown as stored, its reason beside it. English
  // keeps the comma a mistake, as English keyboards never type one for a point.
  void aStoredInvalidValueIsShownAndEnglishRefusesTheComma() {
    Env env(true);
    env.system().group(2).sl = "-50";
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    host.showGroup(env.system(), 2);
    ParameterRowBuilder* stops = &host.groupEditor().stopRows();
    const int sl = stops->rowOfKey("stop_sl");
    QCOMPARE(stops->textBox(sl)->text(), QString("-50"));
    QCOMPARE(stops->valueProblemText(sl), QString("must not be negative"));
    QCOMPARE(env.system().group(2).sl, std::string("-50"));
    typeInto(stops->textBox(sl), "300");
    QCOMPARE(env.system().group(2).sl, std::string("300"));
    typeInto(stops->textBox(sl), "3,5");
    QCOMPARE(env.system().group(2).sl, std::string("3"));
    QCOMPARE(stops->valueProblemText(sl), QString("is not a number"));
  }

  // The group editor's buttons stay in view when the first indicator brings them: the page
  // gives the group editor the height it now needs.
  void theFirstIndicatorsButtonsAreInView() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(525, 640);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    host.showGroup(env.system(), 1);
    QCOMPARE(env.system().group(1).count(), 0);
    addIndicator(host.groupEditor(), "RSI");
    QApplication::processEvents();
    for (QPushButton* button : {host.groupEditor().editIndicatorButton(), host.groupEditor().removeIndicatorButton()}) {
      QVERIFY(button->isVisible());
      auto* area = qobject_cast<QScrollArea*>(host.groupEditor().parentWidget()->parentWidget());
      QVERIFY(area);
      const QRect inView(button->mapTo(area->viewport(), QPoint(0, 0)), button->size());
      QVERIFY2(area->viewport()->rect().contains(inView), qPrintable(button->text()));
    }
  }

  void discardRestoresTheIndicatorExactly() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    host.showGroup(env.system(), 3);
    addIndicator(host.groupEditor(), "Moving Average");
    addIndicator(host.groupEditor(), "ADX");
    const SignalGroup before = env.system().group(3);

    // Open the first one, change a slider, a text and a list, then discard.
    QTreeWidget* list = host.groupEditor().indicatorList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    QCOMPARE(host.groupEditor().edit().number(), 1);
    IndicatorEditor& i = host.indicatorEditor();
    i.rows().slider(rowOf(i.rows(), "period"))->setValue(10);
    typeInto(i.rows().textBox(rowOf(i.rows(), "comment")), "Filter");
    i.rows().comboBox(rowOf(i.rows(), "ma_method"))->setCurrentIndex(2);
    QVERIFY(!(env.system().group(3) == before));
    QTest::mouseClick(i.discardButton(), Qt::LeftButton);
    QVERIFY(env.system().group(3) == before);
    QCOMPARE(env.host.statuses.back(), std::string("Indikator Abbruch"));
    QCOMPARE(i.rows().textBox(rowOf(i.rows(), "period"))->text(), QString("55"));

    // The edit button ends an edit with changes only after asking: No discards, Yes accepts.
    i.rows().slider(rowOf(i.rows(), "period"))->setValue(20);
    env.host.answers = {false};
    QTest::mouseClick(host.groupEditor().editIndicatorButton(), Qt::LeftButton);
    QVERIFY(env.system().group(3) == before);
    QCOMPARE(env.host.questions.size(), std::size_t{1});
    i.rows().slider(rowOf(i.rows(), "period"))->setValue(20);
    env.host.answers = {true};
    QTest::mouseClick(host.groupEditor().editIndicatorButton(), Qt::LeftButton);
    QCOMPARE(env.system().group(3).indicator(1).parameter("period"), std::string("20"));
    QCOMPARE(env.host.statuses.back(), std::string("Indikator OK"));
    // Without changes there is nothing to ask.
    QTest::mouseClick(host.groupEditor().editIndicatorButton(), Qt::LeftButton);
    QCOMPARE(env.host.questions.size(), std::size_t{2});
  }

  void removeRenumbersAndSortingKeepsNumbers() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    host.showGroup(env.system(), 1);
    SignalGroupEditor& xi = host.groupEditor();
    for (const char* type : {"RSI", "MACD", "ADX", "Bollinger Bands"}) addIndicator(xi, type);
    QCOMPARE(column(xi.indicatorList(), 4), QStringList({" # 1", " # 2", " # 3", " # 4"}));

    xi.indicatorList()->clearSelection();
    xi.findListItemByTag(2)->setSelected(true);
    QTest::mouseClick(xi.removeIndicatorButton(), Qt::LeftButton);
    QCOMPARE(env.system().group(1).count(), 3);
    QCOMPARE(column(xi.indicatorList(), 0), QStringList({"RSI", "ADX", "Bollinger Bands"}));
    QCOMPARE(column(xi.indicatorList(), 4), QStringList({" # 1", " # 2", " # 3"}));
    QCOMPARE(xi.findListItemByTag(3)->text(0), QString("Bollinger Bands"));
    QCOMPARE(env.host.statuses.back(), std::string("Kill Indikator"));

    xi.sortByColumn(0);
    QCOMPARE(column(xi.indicatorList(), 0), QStringList({"ADX", "Bollinger Bands", "RSI"}));
    xi.sortByColumn(0);
    QCOMPARE(column(xi.indicatorList(), 0), QStringList({"RSI", "Bollinger Bands", "ADX"}));
    QCOMPARE(xi.findListItemByTag(1)->text(0), QString("RSI"));

    // Removing the last ones leaves an empty editor with only the add button.
    for (int n = 0; n < 3; ++n) {
      xi.indicatorList()->topLevelItem(0)->setSelected(true);
      QTest::mouseClick(xi.removeIndicatorButton(), Qt::LeftButton);
    }
    QCOMPARE(env.system().group(1).count(), 0);
    QVERIFY(xi.removeIndicatorButton()->isHidden());
    QVERIFY(!host.indicatorEditor().acceptButton()->isEnabled());
  }

  void stopsShowZeroTextAndAreCopied() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    host.showGroup(env.system(), 2);
    SignalGroupEditor& xi = host.groupEditor();
    QVERIFY(xi.stopsPanel()->isVisible());
    QCOMPARE(xi.copyStopsButton()->text(), QString("Dieses STOP nach XS kopieren"));
    QCOMPARE(xi.copySettingsButton()->text(), QString("Diese XL-Einstellungen nach S kopieren"));
    QVERIFY(!xi.settingsOkButtons()->isVisible());

    ParameterRowBuilder& stops = xi.stopRows();
    const int sl = rowOf(stops, "stop_sl");
    QCOMPARE(stops.textBox(sl)->text(), QString("n.V"));
    QCOMPARE(stops.slider(sl)->value(), 0);
    stops.slider(sl)->setValue(12);
    QCOMPARE(env.system().group(2).sl, std::string("12"));
    stops.slider(sl)->setValue(0);
    QCOMPARE(stops.textBox(sl)->text(), QString("n.V"));
    QCOMPARE(env.system().group(2).sl, std::string("0"));
    typeInto(stops.textBox(rowOf(stops, "stop_tp")), "n.V");
    QCOMPARE(env.system().group(2).tp, std::string("0"));
    typeInto(stops.textBox(rowOf(stops, "stop_ts")), "25");
    QCOMPARE(stops.slider(rowOf(stops, "stop_ts"))->value(), 25);
    // A typed 0 turns into the zero text once the user leaves the box.
    typeInto(stops.textBox(sl), "0");
    QCOMPARE(stops.textBox(sl)->text(), QString("0"));
    emit stops.textBox(sl)->editingFinished();
    QCOMPARE(stops.textBox(sl)->text(), QString("n.V"));

    QSignalSpy overview(&host, &SignalGroupPage::overviewChanged);
    const std::size_t soundsBefore = env.host.sounds.size();
    QTest::mouseClick(xi.copyStopsButton(), Qt::LeftButton);
    QCOMPARE(env.system().group(4).sl, env.system().group(2).sl);
    QCOMPARE(env.system().group(4).tp, std::string("0"));
    QCOMPARE(env.system().group(4).ts, std::string("25"));
    QCOMPARE(overview.count(), 1);
    QCOMPARE(env.host.sounds.size(), soundsBefore + 1);
    QCOMPARE(env.host.sounds.back(), Sound::Clone);
    QCOMPARE(env.host.statuses.back(), std::string("Stops von XL nach XS kopiert"));

    // The settings copy puts XL at S; an entry group takes the exit group's stops along.
    QTest::mouseClick(xi.copySettingsButton(), Qt::LeftButton);
    QCOMPARE(env.host.statuses.back(),
             "Einstellungen von XL nach S kopiert: " + std::to_string(env.system().group(3).indicators().size()) +
                 " Indikatoren");
    QCOMPARE(env.system().group(3).name, std::string("S"));
    QCOMPARE(env.system().group(3).threshold, env.system().group(2).threshold);
    QCOMPARE(env.system().group(3).ts, std::string("25"));
    QCOMPARE(overview.count(), 2);
    QCOMPARE(env.host.sounds.size(), soundsBefore + 2);

    QTest::mouseClick(xi.stopsOkButtons()->acceptButton(), Qt::LeftButton);
    QCOMPARE(env.system().group(2).editok, 2);
    QTest::mouseClick(xi.stopsOkButtons()->discardButton(), Qt::LeftButton);
    QCOMPARE(env.system().group(2).editok, 1);

    // The threshold row of an entry group.
    host.showGroup(env.system(), 4);
    QCOMPARE(xi.copyStopsButton()->text(), QString("Dieses STOP nach XL kopieren"));
    host.showGroup(env.system(), 1);
    QVERIFY(!xi.stopsPanel()->isVisible());
    QVERIFY(xi.settingsOkButtons()->isVisible());
    const int threshold = rowOf(xi.settingRows(), "threshold");
    xi.settingRows().slider(threshold)->setValue(60);
    QCOMPARE(env.system().group(1).threshold, std::string("60"));
  }

  void captionsStayWholeAndTheVerdictButtonsInView() {
    // An indicator with long captions, on the page as the window gives it at 1280 x 800 and
    // at 1024 x 700: every caption whole, the verdict buttons inside the visible part.
    for (const QSize size : {QSize(520, 720), QSize(440, 620)}) {
      Env env;
      SignalGroupPage host(*env.ws);
      host.setArrangement(1);
      host.resize(size);
      host.show();
      host.showGroup(env.system(), 1);
      addIndicator(host.groupEditor(), "2 Moving Averages Cross");
      QTest::qWait(10);
      IndicatorEditor& editor = host.indicatorEditor();
      ParameterRowBuilder& rows = editor.rows();
      const int row = rows.rowOfKey("apricefast");
      QVERIFY(row >= 0);
      QLabel* caption = rows.captionLabel(row);
      const QString whole = QString::fromUtf8("Anwend.auf(schnell)");
      QCOMPARE(caption->text(), whole);
      QVERIFY(caption->fontMetrics().horizontalAdvance(whole) <= caption->width());
      for (QPushButton* b : {editor.acceptButton(), editor.discardButton()}) {
        QVERIFY(b->isVisible());
        const QRect shown(b->mapTo(&host, QPoint(0, 0)), b->size());
        QVERIFY2(host.rect().contains(shown), qPrintable(QString("%1x%2").arg(size.width()).arg(size.height())));
      }
    }
  }

  void zeroWordFollowsTheLanguage() {
    Env env(true);
    env.system().mm.maxlots = "0";
    MoneyManagementEditor mm(*env.ws);
    mm.resize(700, 500);
    mm.show();
    mm.activateControls(env.system());
    ParameterRowBuilder& rows = mm.rows();
    const int maxlots = rows.rowOfKey("mm_maxlots");
    const QString zero = QString::fromStdString(env.ws->tr("n.V"));
    QVERIFY(zero != QString("n.V"));
    QCOMPARE(rows.textBox(maxlots)->text(), zero);
    typeInto(rows.textBox(maxlots), "0.5");
    QCOMPARE(env.system().mm.maxlots, std::string("0.5"));
    typeInto(rows.textBox(maxlots), zero);  // the shown word reads back as 0
    QCOMPARE(env.system().mm.maxlots, std::string("0"));
  }

  void moneyManagementMethodSwitchAndZeroText() {
    Env env;
    env.system().mm.base = "2500";
    env.system().mm.delta = "700";
    env.system().mm.maxlots = "0";
    MoneyManagementEditor mm(*env.ws);
    mm.resize(700, 500);
    mm.show();
    mm.activateControls(env.system());
    ParameterRowBuilder& rows = mm.rows();
    QCOMPARE(rows.rowOfKey("mm_base"), -1);
    const int maxlots = rows.rowOfKey("mm_maxlots");
    QCOMPARE(rows.textBox(maxlots)->text(), QString("n.V"));
    rows.slider(maxlots)->setValue(150);
    QCOMPARE(rows.textBox(maxlots)->text(), QString("1.5"));
    QCOMPARE(env.system().mm.maxlots, std::string("1.5"));
    rows.slider(maxlots)->setValue(0);
    QCOMPARE(rows.textBox(maxlots)->text(), QString("n.V"));
    QCOMPARE(env.system().mm.maxlots, std::string("0"));
    typeInto(rows.textBox(maxlots), "0.25");
    QCOMPARE(rows.slider(maxlots)->value(), 25);
    QCOMPARE(env.system().mm.maxlots, std::string("0.25"));
    typeInto(rows.textBox(maxlots), "n.V");
    QCOMPARE(env.system().mm.maxlots, std::string("0"));

    QComboBox* method = rows.comboBox(rows.rowOfKey("mm_typ"));
    method->setCurrentIndex(method->findText(QString::fromStdString(
        env.ws->definitions.idToCaption("mm_typ", "idFixed Ratio", env.ws->captionLanguage()))));
    QCOMPARE(env.system().mm.type, std::string("idFixed Ratio"));
    QVERIFY(rows.rowOfKey("mm_base") >= 0);
    QCOMPARE(rows.textBox(rows.rowOfKey("mm_base"))->text(), QString("2500"));
    QCOMPARE(rows.textBox(rows.rowOfKey("mm_delta"))->text(), QString("700"));
    QCOMPARE(rows.comboBox(rows.rowOfKey("mm_typ"))->currentText(), method->currentText());

    QSignalSpy toolbox(&mm, &MoneyManagementEditor::toolboxRequested);
    QTest::mouseClick(mm.toolboxButton(), Qt::LeftButton);
    QCOMPARE(toolbox.takeFirst().at(0).toString(), QString("MM"));
    QTest::mouseClick(mm.okButtons()->acceptButton(), Qt::LeftButton);
    QCOMPARE(env.system().parameter("mm_editok").value_or(""), std::string("2"));
  }

  void generalSettingsAccountSwitchAndOk() {
    Env env;
    GeneralSettingsEditor g(*env.ws);
    MoneyManagementEditor mm(*env.ws);
    g.setMoneyManagementEditor(&mm);
    g.resize(700, 500);
    g.show();
    mm.activateControls(env.system());
    g.activateControls(env.system());
    ParameterRowBuilder& rows = g.rows();
    QVERIFY(!rows.comboBox(rows.rowOfKey("general_broker"))->isVisible());
    QVERIFY(!rows.captionLabel(rows.rowOfKey("general_kontotyp"))->isVisible());
    QVERIFY(rows.comboBox(rows.rowOfKey("general_account"))->isVisible());

    std::vector<int> kinds;
    g.switchBroker = [&](int kind, const std::string&) {
      kinds.push_back(kind);
      env.ws->brokerSymbols = kind == 2 ? std::vector<std::string>{"GOLD", "UK_100"}
                                        : std::vector<std::string>{"XAUUSD"};
      env.ws->catalogue.setSymbols(env.ws->language, env.ws->brokerSymbols);
    };
    QSignalSpy chosen(&g, &GeneralSettingsEditor::accountBrokerChosen);
    QComboBox* account = rows.comboBox(rows.rowOfKey("general_account"));
    account->setCurrentIndex(account->findText("100002=Demo LCG"));
    QCOMPARE(env.system().general.account, std::string("100002"));
    QCOMPARE(kinds, std::vector<int>{2});
    QCOMPARE(chosen.count(), 1);
    QComboBox* symbol = mm.rows().comboBox(mm.rows().rowOfKey("mm_symbol"));
    QCOMPARE(symbol->count(), 3);
    QCOMPARE(symbol->itemText(1), QString("GOLD"));

    typeInto(rows.textBox(rows.rowOfKey("general_bezeichnung")), "Trend H1");
    QCOMPARE(env.system().general.title, std::string("Trend H1"));

    QTest::mouseClick(g.okButtons()->acceptButton(), Qt::LeftButton);
    QTest::mouseClick(g.okButtons()->discardButton(), Qt::LeftButton);
    QCOMPARE(env.system().parameter("general_editok").value_or(""), std::string("1"));
  }

  void rowEventsRightClickHelpDropAndToolbox() {
    Env env;
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    host.showGroup(env.system(), 1);
    addIndicator(host.groupEditor(), "RSI");
    addIndicator(host.groupEditor(), "ADX");
    IndicatorEditor& i = host.indicatorEditor();
    QSignalSpy setting(&host, &SignalGroupPage::sliderSettingChanged);
    QSignalSpy help(&host, &SignalGroupPage::helpRequested);
    QSignalSpy drops(&host, &SignalGroupPage::itemDropped);
    QSignalSpy toolbox(&host, &SignalGroupPage::toolboxRequested);

    // Right button: the slider toggles its buttons. With Shift the indicator editor switches it
    // back, so the setting takes the state from before the click; the other editors take the
    // toggled state.
    env.ws->settings.sliderWithButtons = 0;
    ValueSlider* period = i.rows().slider(rowOf(i.rows(), "period"));
    QVERIFY(period->hideButtons());
    QTest::mouseClick(period, Qt::RightButton, {}, period->rect().center());
    QVERIFY(!period->hideButtons());
    QCOMPARE(setting.count(), 0);
    QTest::mouseClick(period, Qt::RightButton, Qt::ShiftModifier, period->rect().center());
    QVERIFY(!period->hideButtons());
    QCOMPARE(env.ws->settings.sliderWithButtons, std::int16_t(1));
    QCOMPARE(setting.count(), 1);
    ParameterRowBuilder& settings = host.groupEditor().settingRows();
    ValueSlider* threshold = settings.slider(rowOf(settings, "threshold"));
    QTest::mouseClick(threshold, Qt::RightButton, Qt::ShiftModifier, threshold->rect().center());
    QCOMPARE(env.ws->settings.sliderWithButtons, std::int16_t(threshold->hideButtons() ? 0 : 1));
    QCOMPARE(setting.count(), 2);

    QTest::mouseClick(i.rows().captionLabel(rowOf(i.rows(), "period")), Qt::LeftButton);
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.takeFirst().at(0).toString(), QString("period"));

    const auto drop = [](QWidget* target) {
      QMimeData data;
      data.setData(kLibraryItemMimeType, "Trend.ind.txt");
      QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
      QCoreApplication::sendEvent(target, &enter);
      QDropEvent dropEvent(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
      QCoreApplication::sendEvent(target, &dropEvent);
    };
    drop(i.rows().captionLabel(rowOf(i.rows(), "period")));
    drop(i.rows().slider(rowOf(i.rows(), "period")));
    drop(host.groupEditor().indicatorList()->viewport());
    QCOMPARE(drops.count(), 3);
    QCOMPARE(drops.at(0).at(0).toString(), QString("IFORM;CLabel;Periode;Trend.ind.txt"));
    QCOMPARE(drops.at(1).at(0).toString(), QString("IFORM;Slider;;Trend.ind.txt"));
    QCOMPARE(drops.at(2).at(0).toString(), QString("XIForm;List;;Trend.ind.txt"));

    host.groupEditor().indicatorList()->selectAll();
    QTest::mouseClick(host.groupEditor().toolboxButton(), Qt::LeftButton);
    QTest::mouseClick(i.toolboxButton(), Qt::LeftButton);
    QCOMPARE(toolbox.count(), 2);
    QCOMPARE(toolbox.at(0).at(0).toString(), QString("Indikatorengruppe"));
    QCOMPARE(toolbox.at(1).at(0).toString(), QString("Indikator"));
  }

  void everyEditorTextHasAnEnglishLine() {
    Env env(true);
    QVERIFY(env.ws->language.english());
    SignalGroupPage host(*env.ws);
    host.resize(1000, 600);
    host.show();
    for (int group = 1; group <= 4; ++group) {
      host.showGroup(env.system(), group);
      for (const std::string& type : env.ws->catalogue.indicatorTypes().ids) addIndicator(host.groupEditor(), QString::fromStdString(type));
    }
    GeneralSettingsEditor g(*env.ws);
    g.activateControls(env.system());
    MoneyManagementEditor mm(*env.ws);
    for (const char* method : {"idFixed Lots", "idFixed Ratio", "idFixed Fractional"}) {
      env.system().mm.type = method;
      mm.activateControls(env.system());
    }
    QCOMPARE(env.missingTexts(), QStringList());
  }
};

QTEST_MAIN(EditorsTest)
#include "editors_test.moc"
