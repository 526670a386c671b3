#pragma once
// The backtest page, a tab after the editors: the trader picks a history, the test window, the
// spread and deposit and the account's terms (leverage, stop out, commission, swap, stop level),
// and sees what the open system would have done on it: the equity and balance curve, the
// statistics, the trades, the prices around a trade and why its groups fired. Once it has run,
// every accepted change of the system runs it again by itself, and the curve of the run before
// (same history and window) stays beside the new one in grey. A result never outlives the
// settings it was computed with: another history, window or account term clears it.
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backtest/backtest_job.hpp"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStandardItemModel;
class QTableView;
class QThread;
class QTreeWidget;

namespace zorvik {

class Host;
class StatisticsPanel;
class TradeTable;
class VoteTree;
class Workspace;

class BacktestPage : public QWidget {
  Q_OBJECT
 public:
  // buildNow false: the controls are built by build(), at the latest when the page is shown,
  // so that a page the window does not show at first costs its start-up nothing.
  BacktestPage(Workspace& ws, Host& host, QWidget* parent = nullptr, bool buildNow = true);
  ~BacktestPage() override;

  // Builds the controls once; the charts come from the chart plug-in (a note in their place
  // without it).
  void build();
  bool built() const { return built_; }

  // Lists the histories the first time the page is shown or run: the search of the MetaTrader
  // folders stays out of the program's start-up.
  void ensureHistoriesListed();
  // Fills the history choice anew: the demo history of the working folder, then the
  // MetaTrader histories found. A file chosen through the dialog stays in the list.
  void listHistories();
  // Chooses a history file (as the dialog does); false, with the reason shown, when it cannot be read.
  bool chooseHistoryFile(const std::filesystem::path& path);

  // Starts a run of the open system with the page's settings; a run in progress is stopped
  // first. Returns at once: the result arrives when the worker is done.
  void startRun();
  void cancelRun();
  bool running() const { return thread_ != nullptr; }

  // Writes the trades as CSV / the report as HTML; false (and a message) when it cannot.
  bool saveTrades(const std::filesystem::path& file, bool forGermanSpreadsheet = false);
  bool saveReport(const std::filesystem::path& file);

  // Shows the vote explanation of a history bar (as a click on the price chart does) and
  // highlights its candle.
  void explainBar(std::size_t bar);
  // Shows a finished run as if the worker had delivered it: for tests of what the page makes
  // of a result (a hand-built one with stop outs, commission and swap).
  void takeOutcome(std::shared_ptr<BacktestOutcome> outcome);
  // The settings a run would be given now.
  BacktestSettings runSettings() const;

  // For the window's wiring: something may have changed the system (a mouse button or key let
  // go anywhere, a system opened). After a quiet moment the page runs again when it has run
  // before and the system differs from the one of its last run.
  void systemMayHaveChanged();

  // ---- For tests and help --------------------------------------------------------------
  QComboBox* historyChoice() const { return historyChoice_; }
  QPushButton* startButton() const { return start_; }
  QPushButton* cancelButton() const { return cancel_; }
  QProgressBar* progressBar() const { return progress_; }
  QLabel* statusLabel() const { return status_; }
  QTableView* tradeTable() const;
  QStandardItemModel* tradeModel() const;
  QTreeWidget* statisticsView() const;
  QTreeWidget* voteView() const;
  // The chart views (QChartView), or the notes in their place without the chart plug-in.
  QWidget* equityView() const { return equityView_; }
  QWidget* priceView() const { return priceView_; }
  QSpinBox* spreadEdit() const { return spread_; }
  QDoubleSpinBox* depositEdit() const { return deposit_; }
  QDateEdit* fromEdit() const { return from_; }
  QDateEdit* toEdit() const { return to_; }
  QDoubleSpinBox* leverageEdit() const { return leverage_; }
  QDoubleSpinBox* stopOutEdit() const { return stopOut_; }
  QDoubleSpinBox* commissionEdit() const { return commission_; }
  QDoubleSpinBox* swapLongEdit() const { return swapLong_; }
  QDoubleSpinBox* swapShortEdit() const { return swapShort_; }
  QSpinBox* stopLevelEdit() const { return stopLevel_; }
  QPushButton* saveTradesButton() const { return saveTrades_; }
  QPushButton* saveReportButton() const { return saveReport_; }
  // The bar whose candle is highlighted in the price chart; nullopt: none.
  std::optional<std::size_t> highlightedBar() const { return priceShown_.highlight; }
  QTimer* rerunTimer() { return &rerunTimer_; }
  const BacktestOutcome* outcome() const { return outcome_.get(); }
  // The equity points of the run before, drawn in grey; empty after the first run.
  const std::vector<std::pair<qint64, double>>& previousEquity() const { return previousEquity_; }
  // The controls and the help topic each carries, for F1.
  std::vector<std::pair<QWidget*, QString>> helpTopics() const;

