// The backtest page's controls and their layout, built once: the settings of a run beside the
// account's terms, one row of run buttons, status and export, and the result views below them,
// which get every pixel left. The page's behaviour is in backtest_page.cpp.
#include "backtest/backtest_page.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include <array>
#include <utility>

#include "app/optional_modules.hpp"
#include "backtest/chart_module.hpp"
#include "backtest/statistics_panel.hpp"
#include "backtest/trade_table.hpp"
#include "backtest/vote_tree.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

// A splitter handle that shows it can be dragged: a band of the window's dark tone with a row
// of grip dots in its middle, where a plain handle is an invisible gap between two views.
class GripHandle : public QSplitterHandle {
 public:
  using QSplitterHandle::QSplitterHandle;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(underMouse() ? QPalette::Midlight : QPalette::Button));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::Dark));
    const bool across = orientation() == Qt::Horizontal;  // a vertical band between side-by-side views
    const QPointF centre = QRectF(rect()).center();
    for (int k = -2; k <= 2; ++k) {
      const QPointF dot = across ? centre + QPointF(0, 5.0 * k) : centre + QPointF(5.0 * k, 0);
      p.drawEllipse(dot, 1.3, 1.3);
    }
  }
  void enterEvent(QEnterEvent* event) override {
    update();
    QSplitterHandle::enterEvent(event);
  }
  void leaveEvent(QEvent* event) override {
    update();
    QSplitterHandle::leaveEvent(event);
  }
};

class GripSplitter : public QSplitter {
 public:
  explicit GripSplitter(Qt::Orientation orientation) : QSplitter(orientation) {
    setHandleWidth(7);
    setChildrenCollapsible(false);
  }

 protected:
  QSplitterHandle* createHandle() override { return new GripHandle(orientation(), this); }
};

// Numbers typed the way the language writes them: "0,5" in German, "0.5" in English.
void useLanguageNumbers(QDoubleSpinBox* edit, const Workspace& ws) {
  edit->setLocale(ws.language.name() == "ENGLISCH" ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                   : QLocale(QLocale::German, QLocale::Germany));
  edit->setGroupSeparatorShown(false);
  edit->setKeyboardTracking(false);
}

}  // namespace

void BacktestPage::buildControls() {
  QGridLayout* settings = buildSettingsRows();
  QGroupBox* account = buildAccountGroup();
  QHBoxLayout* buttons = buildRunButtons();
  QHBoxLayout* statusRow = buildStatusRow();
  QSplitter* parts = buildResultViews();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
  auto* settingsRow = new QHBoxLayout;
  settingsRow->addLayout(settings, 1);
  settingsRow->addWidget(account);
  layout->addLayout(settingsRow);
  // Run buttons, status and export in one row: every line saved is a trade row more.
  buttons->addLayout(statusRow, 1);
  layout->addLayout(buttons);
  layout->addWidget(progress_);
  layout->addWidget(parts, 1);

  connectControls();
  drawEquity();
  drawPriceChart(0, 0, nullptr);
}

