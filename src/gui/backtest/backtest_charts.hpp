#pragma once
// The two charts of the backtest page, built from a result: the equity and balance curve (with
// the run before in grey) and the candles around a trade with its entry, exit and stops.
#include <QStringList>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "backtest/backtest_result.hpp"
#include "market/bar_series.hpp"

class QChart;
class QChartView;

namespace zorvik {

// The equity of a run as (milliseconds since 1970, money), thinned to a few thousand points:
// per stretch of bars its lowest and highest value, so that no drawdown gets lost.
std::vector<std::pair<qint64, double>> equityPoints(const BacktestResult& result);

// names: equity, balance, the run before. result may be null (an empty chart).
QChart* makeEquityChart(const BacktestResult* result, const std::vector<std::pair<qint64, double>>& previous,
                        const QStringList& names);

// Candles of the bars [first, last] with the trade marked (when given); a click on a candle
// names its bar. names: prices, entry, exit, stop loss, take profit. history may be null.
// timeLabels: how many times of day the time axis names (as many as fit the view's width).
QChart* makePriceChart(const BarSeries* history, std::size_t first, std::size_t last, const Trade* trade,
                       const QStringList& names, std::function<void(std::size_t bar)> barClicked, int timeLabels);

// Puts the chart into the view and deletes the one it showed (the view lets go of it only).
void replaceChart(QChartView* view, QChart* chart);

}  // namespace zorvik
