#pragma once
// What the two charts of the backtest page show, taken from a result: the equity and balance
// curve (with the run before in grey) and the candles around a trade with its entry, exit and
// stops. The chart plug-in draws them.
#include <QStringList>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "backtest/backtest_result.hpp"
#include "backtest/chart_module.hpp"
#include "market/bar_series.hpp"

namespace zorvik {

// The equity of a run as (milliseconds since 1970, money), thinned to a few thousand points:
// per stretch of bars its lowest and highest value, so that no drawdown gets lost.
std::vector<std::pair<qint64, double>> equityPoints(const BacktestResult& result);

// names: equity, balance, the run before. result may be null (an empty chart).
EquityChartData equityChartData(const BacktestResult* result, const std::vector<std::pair<qint64, double>>& previous,
                                const QStringList& names);

// Candles of the bars [first, last] with the trade marked (when given). names: prices, entry,
// exit, stop loss, take profit. history may be null. timeLabels: how many times of day the time
// axis names (as many as fit the view's width).
PriceChartData priceChartData(const BarSeries* history, std::size_t first, std::size_t last, const Trade* trade,
                              const QStringList& names, int timeLabels);

}  // namespace zorvik