QGridLayout* BacktestPage::buildSettingsRows() {
  historyChoice_ = new QComboBox;
  historyChoice_->setObjectName(QStringLiteral("backtestHistory"));
  historyChoice_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  historyChoice_->setMinimumContentsLength(24);
  historyChoice_->setToolTip(t("Die Kurshistorie, auf der das Handelssystem getestet wird"));
  historyFile_ = new QPushButton(t("Datei..."));
  historyFile_->setObjectName(QStringLiteral("backtestHistoryFile"));
  historyFile_->setToolTip(t("Eine Kurshistorie (.hst oder .csv) von der Festplatte wählen"));
  from_ = new QDateEdit;
  to_ = new QDateEdit;
  for (QDateEdit* edit : {from_, to_}) {
    // Day first in German, as the trade list writes it.
    edit->setDisplayFormat(ws_.language.name() == "ENGLISCH" ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
  }
  from_->setObjectName(QStringLiteral("backtestFrom"));
  to_->setObjectName(QStringLiteral("backtestTo"));
  from_->setToolTip(t("Erster Tag des Tests; die Bars davor speisen nur die Indikatoren"));
  to_->setToolTip(t("Letzter Tag des Tests (ganz eingeschlossen)"));
  spread_ = new QSpinBox;
  spread_->setObjectName(QStringLiteral("backtestSpread"));
  spread_->setRange(0, 100000);
  spread_->setValue(static_cast<int>(ws_.settings.backtest.spreadPoints));
  spread_->setSuffix(QStringLiteral(" ") + t("Punkte"));
  spread_->setToolTip(t("Abstand von Ask über Bid in Punkten"));
  deposit_ = new QDoubleSpinBox;
  deposit_->setObjectName(QStringLiteral("backtestDeposit"));
  deposit_->setRange(1, 1e12);
  deposit_->setDecimals(2);
  useLanguageNumbers(deposit_, ws_);
  deposit_->setValue(ws_.settings.backtest.deposit);
  deposit_->setToolTip(t("Das Geld auf dem Konto zu Beginn des Tests"));

  auto* settings = new QGridLayout;
  settings->setContentsMargins(0, 0, 0, 0);
  settings->addWidget(new QLabel(t("Historie:")), 0, 0);
  auto* historyRow = new QHBoxLayout;
  historyRow->addWidget(historyChoice_, 1);
  historyRow->addWidget(historyFile_);
  settings->addLayout(historyRow, 0, 1, 1, 5);
  settings->addWidget(new QLabel(t("Von:")), 1, 0);
  settings->addWidget(from_, 1, 1);
  settings->addWidget(new QLabel(t("Bis:")), 1, 2);
  settings->addWidget(to_, 1, 3);
  settings->addWidget(new QLabel(t("Spread:")), 2, 0);
  settings->addWidget(spread_, 2, 1);
  settings->addWidget(new QLabel(t("Einlage:")), 2, 2);
  settings->addWidget(deposit_, 2, 3);
  settings->setColumnStretch(5, 1);
  return settings;
}

QGroupBox* BacktestPage::buildAccountGroup() {
  // The edits take only what the account accepts: a letter or a negative commission cannot be
  // typed, and a value outside the range is put back to its limit when the edit is left.
  const Settings::BacktestTerms& terms = ws_.settings.backtest;
  const auto number = [this](const char* name, double low, double high, int decimals, double value) {
    auto* edit = new QDoubleSpinBox;
    edit->setObjectName(QString::fromLatin1(name));
    useLanguageNumbers(edit, ws_);
    edit->setRange(low, high);
    edit->setDecimals(decimals);
    edit->setValue(value);
    return edit;
  };
  leverage_ = number("backtestLeverage", 1, 10000, 0, terms.leverage);
  leverage_->setPrefix(QStringLiteral("1:"));
  leverage_->setToolTip(t("Hebel des Kontos: die Margin einer Position ist ihr Wert geteilt durch den Hebel"));
  stopOut_ = number("backtestStopOut", 0, 100, 1, terms.stopOutPercent);
  stopOut_->setSuffix(QStringLiteral(" %"));
  stopOut_->setToolTip(t("Fällt die Equity auf diesen Anteil der Margin, schließt der Broker die Positionen, die schlechteste zuerst"));
  commission_ = number("backtestCommission", 0, 1e6, 2, terms.commissionPerLot);
  commission_->setToolTip(t("Kommission in Geld je Lot für Eröffnen und Schließen zusammen, berechnet bei der Eröffnung"));
  swapLong_ = number("backtestSwapLong", -1e6, 1e6, 2, terms.swapLongPoints);
  swapShort_ = number("backtestSwapShort", -1e6, 1e6, 2, terms.swapShortPoints);
  for (QDoubleSpinBox* swap : {swapLong_, swapShort_}) {
    swap->setSuffix(QStringLiteral(" ") + t("Punkte"));
    swap->setToolTip(t("Swap in Punkten je Lot und Nacht, mittwochs dreifach; positiv ist eine Gutschrift"));
  }
  stopLevel_ = new QSpinBox;
  stopLevel_->setObjectName(QStringLiteral("backtestStopLevel"));
  stopLevel_->setRange(0, 100000);
  stopLevel_->setValue(static_cast<int>(terms.stopLevelPoints));
  stopLevel_->setSuffix(QStringLiteral(" ") + t("Punkte"));
  stopLevel_->setKeyboardTracking(false);
  stopLevel_->setToolTip(t("Kleinster Abstand eines Stops vom Kurs in Punkten; näher gesetzte Stops lehnt der Broker ab"));
  spread_->setKeyboardTracking(false);

  account_ = new QGroupBox(t("Konto"));
  account_->setObjectName(QStringLiteral("backtestAccount"));
  auto* grid = new QGridLayout(account_);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setVerticalSpacing(2);
  const std::array<std::pair<const char*, QWidget*>, 6> rows{{{"Hebel:", leverage_},
                                                              {"Stop Out:", stopOut_},
                                                              {"Kommission/Lot:", commission_},
                                                              {"Stop Level:", stopLevel_},
                                                              {"Swap Long:", swapLong_},
                                                              {"Swap Short:", swapShort_}}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i / 2);
    const int column = static_cast<int>(i % 2) * 2;
    grid->addWidget(new QLabel(t(rows[i].first)), row, column);
    grid->addWidget(rows[i].second, row, column + 1);
  }
  return account_;
}

