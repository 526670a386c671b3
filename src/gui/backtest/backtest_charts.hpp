#pragma once
// What the two charts of the backtest page show, taken from a result: the equity and balance
// curve (with the run before in grey) and the candles around a trade with its entry, exit and
// stops. The chart plug-in draws them.
#include <QStringList>

#include <cstddef>
#include <cstdint>
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

// names: equity, balance, the run before, stop out. result may be null (an empty chart). The
// equity at the close of every trade the stop out closed is marked once per moment.
EquityChartData equityChartData(const BacktestResult* result, const std::vector<std::pair<qint64, double>>& previous,
                                const QStringList& names);

// The moments (seconds since 1970) at which the stop out closed positions, each once: one stop
// out may close several positions at the same tick.
std::vector<std::int64_t> stopOutTimes(const BacktestResult& result);

// Candles of the bars [first, last] with the trade marked (when given). names: prices, entry,
// exit, stop loss, take profit. history may be null. timeLabels: how many times of day the time
// axis names (as many as fit the view's width); timeText writes a bar's time for them.
PriceChartData priceChartData(const BarSeries* history, std::size_t first, std::size_t last, const Trade* trade,
                              const QStringList& names, int timeLabels,
                              const std::function<QString(std::int64_t)>& timeText);

}  // namespace zorvik
