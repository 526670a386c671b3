#include "model/indicator_kind.hpp"

#include <array>
#include <utility>

#include "text/strings.hpp"

namespace zorvik {

IndicatorKind indicatorKindOf(std::string_view type) {
  static constexpr std::array<std::pair<std::string_view, IndicatorKind>, 12> kKinds{{
      {"Moving Average", IndicatorKind::MovingAverage},
      {"Moving Average Cross", IndicatorKind::MovingAverageCross},
      {"2 Moving Averages", IndicatorKind::TwoMovingAverages},
      {"2 Moving Averages Cross", IndicatorKind::TwoMovingAveragesCross},
      {"RSI", IndicatorKind::Rsi},
      {"RSI Cross", IndicatorKind::RsiCross},
      {"Parabolic SAR", IndicatorKind::ParabolicSar},
      {"MACD", IndicatorKind::Macd},
      {"Stochastik", IndicatorKind::Stochastic},
      {"Bollinger Bands", IndicatorKind::BollingerBands},
      {"Donchian Channel", IndicatorKind::DonchianChannel},
      {"ADX", IndicatorKind::Adx},
  }};
  for (const auto& [name, kind] : kKinds)
    if (iequals(name, type)) return kind;
  return IndicatorKind::Other;
}

}  // namespace zorvik