QHBoxLayout* BacktestPage::buildRunButtons() {
  autoRun_ = new QCheckBox(t("Bei Änderung neu testen"));
  autoRun_->setObjectName(QStringLiteral("backtestAutoRun"));
  autoRun_->setChecked(true);
  autoRun_->setToolTip(t("Nach jeder übernommenen Änderung des Handelssystems läuft der Test von selbst wieder"));
  start_ = new QPushButton(t("Test starten"));
  start_->setObjectName(QStringLiteral("backtestStart"));
  start_->setDefault(true);
  cancel_ = new QPushButton(t("Abbrechen"));
  cancel_->setObjectName(QStringLiteral("backtestCancel"));
  cancel_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(cancel_);
  buttons->addWidget(autoRun_);
  return buttons;
}

QHBoxLayout* BacktestPage::buildStatusRow() {
  saveTrades_ = new QPushButton(t("Trades als CSV..."));
  saveTrades_->setObjectName(QStringLiteral("backtestSaveTrades"));
  saveReport_ = new QPushButton(t("Bericht als HTML..."));
  saveReport_->setObjectName(QStringLiteral("backtestSaveReport"));
  saveTrades_->setEnabled(false);
  saveReport_->setEnabled(false);
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("backtestProgress"));
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(6);
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("backtestStatus"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(status_, 1);
  statusRow->addWidget(saveTrades_);
  statusRow->addWidget(saveReport_);
  return statusRow;
}

QSplitter* BacktestPage::buildResultViews() {
  equityView_ = newChartView(QStringLiteral("backtestEquity"));
  equityView_->setMinimumHeight(110);
  equityView_->setToolTip(t("Kapital (Equity) und Kontostand (Balance) am Ende jeder Bar; grau: der Lauf davor; rote Rauten: Stop Out"));
  statistics_ = new StatisticsPanel(ws_);
  tradeTable_ = new TradeTable(ws_);
  priceView_ = newChartView(QStringLiteral("backtestPrices"));
  priceView_->setMinimumHeight(110);
  priceView_->setToolTip(t("Die Kurse um den gewählten Trade; ein Klick auf eine Kerze erklärt die Signale dieser Bar"));
  votes_ = new VoteTree(ws_);

  // The curve above the trades on the left, the statistics beside both, so that all their
  // figures show without scrolling; the prices and the votes of a trade below.
  auto* curveAndTrades = new GripSplitter(Qt::Vertical);
  curveAndTrades_ = curveAndTrades;
  curveAndTrades->setObjectName(QStringLiteral("backtestCurveAndTrades"));
  curveAndTrades->addWidget(equityView_);
  curveAndTrades->addWidget(tradeTable_);
  auto* top = new GripSplitter(Qt::Horizontal);
  top->setObjectName(QStringLiteral("backtestTop"));
  top->addWidget(curveAndTrades);
  top->addWidget(statistics_);
  top->setStretchFactor(0, 1);
  top->setStretchFactor(1, 0);
  // The statistics take the width of their texts, the curve everything else.
  equityView_->setMinimumWidth(180);
  statistics_->fitWidth();

  auto* bottom = new GripSplitter(Qt::Horizontal);
  bottom->setObjectName(QStringLiteral("backtestBottom"));
  bottom->addWidget(priceView_);
  bottom->addWidget(votes_);
  bottom->setSizes({1100, 900});
  auto* parts = new GripSplitter(Qt::Vertical);
  parts_ = parts;
  parts->setObjectName(QStringLiteral("backtestParts"));
  parts->addWidget(top);
  parts->addWidget(bottom);
  parts->installEventFilter(this);
  for (QSplitter* splitter : {parts, curveAndTrades})
    connect(splitter, &QSplitter::splitterMoved, this, [this] { splittersMoved_ = true; });
  return parts;
}