 signals:
  // A run ended (done, refused or cancelled).
  void runFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct HistoryEntry {
    QString caption;
    std::filesystem::path path;
    bool demo = false;
  };

  // The controls, in backtest_page_controls.cpp: the page's rows from top to bottom.
  void buildControls();
  QGridLayout* buildSettingsRows();  // history, test window, spread, deposit
  QGroupBox* buildAccountGroup();    // leverage, stop out, commission, swap, stop level
  QHBoxLayout* buildRunButtons();    // start, cancel, run again on a change
  QHBoxLayout* buildStatusRow();     // status and the save buttons; the progress bar above it
  QSplitter* buildResultViews();     // curve and statistics, trades, prices and votes
  void connectControls();
  QWidget* newChartView(const QString& name);
  // Until the trader drags a splitter: the trade list as high as a dozen rows need (at most
  // about half the room), the rest shared by the curve and the prices.
  void shareHeights();
  void historyChosen(int index);
  void setHistory(std::shared_ptr<const BarSeries> history, const std::filesystem::path& path);
  void chooseFileByDialog();
  void finishRun(std::shared_ptr<BacktestOutcome> outcome, bool cancelledByTrader);
  void showOutcome();
  // Another history, window or account term: what was shown belongs to the old ones.
  void settingsChanged();
  void clearResult(const QString& why);
  void rememberTerms();
  // What the grey curve must share with the new run: the history and the test window.
  std::string comparisonKey() const;
  QString doneSentence() const;
  void drawEquity();
  void tradeSelected();
  void drawPriceChart(std::size_t first, std::size_t last, const Trade* trade,
                      std::optional<std::size_t> highlight = std::nullopt);
  int priceTimeLabels() const;
  void showVotes(const std::vector<std::pair<QString, std::size_t>>& bars, int highlightGroup);
  void saveTradesByDialog();
  void saveReportByDialog();
  // The name an export dialog proposes: system title, symbol and timeframe, without ending.
  QString proposedFileName() const;
  void setStatus(const QString& text, bool fault = false);
  std::string systemFingerprint() const;
  QString t(const char* german) const;

  Workspace& ws_;
  Host& host_;

  std::vector<HistoryEntry> histories_;
  bool listed_ = false;
  bool built_ = false;
  std::shared_ptr<const BarSeries> history_;
  std::filesystem::path historyPath_;

  QComboBox* historyChoice_ = nullptr;
  QPushButton* historyFile_ = nullptr;
  QDateEdit* from_ = nullptr;
  QDateEdit* to_ = nullptr;
  QSpinBox* spread_ = nullptr;
  QDoubleSpinBox* deposit_ = nullptr;
  QGroupBox* account_ = nullptr;
  QDoubleSpinBox* leverage_ = nullptr;
  QDoubleSpinBox* stopOut_ = nullptr;
  QDoubleSpinBox* commission_ = nullptr;
  QDoubleSpinBox* swapLong_ = nullptr;
  QDoubleSpinBox* swapShort_ = nullptr;
  QSpinBox* stopLevel_ = nullptr;
  QCheckBox* autoRun_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* saveTrades_ = nullptr;
  QPushButton* saveReport_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QWidget* equityView_ = nullptr;
  StatisticsPanel* statistics_ = nullptr;
  TradeTable* tradeTable_ = nullptr;
  QWidget* priceView_ = nullptr;
  VoteTree* votes_ = nullptr;
  QSplitter* parts_ = nullptr;
  QSplitter* curveAndTrades_ = nullptr;
  bool splittersMoved_ = false;

  // The worker of the run in progress, with its cancel flag (shared: the worker may outlive a
  // cancel request by a moment).
  QThread* thread_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancelFlag_;
  bool cancelledByTrader_ = false;
  bool runAgain_ = false;  // a run was asked for while one was in progress
  std::shared_ptr<BacktestOutcome> outcome_;
  std::string runFingerprint_;  // the system as it was when the shown run started
  std::string runSystemFile_;
  std::string pendingFingerprint_;
  std::string pendingSystemFile_;
  std::vector<std::pair<qint64, double>> previousEquity_;
  // The equity of the last finished run with what it ran on, for the grey curve of the next.
  std::vector<std::pair<qint64, double>> lastEquity_;
  std::string lastComparisonKey_;
  std::string pendingComparisonKey_;
  QTimer rerunTimer_;
  // What the price chart shows, so that it can be drawn again for another width.
  struct PriceRange {
    std::size_t first = 0;
    std::size_t last = 0;
    const Trade* trade = nullptr;
    std::optional<std::size_t> highlight;
  } priceShown_;
  int priceLabels_ = 0;
};

}  // namespace zorvik
