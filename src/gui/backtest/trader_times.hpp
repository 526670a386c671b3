#pragma once
// Times of a backtest as the trader reads them in the chosen language: day before month in
// German ("02.01.2024 05:00"), the year first in English ("2024-01-02 05:00"). The history's
// own form ("2024.01.02") is left to the files, where MetaTrader reads it.
#include <QString>

#include <cstdint>

namespace zorvik {

class Workspace;

enum class TimeShown {
  DayAndTime,        // the whole moment: trade list, vote explanation, status
  DayOfYearAndTime,  // without the year, for the price chart's axis (the year is in the list)
};

// seconds: since 1970 in the history's time (shown as stored, no time zone applied).
QString traderTime(const Workspace& ws, std::int64_t seconds, TimeShown shown = TimeShown::DayAndTime);

// The QDateTime format of the equity chart's month labels.
QString monthAxisFormat(const Workspace& ws);

}  // namespace zorvik
