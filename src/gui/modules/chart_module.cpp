// The chart plug-in: the backtest page's equity and price charts with Qt Charts.
#include <QGraphicsLayout>
#include <QObject>
#include <QPainter>
#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <QDateTime>

#include <algorithm>
#include <cmath>

#include "backtest/chart_module.hpp"

namespace zorvik {
namespace {

// A chart that uses the whole view: a narrow page has no pixels to spare for a frame around it.
QChart* newChart() {
  auto* chart = new QChart;
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->legend()->setAlignment(Qt::AlignTop);
  return chart;
}

// Value ticks on round numbers, as many as the axis' height has room for: labels squeezed
// closer than a line are cut to "..." by the chart. Fitted again whenever the plot area changes.
void keepTicksReadable(QChart* chart, QValueAxis* axis) {
  QObject::connect(chart, &QChart::plotAreaChanged, axis, [axis](const QRectF& area) {
    constexpr double kPixelsPerTick = 30;
    const double span = axis->max() - axis->min();
    if (!(span > 0) || area.height() <= 0) return;
    const double room = std::max(1.0, std::floor(area.height() / kPixelsPerTick));
    double step = std::pow(10.0, std::floor(std::log10(span / room)));
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
      if (span / (step * factor) <= room) {
        step *= factor;
        break;
      }
    }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(std::ceil(axis->min() / step) * step);
    axis->setTickInterval(step);
  });
}

// Puts the chart into the view and deletes the one it showed (the view lets go of it only).
void replaceChart(QWidget* widget, QChart* chart) {
  auto* view = qobject_cast<QChartView*>(widget);
  if (!view) {
    delete chart;
    return;
  }
  QChart* old = view->chart();
  view->setChart(chart);
  if (old && old != chart) delete old;
}

QChart* equityChart(const EquityChartData& data) {
  auto* chart = newChart();
  if (data.curves.isEmpty()) {
    chart->legend()->hide();
    return chart;
  }
  auto* x = new QDateTimeAxis;
  x->setFormat(data.timeFormat);
  x->setTickCount(3);
  auto* y = new QValueAxis;
  y->setLabelFormat(QStringLiteral("%.0f"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (const ChartCurve& curve : data.curves) {
    auto* series = new QLineSeries;
    series->setName(curve.name);
    series->replace(curve.points);
    series->setPen(QPen(curve.colour, 1.5));
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
  }
  if (!data.marks.isEmpty()) {
    // Crosses on the curve where the account was stopped out: easy to miss in a steep fall.
    auto* marks = new QScatterSeries;
    marks->setName(data.marksName);
    marks->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    marks->setMarkerSize(11);
    marks->setColor(data.marksColour);
    marks->setBorderColor(Qt::black);
    for (const ChartTimeMark& m : data.marks) marks->append(static_cast<qreal>(m.ms), m.value);
    chart->addSeries(marks);
    marks->attachAxis(x);
    marks->attachAxis(y);
  }
  y->setRange(data.low, data.high);
  // Round steps (10 100, 10 200, ...) rather than the curve's own extremes.
  y->applyNiceNumbers();
  keepTicksReadable(chart, y);
  x->setRange(QDateTime::fromMSecsSinceEpoch(data.first, Qt::UTC), QDateTime::fromMSecsSinceEpoch(data.last, Qt::UTC));
  return chart;
}

QChart* priceChart(const PriceChartData& data, std::function<void(double bar)> barClicked) {
  auto* chart = newChart();
  if (data.candles.isEmpty()) {
    chart->legend()->hide();
    return chart;
  }
  // Candles by bar number, so that weekends leave no gaps. Candles cannot hang on a category
  // axis; that one only shows the time of a few bars over the hidden bar-number axis.
  auto* x = new QValueAxis;
  x->setRange(data.firstBar, data.lastBar);
  x->setVisible(false);
  auto* times = new QCategoryAxis;
  times->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  times->setRange(x->min(), x->max());
  for (const auto& [text, bar] : data.timeLabels) times->append(text, bar);
  chart->addAxis(times, Qt::AlignBottom);
  auto* y = new QValueAxis;
  y->setLabelFormat(QStringLiteral("%.") + QString::number(std::clamp(data.digits, 0, 8)) + QStringLiteral("f"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  auto* candles = new QCandlestickSeries;
  candles->setName(data.candlesName);
  candles->setIncreasingColor(QColor(0xe8, 0xf4, 0xea));
  candles->setDecreasingColor(QColor(0x55, 0x5f, 0x6b));
  candles->setBodyWidth(0.7);
  for (const ChartCandle& c : data.candles) {
    auto* set = new QCandlestickSet(c.open, c.high, c.low, c.close, c.bar);
    if (c.bar == data.highlightBar) {
      set->setBrush(data.highlightColour);
      set->setPen(QPen(data.highlightColour.darker(160), 2));
    }
    candles->append(set);
  }
  QObject::connect(candles, &QCandlestickSeries::clicked, chart, [barClicked](QCandlestickSet* set) {
    if (set && barClicked && set->timestamp() >= 0) barClicked(set->timestamp());
  });
  chart->addSeries(candles);
  candles->attachAxis(x);
  candles->attachAxis(y);

  for (const ChartLevel& level : data.levels) {
    auto* line = new QLineSeries;
    line->setName(level.name);
    line->append(level.fromBar, level.price);
    line->append(level.toBar, level.price);
    line->setPen(QPen(level.colour, 1.5, Qt::DashLine));
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
  }
  for (const ChartMark& m : data.marks) {
    auto* mark = new QScatterSeries;
    mark->setName(m.name);
    mark->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    mark->setMarkerSize(13);
    mark->setColor(m.colour);
    mark->setBorderColor(Qt::black);
    mark->append(m.bar, m.price);
    chart->addSeries(mark);
    mark->attachAxis(x);
    mark->attachAxis(y);
  }
  y->setRange(data.low, data.high);
  y->applyNiceNumbers();
  keepTicksReadable(chart, y);
  return chart;
}

}  // namespace

class ChartPlugin : public QObject, public ChartModule {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID ZORVIK_CHART_MODULE_IID)
  Q_INTERFACES(zorvik::ChartModule)
 public:
  QWidget* newChartView(QWidget* parent) override {
    auto* view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
  }
  void showEquity(QWidget* view, const EquityChartData& data) override { replaceChart(view, equityChart(data)); }
  void showPrices(QWidget* view, const PriceChartData& data, std::function<void(double bar)> barClicked) override {
    replaceChart(view, priceChart(data, std::move(barClicked)));
  }
};

}  // namespace zorvik

#include "chart_module.moc"
