#include "backtest/backtest_charts.hpp"

#include <algorithm>
#include <cmath>
#include <limits>


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

}  // namespace

std::vector<std::pair<qint64, double>> equityPoints(const BacktestResult& result) {
  return thinned(result.barTime, result.equity);
}

EquityChartData equityChartData(const BacktestResult* result, const std::vector<std::pair<qint64, double>>& previous,
                                const QStringList& names) {
  EquityChartData data;
  if (!result || result->barTime.empty()) return data;
  if (!previous.empty()) data.curves.append({names.value(2), QColor(0xb4, 0xb4, 0xb4), toPoints(previous)});
  data.curves.append({names.value(1), QColor(0x2e, 0x8b, 0x57), toPoints(thinned(result->barTime, result->balance))});
  data.curves.append({names.value(0), QColor(0x1f, 0x5f, 0xbf), toPoints(equityPoints(*result))});
  // Both runs in one frame: the grey curve may lie beyond the new one.
  double low = std::numeric_limits<double>::infinity(), high = -low;
  qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
  for (const auto* curve : {&result->equity, &result->balance})
    for (double v : *curve) low = std::min(low, v), high = std::max(high, v);
  for (const auto& [ms, v] : previous) low = std::min(low, v), high = std::max(high, v), first = std::min(first, ms), last = std::max(last, ms);
  first = std::min<qint64>(first, result->barTime.front() * 1000);
  last = std::max<qint64>(last, result->barTime.back() * 1000);
  const double pad = std::max((high - low) * 0.05, 1.0);
  data.low = low - pad;
  data.high = high + pad;
  data.first = first;
  data.last = last;
  const std::vector<std::int64_t> stopOuts = stopOutTimes(*result);
  if (!stopOuts.empty()) {
    data.marksName = names.value(3);
    data.marksColour = QColor(0xd0, 0x20, 0x20);
    // The curve's value at the end of that bar: the mark sits on the line, not beside it.
    for (std::int64_t time : stopOuts) {
      const auto at = std::upper_bound(result->barTime.begin(), result->barTime.end(), time);
      const std::size_t i = at == result->barTime.begin() ? 0 : static_cast<std::size_t>(at - result->barTime.begin()) - 1;
      if (i < result->equity.size()) data.marks.append({result->barTime[i] * 1000, result->equity[i]});
    }
  }
  return data;
}

std::vector<std::int64_t> stopOutTimes(const BacktestResult& result) {
  std::vector<std::int64_t> times;
  for (const Trade& trade : result.trades)
    if (trade.reason == CloseReason::StopOut) times.push_back(trade.closeTime);
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  return times;
}

PriceChartData priceChartData(const BarSeries* history, std::size_t first, std::size_t last, const Trade* trade,
                              const QStringList& names, int timeLabels,
                              const std::function<QString(std::int64_t)>& timeText) {
  PriceChartData data;
  if (!history || history->empty() || first > last || last >= history->size()) return data;
  data.firstBar = static_cast<double>(first) - 1;
  data.lastBar = static_cast<double>(last) + 1;
  const auto labels = static_cast<std::size_t>(std::max(1, timeLabels));
  const std::size_t step = std::max<std::size_t>(1, (last - first) / labels);
  for (std::size_t i = first + step / 2; i <= last; i += step)
    data.timeLabels.append({timeText(history->time[i]), static_cast<double>(i)});
  data.digits = history->digits;
  data.candlesName = names.value(0);
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (std::size_t i = first; i <= last; ++i) {
    data.candles.append({history->open[i], history->high[i], history->low[i], history->close[i], static_cast<double>(i)});
    low = std::min(low, history->low[i]);
    high = std::max(high, history->high[i]);
  }
  if (trade) {
    const auto addLevel = [&](double level, const QString& name, const QColor& colour) {
      if (level <= 0) return;
      data.levels.append({name, colour, static_cast<double>(trade->openBar),
                          static_cast<double>(std::min(trade->closeBar, last)), level});
      low = std::min(low, level);
      high = std::max(high, level);
    };
    addLevel(trade->stopLoss, names.value(3), QColor(0xc0, 0x30, 0x30));
    addLevel(trade->takeProfit, names.value(4), QColor(0x2e, 0xa0, 0x43));
    const auto addMark = [&](std::size_t bar, double price, const QString& name, const QColor& colour) {
      if (bar < first || bar > last) return;
      data.marks.append({name, colour, static_cast<double>(bar), price});
    };
    const bool buy = trade->type == TradeType::Buy;
    addMark(trade->openBar, trade->openPrice, names.value(1), buy ? QColor(0x1f, 0x5f, 0xbf) : QColor(0xd0, 0x70, 0x10));
    addMark(trade->closeBar, trade->closePrice, names.value(2), QColor(0xff, 0xd7, 0x00));
  }
  const double pad = std::max((high - low) * 0.05, std::pow(10.0, -history->digits));
  data.low = low - pad;
  data.high = high + pad;
  return data;
}

}  // namespace zorvik
