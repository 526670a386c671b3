#include "backtest/trader_times.hpp"

#include <QDateTime>

#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

bool german(const Workspace& ws) { return ws.language.name() != "ENGLISCH"; }

}  // namespace

QString traderTime(const Workspace& ws, std::int64_t seconds, TimeShown shown) {
  const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
  const bool year = shown == TimeShown::DayAndTime;
  if (german(ws)) return when.toString(year ? QStringLiteral("dd.MM.yyyy HH:mm") : QStringLiteral("dd.MM. HH:mm"));
  return when.toString(year ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("MM-dd HH:mm"));
}

QString monthAxisFormat(const Workspace& ws) { return german(ws) ? QStringLiteral("MM.yyyy") : QStringLiteral("yyyy-MM"); }

}  // namespace zorvik