void BacktestPage::shareHeights() {
  if (splittersMoved_ || !parts_ || !curveAndTrades_) return;
  const int handles = parts_->handleWidth() + curveAndTrades_->handleWidth();
  const int room = parts_->height() - handles;
  if (room <= 0) return;
  // A header, twelve rows and a half (the half says there is more), a sideways scroll bar.
  const int rows = tradeTable_->verticalHeader()->defaultSectionSize();
  const int wanted = tradeTable_->horizontalHeader()->sizeHint().height() + rows * 25 / 2 +
                     tradeTable_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * tradeTable_->frameWidth();
  const int trades = std::min(wanted, room * 11 / 20);
  const int curve = (room - trades) * 9 / 20;
  const int prices = room - trades - curve;
  parts_->setSizes({curve + curveAndTrades_->handleWidth() + trades, prices});
  curveAndTrades_->setSizes({curve, trades});
}

void BacktestPage::connectControls() {
  connect(historyChoice_, &QComboBox::activated, this, &BacktestPage::historyChosen);
  connect(historyFile_, &QPushButton::clicked, this, &BacktestPage::chooseFileByDialog);
  connect(start_, &QPushButton::clicked, this, &BacktestPage::startRun);
  connect(cancel_, &QPushButton::clicked, this, &BacktestPage::cancelRun);
  connect(saveTrades_, &QPushButton::clicked, this, &BacktestPage::saveTradesByDialog);
  connect(saveReport_, &QPushButton::clicked, this, &BacktestPage::saveReportByDialog);
  connect(tradeTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BacktestPage::tradeSelected);
  for (QDateEdit* edit : {from_, to_}) connect(edit, &QDateEdit::dateChanged, this, &BacktestPage::settingsChanged);
  for (QSpinBox* edit : {spread_, stopLevel_})
    connect(edit, &QSpinBox::valueChanged, this, &BacktestPage::settingsChanged);
  for (QDoubleSpinBox* edit : {deposit_, leverage_, stopOut_, commission_, swapLong_, swapShort_})
    connect(edit, &QDoubleSpinBox::valueChanged, this, &BacktestPage::settingsChanged);
}

QWidget* BacktestPage::newChartView(const QString& name) {
  QWidget* view = nullptr;
  if (auto* charts = loadModule<ChartModule>(Module::Charts)) {
    view = charts->newChartView(nullptr);
  } else {
    auto* note = new QLabel(t("Die Diagramme können nicht gezeigt werden:") + QLatin1Char('\n') + moduleProblem(Module::Charts));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    view = note;
  }
  view->setObjectName(name);
  return view;
}

std::vector<std::pair<QWidget*, QString>> BacktestPage::helpTopics() const {
  return {{historyChoice_, QStringLiteral("Backtest Historie")},  {historyFile_, QStringLiteral("Backtest Historie Datei")},
          {from_, QStringLiteral("Backtest Von")},                {to_, QStringLiteral("Backtest Bis")},
          {spread_, QStringLiteral("Backtest Spread")},           {deposit_, QStringLiteral("Backtest Einlage")},
          {leverage_, QStringLiteral("Backtest Hebel")},          {stopOut_, QStringLiteral("Backtest Stop Out")},
          {commission_, QStringLiteral("Backtest Kommission")},   {swapLong_, QStringLiteral("Backtest Swap")},
          {swapShort_, QStringLiteral("Backtest Swap")},          {stopLevel_, QStringLiteral("Backtest Stop Level")},
          {account_, QStringLiteral("Backtest Konto")},
          {autoRun_, QStringLiteral("Backtest Automatisch")},     {start_, QStringLiteral("Backtest Start")},
          {cancel_, QStringLiteral("Backtest Abbrechen")},        {progress_, QStringLiteral("Backtest Fortschritt")},
          {status_, QStringLiteral("Backtest Meldung")},          {equityView_, QStringLiteral("Backtest Kapitalkurve")},
          {statistics_, QStringLiteral("Backtest Statistik")},    {tradeTable_, QStringLiteral("Backtest Trades")},
          {priceView_, QStringLiteral("Backtest Kurschart")},     {votes_, QStringLiteral("Backtest Signalerklaerung")},
          {saveTrades_, QStringLiteral("Backtest Trades speichern")},
          {saveReport_, QStringLiteral("Backtest Bericht speichern")},
          {const_cast<BacktestPage*>(this), QStringLiteral("Backtest")}};
}

}  // namespace zorvik
