#include "rules/kind_condition.hpp"

namespace zorvik {

const KindCondition* conditionOf(IndicatorKind kind) {
  using Kind = IndicatorKind;
  switch (kind) {
    case Kind::MovingAverage: return &kinds::kMovingAverage;
    case Kind::MovingAverageCross: return &kinds::kMovingAverageCross;
    case Kind::TwoMovingAverages: return &kinds::kTwoMovingAverages;
    case Kind::TwoMovingAveragesCross: return &kinds::kTwoMovingAveragesCross;
    case Kind::Rsi: return &kinds::kRsi;
    case Kind::RsiCross: return &kinds::kRsiCross;
    case Kind::ParabolicSar: return &kinds::kParabolicSar;
    case Kind::Macd: return &kinds::kMacd;
    case Kind::Stochastic: return &kinds::kStochastic;
    case Kind::BollingerBands: return &kinds::kBollingerBands;
    case Kind::DonchianChannel: return &kinds::kDonchianChannel;
    case Kind::Adx: return &kinds::kAdx;
    case Kind::Other: break;
  }
  return nullptr;
}

}  // namespace zorvik
