#pragma once
// The interface of the chart plug-in (Qt Charts stays out of the program itself): chart views
// and what they draw, as plain figures prepared by the backtest page.
#include <QColor>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QString>
#include <QtPlugin>

#include <functional>

class QWidget;

namespace zorvik {

struct ChartCurve {
  QString name;
  QColor colour;
  QList<QPointF> points;  // x: milliseconds since 1970 (UTC)
};

// A point marked on a curve (a stop out): x in milliseconds since 1970 (UTC).
struct ChartTimeMark {
  qint64 ms = 0;
  double value = 0;
};

// No curves: an empty chart without legend.
struct EquityChartData {
  QList<ChartCurve> curves;  // drawn in this order
  double low = 0, high = 0;  // the value axis
  qint64 first = 0, last = 0;  // the time axis, ms since 1970
  QString timeFormat = QStringLiteral("yyyy-MM");  // of the time axis' labels (QDateTime format)
  // Drawn above the curves as one series of crosses under this name; none: no legend entry.
  QString marksName;
  QColor marksColour;
  QList<ChartTimeMark> marks;
};

struct ChartCandle {
  double open = 0, high = 0, low = 0, close = 0;
  double bar = 0;  // the bar number: the x position
};

// A dashed level from one bar to another (stop loss, take profit).
struct ChartLevel {
  QString name;
  QColor colour;
  double fromBar = 0, toBar = 0, price = 0;
};

// A triangle on one bar (entry, exit).
struct ChartMark {
  QString name;
  QColor colour;
  double bar = 0, price = 0;
};

// No candles: an empty chart without legend.
struct PriceChartData {
  QString candlesName;
  QList<ChartCandle> candles;
  double firstBar = 0, lastBar = 0;  // the x range
  QList<QPair<QString, double>> timeLabels;  // text at bar position
  int digits = 5;  // of the price labels
  double low = 0, high = 0;
  QList<ChartLevel> levels;
  QList<ChartMark> marks;
  // The candle whose signals are explained below the chart, drawn in this colour; -1: none.
  double highlightBar = -1;
  QColor highlightColour = QColor(0xff, 0x8c, 0x00);
};

class ChartModule {
 public:
  virtual ~ChartModule() = default;
  // An empty chart view (a QChartView), owned by `parent`.
  virtual QWidget* newChartView(QWidget* parent) = 0;
  // Replaces what the view shows.
  virtual void showEquity(QWidget* view, const EquityChartData& data) = 0;
  // barClicked: the bar number of a candle clicked.
  virtual void showPrices(QWidget* view, const PriceChartData& data, std::function<void(double bar)> barClicked) = 0;
};

}  // namespace zorvik

#define ZORVIK_CHART_MODULE_IID "app.zorvik.ChartModule/2"
Q_DECLARE_INTERFACE(zorvik::ChartModule, ZORVIK_CHART_MODULE_IID)
