#include "backtest/backtest_charts.hpp"

#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QGraphicsLayout>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

#include "market/history_files.hpp"

namespace zorvik {

namespace {

// Points of a curve: more would only slow the chart down, a screen has fewer pixels.
constexpr std::size_t kMostPoints = 4000;

QList<QPointF> toPoints(const std::vector<std::pair<qint64, double>>& points) {
  QList<QPointF> out;
  out.reserve(static_cast<qsizetype>(points.size()));
  for (const auto& [ms, value] : points) out.append(QPointF(static_cast<qreal>(ms), value));
  return out;
}

std::vector<std::pair<qint64, double>> thinned(const std::vector<std::int64_t>& time, const std::vector<double>& values) {
  std::vector<std::pair<qint64, double>> out;
  const std::size_t n = std::min(time.size(), values.size());
  const std::size_t stretch = std::max<std::size_t>(1, (2 * n + kMostPoints - 1) / kMostPoints);
  out.reserve(n / stretch * 2 + 2);
  for (std::size_t begin = 0; begin < n; begin += stretch) {
    const std::size_t end = std::min(n, begin + stretch);
    std::size_t low = begin, high = begin;
    for (std::size_t i = begin; i < end; ++i) {
      if (values[i] < values[low]) low = i;
      if (values[i] > values[high]) high = i;
    }
    for (std::size_t i : {std::min(low, high), std::max(low, high)}) {
      if (!out.empty() && out.back().first == time[i] * 1000) continue;
      out.emplace_back(time[i] * 1000, values[i]);
    }
  }
  return out;
}

// A chart that uses the whole view: a narrow page has no pixels to spare for a frame around it.
QChart* newChart() {
  auto* chart = new QChart;
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->legend()->setAlignment(Qt::AlignTop);
  return chart;
}

QDateTimeAxis* timeAxis() {
  auto* axis = new QDateTimeAxis;
  axis->setFormat(QStringLiteral("yyyy-MM"));
  axis->setTickCount(3);
  return axis;
}

}  // namespace

std::vector<std::pair<qint64, double>> equityPoints(const BacktestResult& result) {
  return thinned(result.barTime, result.equity);
}

QChart* makeEquityChart(const BacktestResult* result, const std::vector<std::pair<qint64, double>>& previous,
                        const QStringList& names) {
  auto* chart = newChart();
  if (!result || result->barTime.empty()) {
    chart->legend()->hide();
    return chart;
  }
  auto* x = timeAxis();
  auto* y = new QValueAxis;
  y->setLabelFormat(QStringLiteral("%.0f"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  const auto add = [&](const std::vector<std::pair<qint64, double>>& points, const QString& name, const QPen& pen) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->replace(toPoints(points));
    series->setPen(pen);
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
  };
  if (!previous.empty()) add(previous, names.value(2), QPen(QColor(0xb4, 0xb4, 0xb4), 1.5));
  add(thinned(result->barTime, result->balance), names.value(1), QPen(QColor(0x2e, 0x8b, 0x57), 1.5));
  add(equityPoints(*result), names.value(0), QPen(QColor(0x1f, 0x5f, 0xbf), 1.5));
  // Both runs in one frame: the grey curve may lie beyond the new one.
  double low = std::numeric_limits<double>::infinity(), high = -low;
  qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
  for (const auto* curve : {&result->equity, &result->balance})
    for (double v : *curve) low = std::min(low, v), high = std::max(high, v);
  for (const auto& [ms, v] : previous) low = std::min(low, v), high = std::max(high, v), first = std::min(first, ms), last = std::max(last, ms);
  first = std::min<qint64>(first, result->barTime.front() * 1000);
  last = std::max<qint64>(last, result->barTime.back() * 1000);
  const double pad = std::max((high - low) * 0.05, 1.0);
  y->setRange(low - pad, high + pad);
  x->setRange(QDateTime::fromMSecsSinceEpoch(first, Qt::UTC), QDateTime::fromMSecsSinceEpoch(last, Qt::UTC));
  return chart;
}

QChart* makePriceChart(const BarSeries* history, std::size_t first, std::size_t last, const Trade* trade,
                       const QStringList& names, std::function<void(std::size_t bar)> barClicked, int timeLabels) {
  auto* chart = newChart();
  if (!history || history->empty() || first > last || last >= history->size()) {
    chart->legend()->hide();
    return chart;
  }
  // Candles by bar number, so that weekends leave no gaps. Candles cannot hang on a category
  // axis; that one only shows the time of a few bars over the hidden bar-number axis.
  auto* x = new QValueAxis;
  x->setRange(static_cast<double>(first) - 1, static_cast<double>(last) + 1);
  x->setVisible(false);
  auto* times = new QCategoryAxis;
  times->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  times->setRange(x->min(), x->max());
  const auto labels = static_cast<std::size_t>(std::max(1, timeLabels));
  const std::size_t step = std::max<std::size_t>(1, (last - first) / labels);
  for (std::size_t i = first + step / 2; i <= last; i += step) {
    // "2024.01.05 10:00" -> "01.05 10:00": the year is in the trade list.
    const std::string when = historyTimeText(history->time[i]);
    times->append(QString::fromStdString(when.size() > 5 ? when.substr(5) : when), static_cast<qreal>(i));
  }
  chart->addAxis(times, Qt::AlignBottom);
  auto* y = new QValueAxis;
  y->setLabelFormat(QStringLiteral("%.") + QString::number(std::clamp(history->digits, 0, 8)) + QStringLiteral("f"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  auto* candles = new QCandlestickSeries;
  candles->setName(names.value(0));
  candles->setIncreasingColor(QColor(0xe8, 0xf4, 0xea));
  candles->setDecreasingColor(QColor(0x55, 0x5f, 0x6b));
  candles->setBodyWidth(0.7);
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (std::size_t i = first; i <= last; ++i) {
    candles->append(new QCandlestickSet(history->open[i], history->high[i], history->low[i], history->close[i],
                                        static_cast<qreal>(i)));
    low = std::min(low, history->low[i]);
    high = std::max(high, history->high[i]);
  }
  QObject::connect(candles, &QCandlestickSeries::clicked, chart, [barClicked](QCandlestickSet* set) {
    if (set && barClicked && set->timestamp() >= 0) barClicked(static_cast<std::size_t>(std::llround(set->timestamp())));
  });
  chart->addSeries(candles);
  candles->attachAxis(x);
  candles->attachAxis(y);

  if (trade) {
    const auto addLine = [&](double level, const QString& name, const QColor& colour) {
      if (level <= 0) return;
      auto* line = new QLineSeries;
      line->setName(name);
      line->append(static_cast<qreal>(trade->openBar), level);
      line->append(static_cast<qreal>(std::min(trade->closeBar, last)), level);
      line->setPen(QPen(colour, 1.5, Qt::DashLine));
      chart->addSeries(line);
      line->attachAxis(x);
      line->attachAxis(y);
      low = std::min(low, level);
      high = std::max(high, level);
    };
    addLine(trade->stopLoss, names.value(3), QColor(0xc0, 0x30, 0x30));
    addLine(trade->takeProfit, names.value(4), QColor(0x2e, 0xa0, 0x43));
    const auto addMark = [&](std::size_t bar, double price, const QString& name, const QColor& colour) {
      if (bar < first || bar > last) return;
      auto* mark = new QScatterSeries;
      mark->setName(name);
      mark->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
      mark->setMarkerSize(13);
      mark->setColor(colour);
      mark->setBorderColor(Qt::black);
      mark->append(static_cast<qreal>(bar), price);
      chart->addSeries(mark);
      mark->attachAxis(x);
      mark->attachAxis(y);
    };
    const bool buy = trade->type == TradeType::Buy;
    addMark(trade->openBar, trade->openPrice, names.value(1), buy ? QColor(0x1f, 0x5f, 0xbf) : QColor(0xd0, 0x70, 0x10));
    addMark(trade->closeBar, trade->closePrice, names.value(2), QColor(0xff, 0xd7, 0x00));
  }
  const double pad = std::max((high - low) * 0.05, std::pow(10.0, -history->digits));
  y->setRange(low - pad, high + pad);
  return chart;
}

void replaceChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  if (old && old != chart) delete old;
}

}  // namespace zorvik
