#pragma once

#include <string_view>

namespace zorvik {

// The indicator types whose signal code the Expert Advisor writes and the backtest evaluates.
// Any other type name is Other: it writes no lines and never votes.
enum class IndicatorKind {
  MovingAverage,
  MovingAverageCross,
  TwoMovingAverages,
  TwoMovingAveragesCross,
  Rsi,
  RsiCross,
  ParabolicSar,
  Macd,
  Stochastic,
  BollingerBands,
  DonchianChannel,
  Adx,
  Other,
};

// The kind of a stored type name, ignoring case.
IndicatorKind indicatorKindOf(std::string_view type);

}  // namespace zorvik
